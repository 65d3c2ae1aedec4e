#pragma once
// Flow patterns in which every cell of the grid flows the same way.

#include "velta/core/FlowPattern.h"

template <int NX, int NY> class FlowPatternSimple : public FlowPattern {
public:
  static_assert(NX > 0 && NY > 0);

  explicit FlowPatternSimple(Direction d) : d(d) {}

  // Every column (up, down) or every row (left, right) is one path.
  int nInlets() const override { return vertical() ? NX : NY; }
  int nOutlets() const override { return vertical() ? NX : NY; }

  Direction direction(int i, int j) const override {
    checkCell(i, j, Nx_, Ny_);
    return d;
  }

  bool isInlet(int i, int j) const override {
    switch (d) {
    case Direction::up:
      return j == NY - 1;
    case Direction::down:
      return j == 0;
    case Direction::left:
      return i == NX - 1;
    case Direction::right:
      return i == 0;
    }
    return false;
  }

  bool isOutlet(int i, int j) const override {
    switch (d) {
    case Direction::up:
      return j == 0;
    case Direction::down:
      return j == NY - 1;
    case Direction::left:
      return i == 0;
    case Direction::right:
      return i == NX - 1;
    }
    return false;
  }

private:
  bool vertical() const { return d == Direction::up || d == Direction::down; }

  int Nx_ = NX;
  int Ny_ = NY;
  Direction d;
};

template <int NX, int NY> class FlowPatternUp : public FlowPatternSimple<NX, NY> {
public:
  FlowPatternUp() : FlowPatternSimple<NX, NY>(FlowPattern::Direction::up) {}
};

template <int NX, int NY> class FlowPatternDown : public FlowPatternSimple<NX, NY> {
public:
  FlowPatternDown() : FlowPatternSimple<NX, NY>(FlowPattern::Direction::down) {}
};

template <int NX, int NY> class FlowPatternLeft : public FlowPatternSimple<NX, NY> {
public:
  FlowPatternLeft() : FlowPatternSimple<NX, NY>(FlowPattern::Direction::left) {}
};

template <int NX, int NY> class FlowPatternRight : public FlowPatternSimple<NX, NY> {
public:
  FlowPatternRight() : FlowPatternSimple<NX, NY>(FlowPattern::Direction::right) {}
};
