#include "velta/units/PipeBase.h"

#include "velta/utility/Error.h"

#include <cmath>
#include <numbers>
#include <sstream>

PipeBase::PipeBase(Defaults)
    : de("de", "External diameter", 50.0, "mm", nullptr), s("s", "thickness", 5.0, "mm", nullptr),
      L("L", "Length", 10.0, "m", nullptr),
      h("h", "Elevation positive for ascending", 0.0, "m", nullptr),
      eps("eps", "Rugosity", 0.0457, "mm", nullptr),
      di("di", "Internal diameter", 40.0, "mm", nullptr),
      At("At", "Cross-section area", 1.0, "m2", nullptr),
      theta("theta", "Angle positive for ascending", Value(0.0), nullptr),
      ed("ed", "Adimensional rugosity", Value(1e-6), nullptr),
      V("V", "Volume", 0.0, "m3", nullptr) {
  VELTA_TRACE_BEGIN
  for (Quantity *q : {&de, &s, &L, &h, &eps, &di, &At, &theta, &ed, &V})
    addVariable(*q);
  VELTA_TRACE_END("PipeBase::PipeBase")
}

PipeBase::~PipeBase() = default;

void PipeBase::setup() {
  for (Quantity *q : {&de, &s, &L, &h})
    q->setInput();
  for (Quantity *q : {&di, &At, &theta, &ed, &V})
    q->setOutput();
}

void PipeBase::calculateGeometry() {
  static const char *const name = "PipeBase::calculateGeometry";
  // The elevation is the rise over the pipe's own length, so sin(theta) =
  // h / L; no pipe rises more than its length.
  if (!(L.value() > 0.0) || std::fabs(h.value()) > L.value()) {
    std::ostringstream message;
    message << "elevation h = " << h << " and length L = " << L
            << " of " << tag() << ": the length must be positive and at least |h|";
    throw ErrorRunTime(name, message.str().c_str());
  }
  di = de - 2.0 * s;
  At = std::numbers::pi / 4.0 * di * di;
  theta = asin(h / L);
  ed = eps / di;
  V = At * L;
}
