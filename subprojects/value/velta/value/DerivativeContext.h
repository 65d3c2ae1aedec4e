#pragma once
// Derivative contexts: how many independent directions the automatic-
// differentiation numbers currently carry, and which number is seeded for
// each direction. Contexts form one process-wide stack; an equation system
// pushes a context with one direction per unknown, seeds its unknowns,
// evaluates, reads the derivatives and pops the context again.

#include <functional>
#include <string>
#include <vector>

template <class T> class GenericActive;

// Number of directions of the current context. Constant-initialised to 0,
// so numbers built by any start-up initialiser are dense with no directions.
extern int numdir;

// While set, seeded numbers are read-only and may not be seeded twice.
// True from the start of the process; nothing clears it.
extern bool strict_ro;

// One derivative of an intermediate's definition.
struct DerivativeTerm {
  int direction;
  double derivative;
};

class DerivativeContext {
public:
  explicit DerivativeContext(int directions);

  int directions() const { return static_cast<int>(seeded_.size()); }
  // The number seeded for direction i, or null.
  GenericActive<double> *seeded(int i) const;
  void setSeeded(int i, GenericActive<double> *number);
  // Names the unknown of direction i in error messages; the equation system
  // that pushed the context knows its unknowns by their tags.
  void setUnknownNamer(std::function<std::string(int)> namer) { namer_ = std::move(namer); }
  std::string unknownName(int i) const;

  // Folding: a long chain of calculations (a flowsheet) makes every number
  // downstream carry the derivatives of every unknown upstream, and the work
  // grows with the square of the chain. A number whose list reaches
  // minimumEntries can be folded: its list becomes the definition of a new
  // intermediate direction (numbered from directions() on) and the number
  // carries that direction alone. The consumer of the derivatives then
  // solves for the intermediates too. Off (0) unless enabled.
  void enableFolding(int minimumEntries) { foldingThreshold_ = minimumEntries; }
  int foldingThreshold() const { return foldingThreshold_; }
  // Records the definition of a new intermediate; returns its direction.
  int addIntermediate(std::vector<DerivativeTerm> definition);
  // Definition k is that of direction directions() + k; it refers only to
  // unknowns and to earlier intermediates.
  const std::vector<std::vector<DerivativeTerm>> &intermediates() const { return intermediates_; }
  // Whether a list still depends on the unknowns once every intermediate in
  // it is replaced by its definition, measured without expanding the
  // definitions (which along a chain would take the square of its length):
  // the absolute derivative of the list along fixed weights between 1 and 2
  // of the unknowns. Exact cancellations (a pressure passed on unchanged
  // around a recycle) give exactly 0; otherwise the measure is of the size
  // of the derivatives.
  double reducedDerivativeMeasure(const std::vector<DerivativeTerm> &list);

private:
  std::vector<GenericActive<double> *> seeded_; // not owned
  std::function<std::string(int)> namer_;
  int foldingThreshold_ = 0;
  std::vector<std::vector<DerivativeTerm>> intermediates_;
  std::vector<double> projections_; // of the intermediates, along the weights
};

// Makes a new context of n directions current and sets numdir to n.
void pushDerivativeContext(int n);
// Removes the current context; numdir follows the context below, if any.
void popDerivativeContext();
// The current context. The reference is invalidated by the next push.
DerivativeContext &currentDerivativeContext();
// The name of number in the innermost context that seeded it, or the empty
// string when no context on the stack did.
std::string seededNumberName(const GenericActive<double> *number);
// Number of contexts on the stack (1 between start-up and exit, outside
// any equation system).
int derivativeContextDepth();

// Start-up counter: one instance in every source file that includes this
// header. The first construction builds the stack with a context of 0
// directions; the last destruction at exit tears it down.
class DerivativeContextInit {
public:
  DerivativeContextInit();
  ~DerivativeContextInit();
  DerivativeContextInit(const DerivativeContextInit &) = delete;
  DerivativeContextInit &operator=(const DerivativeContextInit &) = delete;
};

static DerivativeContextInit derivativeContextInit;
