#include "velta/phases/MassMolarProperties.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

namespace Phase {

MassMolarProperties::MassMolarProperties(Defaults defaults, int id, Persistency *persistency,
                                         Node *parent, Node *root)
    : Model(defaults, id, persistency, parent, root),
      MassMolar(defaults, id, persistency, parent, root),
      vdot("vdot", "Volume flow", 10.0, "m3/h", this),
      v("v", "Molar volume", 0.018, "m3/kmol", this),
      rho("rho", "Mass Density", 1000.0, "kg/m3", this),
      h("h", "Specific Enthalpy by mass", 18.0, "J/kg", this),
      H("H", "Specific Enthalpy by moles", 1.0, "J/kmol", this),
      cp("cp", "Specific Heat by mass", 4186.8, "J/kg/K", this),
      Cp("Cp", "Specific Heat by moles", 232.60000000000002, "J/kmol/K", this),
      s("s", "Specific Entropy by mass", 0.0, "J/kg/K", this),
      S("S", "Specific Entropy by moles", 0.0, "J/kmol/K", this),
      g("g", "Specific Gibbs free energy by mass", 0.0, "J/kg", this) {
  for (Quantity *property : {&vdot, &v, &rho, &h, &H, &cp, &Cp, &s, &S, &g})
    addVariable(*property);
  retrieveIntegersAndStrings(persistency);
}

MassMolarProperties::~MassMolarProperties() = default;

// ---------------------------------------------------------------- property pass

void MassMolarProperties::calculateProperties(const Value &P, const Value &T, bool writeH) {
  static const char *const name = "Phase::MassMolarProperties::calculateProperties";
  VELTA_LOG(verbosity(), 1, name, "Entered with writeH = " << (writeH ? "true" : "false"));
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 2, name, "rho = " << rho);
  VELTA_LOG(verbosity(), 2, name, "new rho = " << calculate_rho(P, T));
  VELTA_LOG(verbosity(), 2, name, "new rho = " << calculate_rho(P, T) * AMW);
  rho = calculate_rho(P, T) * AMW;
  // An empty phase may have no density: its volumes are then zero rather
  // than infinite.
  if (rho.value() != 0.0) {
    v = AMW / rho;
    vdot = mdot / rho;
  } else {
    v.setZero();
    vdot.setZero();
  }
  if (writeH)
    H = calculate_H(P, T);
  S = calculate_S(P, T);
  updateMassBasis();
  g = h - T * s;
  Cp = calculate_Cp(P, T);
  if (AMW.value() > 0.0)
    cp = Cp / AMW;
  else
    cp.setZero();
  VELTA_TRACE_END(name)
}

void MassMolarProperties::updateMassBasis() {
  if (AMW.value() > 0.0) {
    h = H / AMW;
    s = S / AMW;
  } else {
    h.setZero();
    s.setZero();
  }
}

void MassMolarProperties::updateVolumeFlow() {
  if (rho.value() != 0.0)
    vdot = mdot / rho;
  else
    vdot.setZero();
}

Value MassMolarProperties::Pr(const Value &P, const Value &T) {
  VELTA_TRACE_BEGIN
  const Value conductivity = kappa(P, T);
  const Value viscosity = mu(P, T);
  const Value heatCapacity = calculate_Cp(P, T);
  return heatCapacity * viscosity / conductivity / AMW;
  VELTA_TRACE_END("Phase::MassMolarProperties::Pr")
}

// ---------------------------------------------------------------- balances

void MassMolarProperties::calculateNx_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateNx_();
  updateVolumeFlow();
  VELTA_LOG(verbosity(), 2, "Phase::MassMolarProperties::calculateNx_", "vdot = " << vdot);
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateNx_")
}

void MassMolarProperties::calculateMx_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateMx_();
  updateVolumeFlow();
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateMx_")
}

void MassMolarProperties::calculateNw_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateNw_();
  updateVolumeFlow();
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateNw_")
}

void MassMolarProperties::calculateMw_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateMw_();
  updateVolumeFlow();
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateMw_")
}

void MassMolarProperties::calculateN_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateN_();
  updateVolumeFlow();
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateN_")
}

void MassMolarProperties::calculateM_() {
  VELTA_TRACE_BEGIN
  MassMolar::calculateM_();
  updateVolumeFlow();
  VELTA_TRACE_END("Phase::MassMolarProperties::calculateM_")
}

// ---------------------------------------------------------------- arithmetic

Mass &MassMolarProperties::operator*=(const Value &factor) {
  static const char *const name = "Phase::MassMolarProperties::operator *=";
  VELTA_LOG(verbosity(), 1, name, "Entered with factor = " << factor);
  VELTA_TRACE_BEGIN
  MassMolar::operator*=(factor);
  vdot *= factor;
  VELTA_TRACE_END(name)
  return *this;
}

Mass &MassMolarProperties::operator+=(const Mass &rhs) {
  static const char *const name = "Phase::MassMolarProperties::operator +=";
  VELTA_TRACE_BEGIN
  const auto *other = dynamic_cast<const MassMolarProperties *>(&rhs);
  if (other) {
    VELTA_LOG(verbosity(), 2, name, "Before summing:");
    VELTA_LOG(verbosity(), 2, name, "H = " << H << " mdot = " << mdot);
    VELTA_LOG(verbosity(), 2, name, "rhs.H = " << other->H << " rhs.mdot = " << other->mdot);
    const Value total = ndot + other->ndot;
    if (total.value() > 0.0) {
      H = (H * ndot + other->H * other->ndot) / total;
      S = (S * ndot + other->S * other->ndot) / total;
    } else {
      H.setZero();
      S.setZero();
    }
  }
  MassMolar::operator+=(rhs);
  if (other) {
    updateMassBasis();
    VELTA_LOG(verbosity(), 2, name, "After summing:");
    VELTA_LOG(verbosity(), 2, name, "h = " << h << " mdot = " << mdot);
  }
  VELTA_TRACE_END(name)
  return *this;
}

Mass &MassMolarProperties::operator-=(const Mass &rhs) {
  static const char *const name = "Phase::MassMolarProperties::operator -=";
  VELTA_TRACE_BEGIN
  const auto *other = dynamic_cast<const MassMolarProperties *>(&rhs);
  if (other) {
    if (ndot > other->ndot) {
      const Value remaining = ndot - other->ndot;
      H = (H * ndot - other->H * other->ndot) / remaining;
      S = (S * ndot - other->S * other->ndot) / remaining;
    } else {
      H.setZero();
      S.setZero();
    }
  }
  MassMolar::operator-=(rhs);
  if (other)
    updateMassBasis();
  VELTA_TRACE_END(name)
  return *this;
}

} // namespace Phase
