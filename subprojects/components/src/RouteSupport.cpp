#include "RouteSupport.h"

#include "velta/utility/Error.h"

#include <locale>
#include <sstream>

namespace routeSupport {

void requirePositive(const char *function, const char *quantity, double value, const char *unit) {
  if (value > 0.0)
    return;
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << quantity << " must be positive: " << value << " " << unit;
  throw ErrorRunTime(function, text.str().c_str());
}

Active withDerivatives(double v, const Active &a, double factor) {
  Active result = a.derivativePart();
  result *= factor;
  result.value() = v;
  return result;
}

} // namespace routeSupport
