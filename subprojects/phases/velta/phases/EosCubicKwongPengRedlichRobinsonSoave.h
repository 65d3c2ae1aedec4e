#pragma once
// The generalised two-parameter cubic
//     P = R T / (v - b) - a / ((v + d1 b)(v + d2 b))
// with the Soave temperature function
//     a_i = OmegaA R^2 Tc_i^2 / Pc_i (1 + m(omega_i) (1 - sqrt(T / Tc_i)))^2,
// shared by Soave-Redlich-Kwong and Peng-Robinson, which differ only in
// their constants and in m(omega).

#include "velta/phases/EosCubicInterface.h"

namespace Phase::EosCubic {

class KwongPengRedlichRobinsonSoave : public Interface {
public:
  KwongPengRedlichRobinsonSoave(double OmegaA, double OmegaB, double betac, double d1, double d2);
  ~KwongPengRedlichRobinsonSoave() override;

  using Interface::deosdT;
  using Interface::deosdv;
  using Interface::eos;

  Value a(int i, const Value &T, Value &da, Value &d2a) override;
  Value eos(const Value &T, const Value &v, const Value &a, const Value &b) override;
  Value deosdv(const Value &T, const Value &v, const Value &a, const Value &b) override;
  Value deosdT(const Value &T, const Value &v, const Value &ap, const Value &b) override;
  // ln((1 + d1 b / v) / (1 + d2 b / v)) / (R b (d1 - d2)) and its v derivative.
  Value integral(const Value &v, const Value &b) override;
  Value dintegraldv(const Value &v, const Value &b) override;
  // Slope of the temperature function in the acentric factor.
  virtual double m(double omega) = 0;
  double temperatureSlope(double omega) override { return m(omega); }

protected:
  CubicConstants equation() const override {
    return CubicConstants{OmegaA_, OmegaB_, d1_.value(), d2_.value(), false};
  }

protected:
  Value d1_;
  Value d2_;
};

} // namespace Phase::EosCubic
