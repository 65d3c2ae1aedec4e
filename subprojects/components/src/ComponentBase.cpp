#include "velta/components/ComponentBase.h"

#include "velta/utility/Assert.h"
#include "velta/value/Constants.h"

namespace {
const char *const sourceFile = "subprojects/components/src/ComponentBase";
}

ComponentBase::ComponentBase(const Value &mw, const Value &Pc, const Value &Tc, const Value &rhoc,
                             const Value &diffvol, const Value &vb, const Value &dh0,
                             const Value &dg0, const Value &zc, const Value &omega)
    : mw_(mw), Pc_(Pc), Tc_(Tc), rhoc_(rhoc), diffvol_(diffvol), vb_(vb), zc_(zc), dh0_(dh0),
      dg0_(dg0), omega_(omega) {
  checkUnits();
  VELTA_ASSERT_AS(mw_.value() > 0.0, "mw.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(Pc_.value() > 0.0, "Pc.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(Tc_.value() > 0.0, "Tc.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(rhoc_.value() > 0.0, "rhoc.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(vb_.value() > 0.0, "vb.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(zc_.value() > 0.0, "zc.toDouble() > 0.0", sourceFile, __LINE__);
  VELTA_ASSERT_AS(mw_.value() < 1E34, "mw.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(Pc_.value() < 1E34, "Pc.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(Tc_.value() < 1E34, "Tc.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(rhoc_.value() < 1E34, "rhoc.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(diffvol_.value() < 1E34, "diffvol.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(vb_.value() < 1E34, "vb.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(zc_.value() < 1E34, "zc.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(dh0_.value() < 1E34, "dh0.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(dg0_.value() < 1E34, "dg0.toDouble() < 1E34", sourceFile, __LINE__);
  VELTA_ASSERT_AS(omega_.value() < 1E34, "omega.toDouble() < 1E34", sourceFile, __LINE__);
}

ComponentBase::ComponentBase(const Value &mw)
    : mw_(mw), Pc_(1500.0, "bar"), Tc_(2000.0, "K"), zc_(0.3),
      dh0_(0.0, "J/kmol"), dg0_(0.0, "J/kmol"), omega_(0.1) {
  gasConstant.checkuom("J/kmol/K");
  rhoc_ = Pc_ * mw_ / (zc_ * gasConstant * Tc_);
  diffvol_ = Value(0.0);
  vb_ = 1.5 * mw_ / rhoc_;
  checkUnits();
}

void ComponentBase::checkUnits() const {
  Pc_.checkuom("Pa");
  Tc_.checkuom("K");
  rhoc_.checkuom("kg/m3");
  diffvol_.checkuom("");
  vb_.checkuom("m3/kmol");
  dh0_.checkuom("J/kmol");
  dg0_.checkuom("J/kmol");
  zc_.checkuom("");
  omega_.checkuom("");
  mw_.checkuom("kg/kmol");
}

Value ComponentBase::vc() const { return zc() * gasConstant * Tc() / Pc(); }

void ComponentBase::setFormationReferences(const Value &dh0, const Value &dg0) {
  dh0.checkuom("J/kmol");
  dg0.checkuom("J/kmol");
  dh0_ = dh0;
  dg0_ = dg0;
}
