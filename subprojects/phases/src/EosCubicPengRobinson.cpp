#include "velta/phases/EosCubicPengRobinson.h"

#include <cmath>

namespace Phase::EosCubic {

PengRobinson::PengRobinson()
    : KwongPengRedlichRobinsonSoave(0.4572355289, 0.0777960739, 0.25321709393744,
                                    1.0 + std::sqrt(2.0), 1.0 - std::sqrt(2.0)) {}

PengRobinson::~PengRobinson() = default;

double PengRobinson::m(double omega) {
  if (omega < 0.5)
    return 0.37464 + 1.54226 * omega - 0.26992 * omega * omega;
  return 0.3796 + 1.485 * omega - 0.1644 * omega * omega + 0.01666 * omega * omega * omega;
}

} // namespace Phase::EosCubic
