#pragma once
// Ready-made pure components whose constructors supply every constant and
// coefficient as literal data. The caller chooses the name under which the
// component is known (checked like a tag).

#include "velta/components/ComponentBkk.h"
#include "velta/components/ComponentDippr.h"
#include "velta/components/ComponentPdippr.h"
#include "velta/components/ComponentSolid.h"

#include <string>

namespace purecomps {

// Water: ln-T polynomial vapour heat capacity, water density correlation.
class water : public ComponentPdippr {
public:
  explicit water(const std::string &name);
};

// Hydrogen: DIPPR 107 vapour heat capacity, DIPPR 105 liquid density;
// with henryLaw its vapour-liquid ratio follows Henry's law
// (k = 7.8e-4, B = 500 K).
class H2 : public ComponentDippr {
public:
  H2(const std::string &name, bool henryLaw);
};

// Iron: seven solid records (alpha, beta, gamma, delta iron) up to the
// melting point 1809 K, one liquid record up to 3132 K.
class Fe : public ComponentBkk {
public:
  explicit Fe(const std::string &name);
};

// Silica (quartz, then cristobalite) up to 1996 K, liquid up to 3000 K.
class silica : public ComponentBkk {
public:
  explicit silica(const std::string &name);
};

// Silicon: solid up to the melting point 1685 K, liquid up to 3504.62 K.
class silicon : public ComponentBkk {
public:
  explicit silicon(const std::string &name);
};

// Iron(II) fluoride, solid only, 298.15 K to 1373 K.
class FeF2 : public ComponentSolid {
public:
  explicit FeF2(const std::string &name);
};

} // namespace purecomps
