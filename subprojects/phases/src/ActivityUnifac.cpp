#include "velta/phases/ActivityUnifac.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/Vector.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/phases/UnifacTables.h"
#include "velta/utility/Error.h"

#include <cstddef>
#include <string>

namespace Phase::Activity {

namespace {

constexpr const char *constructorName = "Phase::Activity::Unifac::Unifac";

// Half the lattice coordination number z = 10 of the combinatorial part.
constexpr double halfCoordination = 5.0;

std::size_t slot(int i) { return static_cast<std::size_t>(i); }

} // namespace

Unifac::Unifac()
    : Liquid("Phase::Activity::Unifac", "subprojects/phases/src/ActivityUnifac"),
      ncomponents_(ParametersUnifac::size()), r_(slot(ncomponents_), 0.0),
      q_(slot(ncomponents_), 0.0), V_(slot(ncomponents_)), F_(slot(ncomponents_)),
      logGAMMAi_(slot(ncomponents_)), logGammaC_(slot(ncomponents_)),
      logGammaR_(slot(ncomponents_)), logGAMMAiJet_(slot(ncomponents_)) {
  const int n = ncomponents_;
  if (a_.empty())
    fillTables();

  VELTA_LOG(verbosity(), 3, constructorName, "component subgroups:");
  int position = 0;
  for (const auto &[key, subgroups] : ParametersUnifac::componentSubgroups()) {
    VELTA_LOG(verbosity(), 3, constructorName, "component[" << position << "]: subgroups = {");
    for (const auto &[k, nu] : subgroups) {
      VELTA_LOG(verbosity(), 3, constructorName, k << " ");
      subgroupsPresent_.insert(k);
    }
    VELTA_LOG(verbosity(), 3, constructorName, "}");
    componentSubgroups_[position] = subgroups;
    ++position;
  }

  VELTA_LOG(verbosity(), 3, constructorName, "subgroups present:");
  for (const int k : subgroupsPresent_)
    VELTA_LOG(verbosity(), 3, constructorName, "  " << k);

  // Components are looked up by their index from here on: the map must hold
  // exactly the keys 0 to n-1.
  VELTA_LOG(verbosity(), 3, constructorName, "normalized component volume and area parameters:");
  for (int i = 0; i < n; ++i) {
    const auto &map = ParametersUnifac::componentSubgroups();
    if (map.find(i) == map.end())
      throw ErrorRunTime(constructorName,
                         ("UNIFAC model: ParametersUnifac has no subgroups for component " +
                          std::to_string(i) + " (invalid map<K, T> key); its keys must be 0 to " +
                          std::to_string(n - 1))
                             .c_str());
    double &ri = r_[slot(i)];
    double &qi = q_[slot(i)];
    ri = 0;
    qi = 0;
    for (const auto &[k, nu] : ParametersUnifac::subgroups(i)) {
      ri += static_cast<double>(nu) * R_[k];
      qi += static_cast<double>(nu) * Q_[k];
    }
    VELTA_LOG(verbosity(), 3, constructorName, "  r[" << i << "] = " << ri);
    VELTA_LOG(verbosity(), 3, constructorName, "  q[" << i << "] = " << qi);
  }

  VELTA_LOG(verbosity(), 3, constructorName, "subgroup molar fractions for all components:");
  for (int i = 0; i < n; ++i) {
    double s = 0;
    for (const auto &[k, nu] : ParametersUnifac::subgroups(i))
      s += static_cast<double>(nu);
    for (const auto &[k, nu] : ParametersUnifac::subgroups(i)) {
      X0_[i][k] = static_cast<double>(nu) / s;
      VELTA_LOG(verbosity(), 3, constructorName, "  X0[" << i << "][" << k << "] = " << X0_[i][k]);
    }
  }

  VELTA_LOG(verbosity(), 3, constructorName, "subgroup surface area fractions for all components:");
  for (int i = 0; i < n; ++i) {
    double den1 = 0;
    for (const auto &[k, nu] : ParametersUnifac::subgroups(i))
      den1 += X0_[i][k] * Q_[k];
    VELTA_LOG(verbosity(), 3, constructorName, "den1 = " << den1);
    for (const auto &[k, nu] : ParametersUnifac::subgroups(i)) {
      Theta0_[i][k] = Q_[k] * X0_[i][k] / den1;
      VELTA_LOG(verbosity(), 3, constructorName,
                "  Theta0[" << i << "][" << k << "] = " << Theta0_[i][k]);
    }
  }
}

Unifac::~Unifac() {
  VELTA_LOG(verbosity(), 1, "Phase::Activity::Unifac::~Unifac", "Entered");
  VELTA_LOG(verbosity(), 2, "Phase::Activity::Unifac::~Unifac", "Done");
}

void Unifac::fillTables() {
  for (const UnifacInteraction &entry : unifacInteractions())
    a_[entry.m][entry.n] = entry.a;
  for (const UnifacSubgroup &entry : unifacSubgroups()) {
    R_[entry.subgroup] = entry.R;
    Q_[entry.subgroup] = entry.Q;
    subgroupMainGroup_[entry.subgroup] = entry.mainGroup;
    mainGroupSubgroups_[entry.mainGroup].insert(entry.subgroup);
  }
}

void Unifac::requireCompleteMap(const char *function) const {
  auto fail = [function](const std::string &message) {
    throw ErrorRunTime(function, ("UNIFAC model: " + message).c_str());
  };
  if (ncomponents_ != NCOMPONENTS)
    fail("ParametersUnifac describes " + std::to_string(ncomponents_) +
         " components, the component list holds " + std::to_string(NCOMPONENTS));
  if (ncoefficients() != NCOMPONENTS)
    fail("built for " + std::to_string(ncoefficients()) + " components, the component list holds " +
         std::to_string(NCOMPONENTS));
  for (int i = 0; i < ncomponents_; ++i)
    if (!(r_[slot(i)] > 0 && q_[slot(i)] > 0))
      fail("component " + std::to_string(i) +
           " has no subgroups with volume and surface-area parameters in ParametersUnifac");
}

int Unifac::occurrences(int i, int k) const {
  const auto component = componentSubgroups_.find(i);
  if (component == componentSubgroups_.end())
    return 0;
  const auto found = component->second.find(k);
  return found == component->second.end() ? 0 : found->second;
}

template <class Fraction>
void Unifac::groupActivities(GroupMap<Fraction> &theta, GroupMap<Jet> &logGAMMA, const char *name,
                             const char *label) {
  // Denominators sum_l theta_l Psi(l, m), one per subgroup m.
  GroupMap<Jet> psiMean;
  for (const int m : subgroupsPresent_) {
    Jet &den = psiMean[m];
    for (const int l : subgroupsPresent_)
      den += theta[l] * psiJet_[l][m];
  }
  for (const int k : subgroupsPresent_) {
    Jet sum1;
    Jet sum2;
    for (const int m : subgroupsPresent_) {
      sum1 += theta[m] * psiJet_[m][k];
      sum2 += theta[m] * psiJet_[k][m] / psiMean[m];
      VELTA_LOG(verbosity(), 3, name,
                "    sum1 = " << sum1.v.value() << " sum2 = " << sum2.v.value());
    }
    Jet &result = logGAMMA[k];
    result = Q_[k] * (1.0 - log(sum1) - sum2);
    VELTA_LOG(verbosity(), 3, name, label << k << "] = " << result.v.value());
  }
}

void Unifac::setTemperature(const Value &T) {
  static constexpr const char *name = "Phase::Activity::Unifac::setTemperature";
  VELTA_LOG(verbosity(), 3, name, "temperature-dependent subgroup interaction parameters:");
  setT(T);
  requireCompleteMap(name);
  // Psi(T) with its first two temperature derivatives, for the excess
  // enthalpy and heat capacity.
  const Jet temperature = Jet::variable(T_, 0);
  for (const int m : subgroupsPresent_) {
    for (const int k : subgroupsPresent_) {
      Jet &psi = psiJet_[m][k];
      if (m == k)
        psi = Jet(1.0);
      else
        psi = exp(-a_[subgroupMainGroup_[m]][subgroupMainGroup_[k]] / temperature);
      Psi_[m][k] = psi.v;
      if (m != k)
        VELTA_LOG(verbosity(), 3, name, "  Psi[" << m << "][" << k << "] = " << psi.v.value());
    }
  }
  VELTA_LOG(verbosity(), 3, name,
            "activity coefficient of subgroup j in a reference solution containing only "
            "molecules of component i:");
  for (int i = 0; i < ncomponents_; ++i) {
    const std::string label = "  logGAMMAi[" + std::to_string(i) + "][";
    groupActivities(Theta0_[i], logGAMMAiJet_[slot(i)], name, label.c_str());
    for (const auto &[k, jet] : logGAMMAiJet_[slot(i)])
      logGAMMAi_[slot(i)][k] = jet.v;
  }
}

void Unifac::calculateExcess(Vector x) {
  static constexpr const char *name = "Phase::Activity::Unifac::calculateExcess";
  requireCompleteMap(name);
  const int n = ncomponents_;
  const std::vector<Active> xs = activeFractions(x, n, name);

  Active sr, sq;
  for (int i = 0; i < n; ++i) {
    const Active &xi = xs[slot(i)];
    sr += xi * r_[slot(i)];
    sq += xi * q_[slot(i)];
  }
  VELTA_LOG(verbosity(), 3, name, "component volume and surface fractions:");
  for (int i = 0; i < n; ++i) {
    V_[slot(i)] = r_[slot(i)] / sr;
    F_[slot(i)] = q_[slot(i)] / sq;
  }

  VELTA_LOG(verbosity(), 3, name, "combinatorial term of the liquid activity coefficient:");
  for (int i = 0; i < n; ++i) {
    const Active &V = V_[slot(i)];
    const Active VF = V / F_[slot(i)];
    Active &lnC = logGammaC_[slot(i)];
    lnC = 1.0 - V + log(V) - halfCoordination * q_[slot(i)] * (1.0 - VF + log(VF));
    VELTA_LOG(verbosity(), 3, name, "  logGammaC[" << i << "] = " << lnC.value());
  }

  VELTA_LOG(verbosity(), 3, name, "subgroup molar fractions at mixture composition:");
  Active groups;
  for (int i = 0; i < n; ++i)
    for (const auto &[k, nu] : componentSubgroups_[i])
      groups += static_cast<double>(nu) * xs[slot(i)];
  for (const int m : subgroupsPresent_) {
    Active count;
    for (int i = 0; i < n; ++i)
      count += static_cast<double>(occurrences(i, m)) * xs[slot(i)];
    Active &Xm = X_[m];
    Xm = count / groups;
    VELTA_LOG(verbosity(), 3, name, "  X[" << m << "] = " << Xm.value());
  }

  VELTA_LOG(verbosity(), 3, name, "subgroup surface area fraction at mixture composition:");
  Active area;
  for (const int m : subgroupsPresent_)
    area += Q_[m] * X_[m];
  VELTA_LOG(verbosity(), 3, name, "den = " << area.value());
  for (const int m : subgroupsPresent_) {
    Active &theta = Theta_[m];
    theta = Q_[m] * X_[m] / area;
    VELTA_LOG(verbosity(), 3, name, "  Theta[" << m << "] = " << theta.value());
  }

  VELTA_LOG(verbosity(), 3, name, "subgroup activity coefficients at mixture composition:");
  groupActivities(Theta_, logGAMMAJet_, name, "  logGAMMA[");
  for (const auto &[k, jet] : logGAMMAJet_)
    logGAMMA_[k] = jet.v;

  VELTA_LOG(verbosity(), 3, name, "residual term of the liquid activity coefficient:");
  std::vector<Jet> residual(slot(n));
  for (int i = 0; i < n; ++i) {
    Jet &lnR = residual[slot(i)];
    for (const auto &[k, nu] : componentSubgroups_[i])
      lnR += static_cast<double>(nu) * (logGAMMAJet_[k] - logGAMMAiJet_[slot(i)][k]);
    logGammaR_[slot(i)] = lnR.v;
    VELTA_LOG(verbosity(), 3, name, "  logGammaR[" << i << "] = " << lnR.v.value());
  }

  // gE / (R T) = sum x_i ln gamma_i over the components that follow the
  // activity model (a Henry component keeps unit activity), with its
  // temperature derivatives from the residual part, the only one that
  // depends on T.
  gE_ = 0.0;
  dgEdT_ = 0.0;
  d2gEdT2_ = 0.0;
  for (int i = 0; i < n; ++i) {
    if (components[i]->isHenry())
      continue;
    const Active &xi = xs[slot(i)];
    const Jet &lnR = residual[slot(i)];
    gE_ += xi * (logGammaC_[slot(i)] + lnR.v);
    dgEdT_ += xi * lnR.t;
    d2gEdT2_ += xi * lnR.tt;
  }
  excessFromGibbs();

  VELTA_LOG(verbosity(), 3, name, "liquid activity coefficient:");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    Active &gammai = gamma_[slot(i)];
    if (components[i]->isHenry())
      gammai = 1.0;
    else
      gammai = exp(logGammaC_[slot(i)] + logGammaR_[slot(i)]);
    VELTA_LOG(verbosity(), 3, name, "gamma[" << i << "] = " << gammai.value());
  }
}

} // namespace Phase::Activity
