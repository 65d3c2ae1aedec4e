#include "velta/flowsheet/RatingColumnTraySieve.h"

#include "velta/flowsheet/ColumnSection.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const RatingColumnTraySieve::typeName = "RatingColumnTraySieve";

RatingColumnTraySieve::RatingColumnTraySieve(Defaults defaults, int id, Persistency *persistency,
                                             Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      RatingColumnTray(defaults, id, persistency, parent, root),
      FLG("FLG", "Flow parameter", Value(0.0), nullptr),
      Un("Un", "Linear gas velocity based on active cross sectional area", 0.0, "m/s", nullptr),
      Unflood("Unflood", "Linear gas velocity at flood", 0.0, "m/s", nullptr),
      Unweep("Unweep", "Linear gas velocity at gas maldistribution or weeping condition", 0.0,
             "m/s", nullptr),
      FA("FA", "Flooding approach", Value(0.0), nullptr),
      WA("WA", "Weeping approach", Value(0.0), nullptr) {
  setType(typeName);
  for (Quantity *q : {&FLG, &Un, &Unflood, &Unweep, &FA, &WA}) {
    addVariable(*q);
    q->setOutput();
  }
}

RatingColumnTraySieve::~RatingColumnTraySieve() = default;

// Fair's correction of the flooding velocity for small hole areas (Fair,
// Petro/Chem Engineer 33 (1961); Perry's Chemical Engineers' Handbook,
// 7th ed., Fig. 14-26 note: 1.0 for Ah/Aa >= 0.10, 0.9 at 0.08, 0.8 at
// 0.06). The power-law fit reaches 1 at phi = 0.1007: taking the smaller
// of the two keeps the factor continuous and never above one, so the
// switch lies where the fit meets one.
Value RatingColumnTraySieve::holeAreaFactor(const Value &phi) {
  const Value law = 2.71804797 * pow(phi, 0.4355359815);
  return law.value() < 1.0 ? law : Value(1.0);
}

// The mirror of kGM = 1 - FA / eta: the weeping safe limit of the rating is
// WA = 1 / eta, so kGm = 1 - (1 / eta) / WA, clipped at 0. It is 0 at and
// below the weeping safe limit, tends to 1 far from weeping, and is 0 with
// no gas (WA = 0).
Value RatingColumnTraySieve::minimumGasLoad(const Value &WA, const Value &eta) {
  const Value kGm = 1.0 - 1.0 / (eta * WA);
  return kGm.value() > 0.0 ? kGm : Value(0.0);
}

void RatingColumnTraySieve::calculate(int) {
  static const char *const name = "RatingColumnTraySieve::calculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(ratingVerbosity(), -1, name, "Entered for " << fullTag());
  if (target_ == nullptr)
    throw ErrorRunTime(name, ("no column section to rate for " + fullTag()).c_str());
  calculateGeometry();
  if (d.value() < 0.004)
    setWarning("Out of range hole diameter: too low");
  if (d.value() > 0.013)
    setWarning("Out of range hole diameter: too high");
  if (p.value() / d.value() < 2.5)
    setWarning("Out of range hole pitch: ratio to hole diameter too low");
  if (p.value() / d.value() > 4.5)
    setWarning("Out of range hole pitch: ratio to hole diameter too high");

  const ColumnSection &s = *target_;
  const Value rhoL = (s.rhoLtop + s.rhoLbtm) / 2.0;
  const Value rhoG = (s.rhoGtop + s.rhoGbtm) / 2.0;
  const Value L = (s.Ltop + s.Lbtm) / 2.0;
  const Value G = (s.Gtop + s.Gbtm) / 2.0;
  const Value sigma = (s.sigmaTop + s.sigmaBtm) / 2.0;

  Un = (G / rhoG) / Aac;
  FLG = (L / G) * sqrt(rhoG / rhoL);
  // Capacity parameter: a cubic fit in ln(FLG) of Fair's flooding diagram,
  // with coefficients linear in the tray spacing in mm.
  const Value h = H * Value(1000.0, "1/m");
  const Value f = log(FLG);
  const Value a3 = 1.1074e-6 * h + 0.000452841;
  const Value a2 = 4.04865e-6 * h + 0.000799395;
  const Value a1 = -3.09381e-5 * h - 0.00625024;
  const Value a0 = 3.00232e-5 * h + 0.0140453;
  const Value C = (((a3 * f + a2) * f + a1) * f + a0) * Value(1.0, "m/s");
  const Value F = holeAreaFactor(phi);
  Unflood = F * C * pow(sigma / Value(0.02, "N/m"), 0.2) * sqrt((rhoL - rhoG) / rhoG);
  if (hw.value() / H.value() > 0.15)
    setWarning("Can not apply Fair diagram: ratio of weir height to tray spacing too high");
  if (d.value() > 0.013)
    setWarning("Can not apply Fair diagram: holes are too large");
  FA = Un / Unflood;
  const Value flooding = 1.0 - FA / eta;
  kGM = flooding.value() > 0.0 ? flooding : Value(0.0);
  if (d.value() < 0.0025) {
    Unweep = phi * sqrt(2.0 * sigma / (d * rhoG));
  } else {
    const Value r = pow((rhoL - rhoG) / rhoG, 0.25);
    Unweep = 0.37 * phi * sqrt(Value(9.806, "m/s2") * d * (rhoL - rhoG) * r / rhoG);
  }
  WA = Un / Unweep;
  kGm = minimumGasLoad(WA, eta);
  k = kLm * kLM * kGm * kGM;
  if (FA.value() > 1.0)
    setError("Flooding limit reached");
  else if (FA.value() > eta.value())
    setWarning("Flooding safe limit reached");
  if (WA.value() < 1.0)
    setError("Weeping limit reached");
  else if (WA.value() < 1.0 / eta.value())
    setWarning("Weeping safe limit reached");
  VELTA_LOG(ratingVerbosity(), 0, name, "Done");
  VELTA_TRACE_END(name)
}
