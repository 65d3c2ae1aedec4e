#pragma once
// Soave-Redlich-Kwong: d1 = 1, d2 = 0, OmegaA 0.42747, OmegaB 0.08664,
// Zc = 1/3, betac 0.25992; m = 0.48 + 1.574 omega - 0.176 omega^2
// (Soave 1972).

#include "velta/phases/EosCubicKwongPengRedlichRobinsonSoave.h"

namespace Phase::EosCubic {

class KwongRedlichSoave : public KwongPengRedlichRobinsonSoave {
public:
  KwongRedlichSoave();
  ~KwongRedlichSoave() override;
  double m(double omega) override;
};

} // namespace Phase::EosCubic
