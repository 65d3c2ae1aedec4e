#include "velta/components/ParametersDippr.h"

#include "velta/utility/Assert.h"

ParametersDippr::ParametersDippr(double c1, double c2, double c3, double c4, double c5,
                                 double tmin, double tmax)
    : v_{c1, c2, c3, c4, c5, tmin, tmax} {
  for (double elem : v_)
    VELTA_ASSERT_AS(elem < 1E34, "elem < 1E34", "subprojects/components/src/parameters", __LINE__);
  VELTA_ASSERT_AS(v_[5] != 0.0, "v_[5] != 0.0", "subprojects/components/src/parameters", __LINE__);
  VELTA_ASSERT_AS(v_[6] != 0.0, "v_[6] != 0.0", "subprojects/components/src/parameters", __LINE__);
}
