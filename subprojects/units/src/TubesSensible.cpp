#include "velta/units/TubesSensible.h"

#include "velta/core/MyCast.h"
#include "velta/core/ValueHelpers.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransfer.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

using namespace HeatTransferCorrelations;

TubesSensible::TubesSensible(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ShellAndTube(defaults, id, persistency, parent, root),
      Re_1("Re_1", "Reynolds number", Value(1.0), nullptr),
      Pr_1("Pr_1", "Prandlt number", Value(1.0), nullptr),
      f("f", "friction factor", Value(1.0), nullptr),
      Nu_1("Nu_1", "Nusselt number", Value(1.0), nullptr),
      v_1("v_1", "Superficial velocity", 1.0, "m/s", nullptr),
      deltaP_A1("deltaP_A1", "Acceleration pressure drop", 1.0, "Pa", nullptr),
      deltaP_G1("deltaP_G1", "Gravitational pressure drop", 1.0, "Pa", nullptr),
      deltaP_F1("deltaP_F1", "Frictional pressure drop", 1.0, "Pa", nullptr),
      deltaP_1("deltaP_1", "Total pressure drop", 1.0, "Pa", nullptr),
      rho1("rho1", "Density", 1.0, "kg/m3", nullptr),
      correlation("correlation", "Heat transfer correlation", "PetukhovKirilov", nullptr) {
  static const char *const name = "TubesSensible::TubesSensible";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q :
       {&Re_1, &Pr_1, &f, &Nu_1, &v_1, &deltaP_A1, &deltaP_G1, &deltaP_F1, &deltaP_1, &rho1})
    addVariable(*q);
  addVariable(correlation);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

TubesSensible::~TubesSensible() = default;

void TubesSensible::setup() {
  U1.unSetInput();
  for (Quantity *q :
       {&U1, &Re_1, &Pr_1, &Nu_1, &v_1, &deltaP_A1, &deltaP_G1, &deltaP_F1, &deltaP_1, &rho1})
    q->setOutput();
}

namespace {

struct Bound {
  double value;
  double limit;
  bool below; // violated when the value is below the limit
  const char *what;
};

} // namespace

void TubesSensible::preCalculate() {
  static const char *const name = "TubesSensible::preCalculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  HeatTransfer &unit = owner(name);
  Stream &in = in1();
  Stream &out = out1();
  v_1 = in.Q("Tphase.vdot") / At;
  Node *phaseNode = out.hasChild("Lphase")   ? &out.at("Lphase")
                    : out.hasChild("Xphase") ? &out.at("Xphase")
                                             : out.Tphase;
  auto *phase = my_cast<Phase::MassMolarProperties *>(phaseNode, name);
  const Value mu = phase->mu(out.P, out.T);
  rho1 = in.Q("Tphase.rho");
  Re_1 = in.Q("Tphase.mdot") * di / (mu * At);
  f = frictionFactor(Re_1, ed);
  const Value k = phase->kappa(out.P, out.T);
  Pr_1 = phase->cp * mu / k;

  const std::string &kind = correlation.value();
  const double Re = Re_1.value(), Pr = Pr_1.value();
  std::vector<Bound> bounds;
  const char *label = nullptr;
  if (kind == "PetukhovKirilov") {
    Nu_1 = petukhov<Value>(f, Re_1, Pr_1);
    label = "Petukhov-Kirilov";
    bounds = {{Re, 4000, true, "too low Reynolds"},
              {Re, 5000000, false, "too high Reynolds"},
              {Pr, 0.5, true, "too low Prandtl"},
              {Pr, 1000000, false, "too high Prandtl"}};
  } else if (kind == "DittusBoelter") {
    Nu_1 = dittusBoelter<Value>(Re_1, Pr_1, unit.MTD.value() > 0.0);
    label = "Dittus-Boelter";
    bounds = {{Re, 2500, true, "too low Reynolds"},
              {Re, 124000, false, "too high Reynolds"},
              {Pr, 0.7, true, "too low Prandtl"},
              {Pr, 120, false, "too high Prandtl"},
              {(L / di).value(), 60, true, "too low L/D"}};
  } else if (kind == "SiederTate") {
    // The shell-side outlet temperature stands for the wall's.
    const Value muWall = phase->mu(out.P, out2().T);
    Nu_1 = siederTate<Value>(Re_1, Pr_1, mu / muWall);
    label = "Sieder-Tate";
    bounds = {{Re, 10000, true, "too low Reynolds"},
              {Pr, 0.7, true, "too low Prandtl"},
              {Pr, 16700, false, "too high Prandtl"}};
  } else {
    throw ErrorBrowsing(name, tag().c_str(), correlation.description().c_str(), kind.c_str());
  }
  for (const Bound &bound : bounds)
    if (bound.below ? bound.value < bound.limit : bound.value > bound.limit)
      setWarning(std::string("Out of range for ") + label +
                 " heat transfer correlation: " + bound.what);
  U1 = Nu_1 * k / di;

  const Value g(9.806, "m/s2");
  deltaP_F1 = m * f * (L / di) * (v_1 * v_1 / 2.0) * rho1;
  deltaP_G1 = rho1 * g * h;
  deltaP_1 = deltaP_F1 + deltaP_G1;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
