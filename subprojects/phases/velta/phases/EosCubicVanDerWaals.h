#pragma once
// Van der Waals: P = R T / (v - b) - a / v^2 with the temperature-independent
// a_i = 27/64 R^2 Tc_i^2 / Pc_i, b_i = 1/8 R Tc_i / Pc_i, betac 1/3.

#include "velta/phases/EosCubicInterface.h"

namespace Phase::EosCubic {

class VanDerWaals : public Interface {
public:
  VanDerWaals();
  ~VanDerWaals() override;

  using Interface::deosdT;
  using Interface::deosdv;
  using Interface::eos;

  // da and d2a become zeros with their units.
  Value a(int i, const Value &T, Value &da, Value &d2a) override;
  Value eos(const Value &T, const Value &v, const Value &a, const Value &b) override;
  Value deosdv(const Value &T, const Value &v, const Value &a, const Value &b) override;
  Value deosdT(const Value &T, const Value &v, const Value &ap, const Value &b) override;
  // 1 / (v R) and -1 / (v^2 R).
  Value integral(const Value &v, const Value &b) override;
  Value dintegraldv(const Value &v, const Value &b) override;

protected:
  CubicConstants equation() const override {
    return CubicConstants{OmegaA_, OmegaB_, 0.0, 0.0, true};
  }
};

} // namespace Phase::EosCubic
