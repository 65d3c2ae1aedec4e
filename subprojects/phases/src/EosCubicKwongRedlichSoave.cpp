#include "velta/phases/EosCubicKwongRedlichSoave.h"

namespace Phase::EosCubic {

KwongRedlichSoave::KwongRedlichSoave()
    : KwongPengRedlichRobinsonSoave(0.42747, 0.08664, 0.25992, 1.0, 0.0) {}

KwongRedlichSoave::~KwongRedlichSoave() = default;

double KwongRedlichSoave::m(double omega) { return 0.48 + 1.574 * omega - 0.176 * omega * omega; }

} // namespace Phase::EosCubic
