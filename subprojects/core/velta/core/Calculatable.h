#pragma once
// What a flowsheet runs: a vertex's calculation or an edge's (a stream's
// flash). mode is the calculation mode the flowsheet passes down; level is
// the nesting depth, which a caller passes on as its own level plus one.

class Calculatable {
public:
  virtual ~Calculatable() = default;
  virtual void go(int mode, int level) = 0;
};
