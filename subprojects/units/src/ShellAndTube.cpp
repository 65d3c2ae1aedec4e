#include "velta/units/ShellAndTube.h"

#include "velta/core/MyCast.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransfer.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <numbers>

const char *const ShellAndTube::typeName = "ShellAndTube";

ShellAndTube::ShellAndTube(Defaults defaults, int id, Persistency *persistency, Node *parent,
                           Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      RatingHeat(defaults, id, persistency, parent, root),
      N("N", "Number of tubes", Value(1.0), nullptr),
      m("m", "Number of passes", Value(1.0), nullptr),
      L("L", "Length of tubes", 1.0, "m", nullptr),
      de("de", "Tube external diameter", 25.0, "mm", nullptr),
      s("s", "Tube thickness", 2.0, "mm", nullptr),
      R1f("R1f", "Process side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
      R2f("R2f", "Utility side fouling thermal resistance", 0.0, "m2*K/W", nullptr),
      U1("U1", "Process side heat transfer coefficient", 300.0, "W/(m2*K)", nullptr),
      U2("U2", "Utility side heat transfer coefficient", 1000.0, "W/(m2*K)", nullptr),
      h("h", "Elevation positive for ascending", 0.0, "m", nullptr),
      eps("eps", "Rugosity", 0.0457, "mm", nullptr),
      D("D", "Shell inner diameter", 1.0, "m", nullptr),
      b("b", "Number of segmental baffles", Value(0.0), nullptr),
      c("c", "Fractional baffle cut", Value(0.0), nullptr),
      ns("ns", "Number of sealing strips pairs", Value(0.0), nullptr),
      d1("d1", "Inner diameter of inlet nozzle", 0.1, "m", nullptr),
      d2("d2", "Inner diameter of outlet nozzle", 0.1, "m", nullptr),
      di("di", "Tube internal diameter", 21.0, "mm", nullptr),
      At("At", "Tubes total cross-section available for fluid flow", 1.0, "m2", nullptr),
      km("km", "Thermal conductivity of the exchanger material", 1.0, "W/(m*K)", nullptr),
      Rm("Rm", "Heat transfer resistance of the exchanger material", 1.0, "m2*K/W", nullptr),
      theta("theta", "Angle positive for ascending", Value(0.0), nullptr),
      ed("ed", "Adimensional rugosity", Value(1e-6), nullptr) {
  static const char *const name = "ShellAndTube::ShellAndTube";
  VELTA_TRACE_BEGIN
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q : {&N, &m, &L, &de, &s, &R1f, &R2f, &U1, &U2, &h, &eps, &D, &b, &c, &ns, &d1,
                      &d2, &di, &At, &km, &Rm, &theta, &ed})
    addVariable(*q);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

ShellAndTube::~ShellAndTube() = default;

void ShellAndTube::setup() {
  RatingHeat::setup();
  A.unSetInput();
  U.unSetInput();
  for (Quantity *q : {&N, &m, &L, &de, &s, &U2, &U1, &D, &b, &c, &ns, &d1, &d2})
    q->setInput();
  for (Quantity *q : {&A, &U, &At, &km, &Rm, &di, &theta, &ed})
    q->setOutput();
}

void ShellAndTube::calculateGeometry() {
  static const char *const name = "ShellAndTube::calculateGeometry";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  constexpr double pi = std::numbers::pi;
  di = de - 2.0 * s;
  At = N * di * di * pi / 4.0 / m;
  A = N * (di + de) * pi * L / 2.0;
  // The rise over the tube's own length: sin(theta) = h / L, so a
  // vertical tube (h = L) stands at 90 degrees. No tube rises more than
  // its length.
  Value rise = h / L;
  if (!(std::fabs(rise.value()) <= 1.0)) {
    setError("Elevation of the tubes greater than their length");
    rise = Value(rise.value() < 0.0 ? -1.0 : 1.0);
  }
  theta = asin(rise);
  ed = eps / di;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

void ShellAndTube::preCalculate() {
  static const char *const name = "ShellAndTube::preCalculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id());
  HeatTransfer &unit = owner(name);
  // deltaT is inlet minus outlet temperature, so each side's mean lies half
  // of it above its outlet.
  const Value Tm = ((unit.T1 + unit.deltaT1 / 2.0) + (unit.T2 + unit.deltaT2 / 2.0)) / 2.0;
  // The conductivity of the tube material grows linearly with temperature.
  km = (Value(7.54) + Tm / Value(50.0, "K")) * Value(1.0, "W/(m*K)");
  Rm = (de + di) * log(de / di) / (4.0 * km);
  U = 1.0 / (1.0 / U1 + 1.0 / U2 + R1f + R2f + Rm);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

HeatTransfer &ShellAndTube::owner(const char *caller) const {
  return *my_cast<HeatTransfer *>(parentNode(), caller);
}

namespace {

Stream &bound(Stream *stream, const ShellAndTube &rating, const char *caller) {
  if (!stream)
    throw ErrorRunTime(caller, ("the heat transfer unit of " + rating.tag() +
                                " has not bound its streams yet")
                                   .c_str());
  return *stream;
}

} // namespace

Stream &ShellAndTube::in1() const {
  static const char *const name = "ShellAndTube::in1";
  return bound(owner(name).in1(), *this, name);
}

Stream &ShellAndTube::out1() const {
  static const char *const name = "ShellAndTube::out1";
  return bound(owner(name).out1(), *this, name);
}

Stream &ShellAndTube::in2() const {
  static const char *const name = "ShellAndTube::in2";
  return bound(owner(name).in2(), *this, name);
}

Stream &ShellAndTube::out2() const {
  static const char *const name = "ShellAndTube::out2";
  return bound(owner(name).out2(), *this, name);
}
