// Mass transfer of the packed column: the film coefficients of the packing
// with the Fuller and Wilke-Chang diffusivities, and the HTU-NTU design and
// rating of the components from startID on (counter-current, constant
// flows, linear equilibrium y = K x).
//
// With R = V/L, S = K R and A = KOG Ac ae / V (gas-side transfer units per
// metre), the rating gives the liquid outlet fraction at height H from
//   e = exp((S - 1) A H),  x_out = R y + (R y (S - 1) e + (1 - S) x_in) / (1 - S e),
// and the design solves the same relation for H:
//   H = ln[(x_out - R y - (1 - S) x_in) / (S x_out - R y)] / (A (S - 1)),
// so that rating at the design height gives back the required split.

#include "velta/units/HtuNtu.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <cmath>

Value waterViscosity(const Value &T) {
  const double t = T.value();
  return Value(
      std::exp(76139086.2 / (t * t * t) - 276603.71 / (t * t) + 1304.88521 / t - 11.1593773),
      "Pa*s");
}

Value gasDiffusivity(int i, const Value &T, const Value &P, const Value &gasMW, const Value &dv) {
  const ComponentGeneric &c = *components[i];
  const double volumes = (curt(c.diffvol()) + std::cbrt(dv.value())).value();
  return Value(0.01013, "m2/s") * std::pow(T.value(), 1.75) *
         std::sqrt(1.0 / c.MW().value() + 1.0 / gasMW.value()) / (P.value() * volumes * volumes);
}

Value liquidDiffusivity(int i, const Value &T) {
  const ComponentGeneric &c = *components[i];
  // 46.83978: association factor 2.6 times the molar mass of water.
  return Value(1.1728e-16 * T.value() * std::sqrt(46.83978) /
                   (std::pow(c.vb().value(), 0.6) * waterViscosity(T).value()),
               "m2/s");
}

Value HtuNtu::calculateKog_(int i, const Value &gasMW, const Value &liquidMW, const Value &dv,
                            const Value &m) {
  static const char *const name = "HtuNtu::calculateKog_";
  VELTA_TRACE_BEGIN
  const Value DG = gasDiffusivity(i, T, P, gasMW, dv);
  const Value DL = liquidDiffusivity(i, T);
  const Value ScG = muv / (rhov * DG);
  const Value free = epsilon - hL;
  const Value s = free.value() > 0.0 ? free : Value(0.0);
  const Value r(std::sqrt(ap.value() / dh.value()), "1/m");
  const Value KG =
      rhov * (CG / sqrt(s) * r * DG * std::pow(ReG.value(), 0.75) * pow(ScG, 1.0 / 3.0)) / gasMW;
  const Value w(std::sqrt(uL.value() * DL.value() / (hL.value() * dh.value())), "m/s");
  const Value KL = rhol * (CL * std::pow(12.0, 1.0 / 6.0) * w) / liquidMW;
  const Value KOG = Value(1.0) / (Value(1.0) / KG + m / KL);
  VELTA_LOG(verbosity(), 3, name,
            "DG = " << DG << " DL = " << DL << " ScG = " << ScG << " rhov = " << rhov
                    << " CG = " << CG << " epsilon = " << epsilon << " hL = " << hL
                    << " ap = " << ap << " dh = " << dh << " ReG = " << ReG << " VMW = " << gasMW
                    << " KG = " << KG << " KL = " << KL << " KOG = " << KOG);
  return KOG;
  VELTA_TRACE_END(name)
}

void HtuNtu::designMassTransfer_(PhaseTotal &VV, PhaseTotal &LL, const Value &R, const Value &dv) {
  static const char *const name = "HtuNtu::designMassTransfer_";
  VELTA_TRACE_BEGIN
  const Value one(1.0), zero(0.0);
  for (int i = startID.value(); i < NCOMPONENTS; ++i)
    for (auto &split : outSplit)
      if (split[i] < zero)
        split[i] = zero;
  H = Value(0.0, "m");
  for (int i = startID.value(); i < NCOMPONENTS; ++i) {
    Value s = outSplit[0][i];
    if (s > one) {
      s = s / (s + outSplit[1][i]);
      outSplit[0][i] = s;
    }
    VELTA_LOG(verbosity(), 2, name, "required split = " << s);
    const Value feed = VV.ndotcomps[i] + LL.ndotcomps[i];
    if (feed.value() == 0.0) {
      // Nothing to separate: no height, rather than 0/0.
      Hcomps[i] = Value(0.0, "m");
      continue;
    }
    const Value Ki = components[i]->kvli(T, P);
    const Value Si = Ki * R;
    const Value KOG = calculateKog_(i, VV.AMW, LL.AMW, dv, Ki);
    const Value A = KOG * Ac * ae / V;
    const Value &y = VV.x[i];
    const Value &xin = LL.x[i];
    const Value xout = (one - s) * feed / L;
    Hcomps[i] = log((xout - R * y - (one - Si) * xin) / (Si * xout - R * y)) / (A * (Si - one));
    VELTA_LOG(verbosity(), 2, name, "H = " << Hcomps[i]);
    if (Hcomps[i] > H)
      H = Hcomps[i];
  }
  VELTA_TRACE_END(name)
}

void HtuNtu::rateMassTransfer_(PhaseTotal &VV, PhaseTotal &LL, const Value &R, const Value &dv) {
  static const char *const name = "HtuNtu::rateMassTransfer_";
  VELTA_TRACE_BEGIN
  const Value one(1.0);
  for (int i = startID.value(); i < NCOMPONENTS; ++i) {
    KVL[i] = components[i]->kvli(T, P);
    VELTA_LOG(verbosity(), 2, name, "KVL[" << i << "] = " << KVL[i]);
    const Value Si = KVL[i] * R;
    const Value KOG = calculateKog_(i, VV.AMW, LL.AMW, dv, KVL[i]);
    const Value A = KOG * Ac * ae / V;
    VELTA_LOG(verbosity(), 2, name, "KOG = " << KOG << " A = " << A);
    const Value e(std::exp(((Si - one) * A * H).value()));
    VELTA_LOG(verbosity(), 2, name, "PP = " << R << " expon = " << e);
    const Value &y = VV.x[i];
    const Value xin = LL.x[i];
    const Value Q = (y * R * (Si - one) * e + xin * (one - Si)) / (one - Si * e);
    VELTA_LOG(verbosity(), 2, name, "Q = " << Q);
    const Value xout = R * y + Q;
    VELTA_LOG(verbosity(), 2, name,
              "component " << i << " xB after = " << xout << " xB before = " << xin);
    LL.x[i] = xout;
    // The flows follow the new fraction at the unchanged molar flow; a
    // completion in mode Nx would normalise the fractions and take the
    // absorbed amount back out of the other components.
    LL.ndotcomps[i] = xout * LL.ndot;
  }
  VELTA_TRACE_END(name)
}
