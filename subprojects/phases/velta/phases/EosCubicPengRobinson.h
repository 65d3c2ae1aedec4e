#pragma once
// Peng-Robinson: d1 = 1 + sqrt 2, d2 = 1 - sqrt 2, OmegaA 0.4572355289,
// OmegaB 0.0777960739, betac 0.25321709393744 (the stored constant);
// m = 0.37464 + 1.54226 omega - 0.26992 omega^2 below omega 0.5 (Peng and
// Robinson 1976), the cubic 0.3796 + 1.485 omega - 0.1644 omega^2
// + 0.01666 omega^3 from 0.5 on (the 1978 correlation for heavy components).

#include "velta/phases/EosCubicKwongPengRedlichRobinsonSoave.h"

namespace Phase::EosCubic {

class PengRobinson : public KwongPengRedlichRobinsonSoave {
public:
  PengRobinson();
  ~PengRobinson() override;
  double m(double omega) override;
};

} // namespace Phase::EosCubic
