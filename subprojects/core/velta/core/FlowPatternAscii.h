#pragma once
// Flow patterns drawn as text: NY rows of NX characters, one per cell, each
// giving the direction in which the fluid leaves the cell: '^' up, 'v' down,
// '>' right, '<' left. A cell is an inlet when no neighbour flows into it and
// an outlet when its own flow leaves the grid; a cell may receive flow from
// several neighbours.

#include "velta/core/FlowPattern.h"

#include <array>
#include <string>

class FlowPatternAsciiGrid {
protected:
  // Copies the rows (each must hold nx characters) and derives the inlet and
  // outlet flags, both ny x nx row by row. A row of the wrong length or an
  // unknown character is a broken invariant.
  static void scan(const std::string pattern[], int nx, int ny, std::string rows[], bool inlet[],
                   bool outlet[]);
  // The direction of one pattern character.
  static FlowPattern::Direction directionOf(char c);
};

template <int NX, int NY> class FlowPatternAscii : public FlowPattern, private FlowPatternAsciiGrid {
public:
  static_assert(NX > 0 && NY > 0);

  // pattern holds NY rows, from the top row (j = 0) down.
  explicit FlowPatternAscii(const std::string pattern[]) {
    scan(pattern, NX, NY, pattern_.data(), inlet_.data(), outlet_.data());
  }

  int nInlets() const override { return count(inlet_); }
  int nOutlets() const override { return count(outlet_); }

  Direction direction(int i, int j) const override {
    checkCell(i, j, Nx_, Ny_);
    return directionOf(pattern_[j][i]);
  }

  bool isInlet(int i, int j) const override { return inlet_[j * NX + i]; }
  bool isOutlet(int i, int j) const override { return outlet_[j * NX + i]; }

private:
  // Flags of the cells, row by row.
  using Flags = std::array<bool, NX * NY>;

  static int count(const Flags &flags) {
    int n = 0;
    for (bool flag : flags)
      n += flag ? 1 : 0;
    return n;
  }

  int Nx_ = NX;
  int Ny_ = NY;
  std::array<std::string, NY> pattern_;
  Flags inlet_{};
  Flags outlet_{};
};
