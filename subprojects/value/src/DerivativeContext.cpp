#include "velta/value/DerivativeContext.h"

#include "velta/utility/Assert.h"

#include <cmath>

// Both are constant-initialised: valid before any dynamic initialiser runs.
int numdir = 0;
bool strict_ro = true;

namespace {

// Built and destroyed by DerivativeContextInit; null outside its lifetime.
std::vector<DerivativeContext> *contextStack = nullptr;
int initCount = 0;

} // namespace

DerivativeContext::DerivativeContext(int directions) {
  VELTA_ASSERT(directions >= 0);
  seeded_.assign(static_cast<std::size_t>(directions), nullptr);
}

GenericActive<double> *DerivativeContext::seeded(int i) const {
  VELTA_ASSERT(i >= 0 && i < directions());
  return seeded_[static_cast<std::size_t>(i)];
}

void DerivativeContext::setSeeded(int i, GenericActive<double> *number) {
  VELTA_ASSERT(i >= 0 && i < directions());
  seeded_[static_cast<std::size_t>(i)] = number;
}

std::string DerivativeContext::unknownName(int i) const {
  if (namer_)
    return namer_(i);
  return "the unknown of direction " + std::to_string(i);
}

int DerivativeContext::addIntermediate(std::vector<DerivativeTerm> definition) {
  intermediates_.push_back(std::move(definition));
  return directions() + static_cast<int>(intermediates_.size()) - 1;
}

namespace {

// Weight of unknown j: spread over [1, 2) by the golden ratio, so that no
// simple pattern of derivatives cancels along them.
double weight(int j) {
  const double golden = 0.6180339887498949;
  const double scaled = golden * static_cast<double>(j);
  return 1.0 + (scaled - std::floor(scaled));
}

} // namespace

double DerivativeContext::reducedDerivativeMeasure(const std::vector<DerivativeTerm> &list) {
  const int n = directions();
  // Definitions refer to earlier directions only: one forward sweep.
  for (std::size_t k = projections_.size(); k < intermediates_.size(); ++k) {
    double sum = 0.0;
    for (const DerivativeTerm &term : intermediates_[k])
      sum += term.derivative * (term.direction < n
                                    ? weight(term.direction)
                                    : projections_[static_cast<std::size_t>(term.direction - n)]);
    projections_.push_back(sum);
  }
  double sum = 0.0;
  for (const DerivativeTerm &term : list) {
    if (term.direction < n)
      sum += term.derivative * weight(term.direction);
    else if (term.direction - n < static_cast<int>(projections_.size()))
      sum += term.derivative * projections_[static_cast<std::size_t>(term.direction - n)];
  }
  return std::fabs(sum);
}

std::string seededNumberName(const GenericActive<double> *number) {
  if (contextStack == nullptr)
    return std::string();
  for (auto context = contextStack->rbegin(); context != contextStack->rend(); ++context)
    for (int i = 0; i < context->directions(); ++i)
      if (context->seeded(i) == number)
        return context->unknownName(i);
  return std::string();
}

void pushDerivativeContext(int n) {
  VELTA_ASSERT(contextStack != nullptr);
  contextStack->emplace_back(n);
  numdir = n;
}

void popDerivativeContext() {
  VELTA_ASSERT(contextStack != nullptr);
  VELTA_ASSERT(!contextStack->empty());
  contextStack->pop_back();
  if (!contextStack->empty())
    numdir = contextStack->back().directions();
}

DerivativeContext &currentDerivativeContext() {
  VELTA_ASSERT(contextStack != nullptr && !contextStack->empty());
  return contextStack->back();
}

int derivativeContextDepth() { return contextStack ? static_cast<int>(contextStack->size()) : 0; }

DerivativeContextInit::DerivativeContextInit() {
  if (initCount++ == 0) {
    contextStack = new std::vector<DerivativeContext>;
    numdir = 0;
    pushDerivativeContext(0);
  }
}

DerivativeContextInit::~DerivativeContextInit() {
  if (--initCount == 0) {
    if (!contextStack->empty())
      popDerivativeContext();
    delete contextStack;
    contextStack = nullptr;
  }
}
