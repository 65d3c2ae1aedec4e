#include "velta/value/DerivativeContext.h"

#include "velta/utility/Assert.h"

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

int derivativeContextDepth() {
  return contextStack ? static_cast<int>(contextStack->size()) : 0;
}

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
