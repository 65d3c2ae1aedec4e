#include "velta/phases/PcsaftParameters.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <cmath>
#include <locale>
#include <sstream>

namespace Phase {

int ncomp = 0;
double pcsaftComponentTables[3][NC] = {};
double pcsaftKij[NC][NC] = {};

void pcsaftSetNcomp(int nc) {
  VELTA_ASSERT_AS(nc >= 0, "nc >= 0", "../subprojects/phases/src/EosPcsaft", __LINE__);
  if (nc > NC) {
    std::ostringstream text;
    text << "the PC-SAFT tables hold at most " << NC << " components, not " << nc;
    throw ErrorRunTime("pcsaftSetNcomp", text.str().c_str());
  }
  ncomp = nc;
  for (int i = 0; i < nc; ++i)
    for (int j = 0; j < nc; ++j)
      pcsaftKij[i][j] = 0.0;
}

namespace {

bool usable(double m, double sigma, double epsilon) {
  return std::isfinite(m) && std::isfinite(sigma) && std::isfinite(epsilon) && m > 0.0 &&
         sigma > 0.0 && epsilon >= 0.0;
}

[[noreturn]] void refuse(const char *function, int i) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << "no PC-SAFT parameters for component " << i;
  if (i < components.count())
    text << " (" << components[i]->name() << ")";
  text << ": m = " << pcsaftM[i] << ", sigma = " << pcsaftSigma[i]
       << " A, epsilon/k = " << pcsaftEpsilon[i] << " K";
  throw ErrorRunTime(function, text.str().c_str());
}

} // namespace

void PcsaftParameters::load(const char *function) {
  // Every component is checked before anything is copied, so that a
  // refusal leaves the parameters of the last successful load.
  for (int i = 0; i < ncomp; ++i)
    if (!usable(pcsaftM[i], pcsaftSigma[i], pcsaftEpsilon[i]))
      refuse(function, i);
  n = ncomp;
  for (int i = 0; i < n; ++i) {
    m[i] = pcsaftM[i];
    sigmai[i] = pcsaftSigma[i];
    epsiloni[i] = pcsaftEpsilon[i];
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      sigma[i][j] = (sigmai[i] + sigmai[j]) * 0.5;
      epsilon[i][j] = (1.0 - pcsaftKij[i][j]) * std::sqrt(epsiloni[i] * epsiloni[j]);
      const double s3 = sigma[i][j] * sigma[i][j] * sigma[i][j];
      c1[i][j] = m[i] * m[j] * epsilon[i][j] * s3;
      c2[i][j] = c1[i][j] * epsilon[i][j];
    }
  }
}

} // namespace Phase
