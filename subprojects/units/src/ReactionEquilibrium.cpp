#include "velta/units/ReactionEquilibrium.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/ValueHelpers.h"
#include "velta/core/Vector.h"
#include "velta/utility/Diagnostic.h"
#include "velta/value/Constants.h"

#include <cmath>

namespace {
// The residual decides with delta1 that the extent was cut; the penalties
// aim at the cut extent less the relative margin delta2.
constexpr double delta1 = 2.220446049250313e-15;
constexpr double delta2 = 2.220446049250313e-14;
} // namespace

const char *const ReactionEquilibrium::typeName = "ReactionEquilibrium";

ReactionEquilibrium::ReactionEquilibrium(Defaults defaults, int id, Persistency *persistency,
                                         Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ReactionYield(defaults, id, persistency, parent, root),
      Teq("Teq", "Equilibrium temperature", 298.15, "K", this),
      Tact("Tact", "Actual temperature", 298.15, "K", this),
      deltaT("deltaT", "Temperature approach to equilibrium", 0.0, "K", this),
      P("P", "Equilibrium pressure", 101325.0, "Pa", this),
      K("K", "Equilibrium constant Sollwert", Value(1.0), this),
      Kist("Kist", "Equilibrium constant Ist Wert", Value(1.0), this) {
  setType(typeName);
  VELTA_LOG(verbosity(), 1, "ReactionEquilibrium::ReactionEquilibrium", "Entered for " << id);
  for (Quantity *q : {&Teq, &Tact, &deltaT, &P, &K, &Kist})
    addVariable(*q);
  K.setOutput();
  Kist.setOutput();
}

ReactionEquilibrium::~ReactionEquilibrium() = default;

void ReactionEquilibrium::calculateEquilibrium(const Vector &x) {
  Teq = Tact + deltaT;
  calculateKSollwert();
  calculateKIstWert(x);
  VELTA_LOG(verbosity(), 2, "ReactionEquilibrium::calculateEquilibrium",
            "Teq = " << Teq << " Kist = " << Kist.activeValue().toString() << " K = " << K);
}

void ReactionEquilibrium::calculateKSollwert() {
  VELTA_LOG(verbosity(), 1, "ReactionEquilibrium::calculateKSollwert", "Entered for " << type());
  K = 1.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Quantity &nu = coeff[static_cast<std::size_t>(i)];
    if (nu.value() == 0.0)
      continue;
    const ComponentGeneric &component = *components[i];
    const Value G = component.isSolid() ? component.gs(Teq, referencePressure)
                                        : component.gv(Teq, referencePressure);
    K = K * exp((-nu * G / gasConstant) / Teq);
  }
}

void ReactionEquilibrium::calculateKIstWert(const Vector &x) {
  static const char *const name = "ReactionEquilibrium::calculateKIstWert";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << type());
  Kist = 1.0;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Quantity &nu = coeff[static_cast<std::size_t>(i)];
    if (nu.value() == 0.0 || components[i]->isSolid())
      continue;
    VELTA_LOG(verbosity(), 2, name, "x[" << i << "] = " << x[i].activeValue().toString());
    const Value p = x[i] * P;
    const Value clipped = regularizePositive(p);
    Kist = Kist * pow(clipped / referencePressure, nu);
    VELTA_LOG(verbosity(), 2, name,
              "p[" << i << "] = " << p << " p_clipped[" << i << "] = " << clipped);
  }
}

void ReactionEquilibrium::calculateResidual(Value &y) {
  static const char *const name = "ReactionEquilibrium::calculateResidual";
  static const Value lowest(std::ldexp(1.0, -52));
  static const Value highest(std::ldexp(1.0, 52));
  static const double weight = std::sqrt(1.0 / delta1);
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  Value kappa = K;
  clip(kappa, lowest, highest);
  VELTA_LOG(verbosity(), 2, name,
            "kappa = " << kappa.activeValue().toString()
                       << " Kist = " << Kist.activeValue().toString());
  y = log(kappa) - log(Kist);
  VELTA_LOG(verbosity(), 2, name, "residual for Reaction " << type() << " = " << y);
  if (std::fabs(conv.value()) <= std::fabs(actconv.value()) * (1.0 + delta1))
    return;
  VELTA_LOG(verbosity(), 2, name, "conv = " << conv << " actconv = " << actconv);
  // One unit of conv's own units, so that mass-flow reactions work too.
  const Value c = conv / Value(1.0, conv.units());
  const double a = (1.0 - delta2) * actconv.value();
  if (heterogeneousLimit == -1 && Kist < kappa) {
    y = y.value() + weight * (a - c);
    VELTA_LOG(verbosity(), 2, name,
              "clipping vanishing heterogeneous reactant for reaction " << type()
                                                                        << " new residual = " << y);
  } else if (heterogeneousLimit == 1 && kappa < Kist) {
    VELTA_LOG(verbosity(), 2, name, "K = " << K);
    VELTA_LOG(verbosity(), 2, name, "Kist = " << Kist);
    VELTA_LOG(verbosity(), 2, name, "y before = " << y);
    VELTA_LOG(verbosity(), 2, name, "conv = " << conv);
    VELTA_LOG(verbosity(), 2, name, "actconv = " << actconv);
    VELTA_LOG(verbosity(), 2, name, "conv - actconv = " << (conv - actconv));
    VELTA_LOG(verbosity(), 2, name, "y.toDouble() = " << y.value());
    y = y.value() + weight * (a - c);
    VELTA_LOG(verbosity(), 2, name,
              "clipping vanishing heterogeneous product for reaction " << type()
                                                                       << " new residual = " << y);
  } else {
    y = (c - a) / delta1 + y.activeValue().derivativePart();
    VELTA_LOG(verbosity(), 2, name, "clipping reaction " << type() << " new residual = " << y);
  }
}
