#include "velta/value/Constants.h"
#include "velta/value/ErrorUnit.h"
#include "velta/value/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Read by start-up initialisers of this file: the constants and the units
// engine must already exist then.
const double pressureReadAtStartUp = referencePressure.value();
const Value valueBuiltAtStartUp(2.0, "bar");

const std::string header = "Error was thrown by function: ";
const std::string unitLine = "Error type: Unit of measurement error - ";

// Text of the ErrorUnit thrown by f; fails the test if none is thrown.
std::string errorText(const std::function<void()> &f) {
  try {
    f();
  } catch (const ErrorUnit &error) {
    return error.message();
  } catch (...) {
    return "unexpected exception";
  }
  return "no exception";
}

const Value P(2.0, "bar");
const Value T(300.0, "K");
const Value ratio(0.5);

TEST(Value, Construction) {
  const Value none;
  EXPECT_EQ(none.value(), 0.0);
  EXPECT_TRUE(none.units().isInvalid());
  EXPECT_EQ(none.uom(), "[invalid unit]");
  EXPECT_FALSE(none.input() || none.output());

  EXPECT_TRUE(Value(3.0).units().allEqual(0));
  EXPECT_EQ(Value(3.0).uom(), "");
  EXPECT_EQ(P.value(), 2e5);
  EXPECT_EQ(P.uom(), "m^-1 kg s^-2");
  EXPECT_DOUBLE_EQ(Value(25.0, "\xC2\xB0" "C").value(), 298.15);
  EXPECT_EQ(Value(0.0, "barg").value(), 101325.0);
  EXPECT_EQ(Value(1.0, UnitArray(0, 0, 0, 3, 0, 0, 0, 0, 0)).uom(), "m^3");

  // From a number: value converted, derivatives kept as they are.
  pushDerivativeContext(1);
  Active x(2.0);
  x.setDerivative(0, 1.0);
  const Value fromNumber(x, "bar");
  EXPECT_EQ(fromNumber.value(), 2e5);
  EXPECT_EQ(fromNumber.activeValue().derivative(0), 1.0);
  popDerivativeContext();

  EXPECT_EQ(errorText([] { Value(1.0, "KG"); }),
            header + "UnitEngine::toSI\n" + unitLine + "unsupported unit [KG]\n");
}

TEST(Value, StartUpInitialisersSeeConstantsAndUnits) {
  EXPECT_EQ(pressureReadAtStartUp, 101325.0);
  EXPECT_EQ(valueBuiltAtStartUp.value(), 2e5);
  EXPECT_EQ(valueBuiltAtStartUp.uom(), "m^-1 kg s^-2");
}

TEST(Value, UnitsOfResults) {
  struct Case {
    const char *name;
    Value result;
    const char *uom;
  };
  const Value area(4.0, "m2"), volume(8.0, "m3"), money(1.0, "\xE2\x82\xAC");
  const std::vector<Case> cases = {
      {"P + P", P + P, "m^-1 kg s^-2"},
      {"P - P", P - P, "m^-1 kg s^-2"},
      {"ratio + 1", ratio + 1.0, ""},
      {"1 - ratio", 1.0 - ratio, ""},
      {"P * volume", P * volume, "m^2 kg s^-2"},
      {"P / T", P / T, "m^-1 kg K^-1 s^-2"},
      {"1 / T", 1.0 / T, "K^-1"},
      {"P * 2", P * 2.0, "m^-1 kg s^-2"},
      {"2 * P", 2.0 * P, "m^-1 kg s^-2"},
      {"P / 2", P / 2.0, "m^-1 kg s^-2"},
      {"-P", -P, "m^-1 kg s^-2"},
      {"fabs(-P)", fabs(-P), "m^-1 kg s^-2"},
      {"sqrt(area)", sqrt(area), "m"},
      {"curt(volume)", curt(volume), "m"},
      {"exp(ratio)", exp(ratio), ""},
      {"pow(ratio, ratio)", pow(ratio, ratio), ""},
      {"default * P", Value() * P, "[invalid unit]"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.result.uom(), c.uom) << c.name;
  EXPECT_EQ((P + P).value(), 4e5);
  EXPECT_EQ((1.0 / T).value(), 1.0 / 300.0);
  EXPECT_EQ(sqrt(area).value(), 2.0);
  EXPECT_DOUBLE_EQ(curt(volume).value(), 2.0);
  EXPECT_TRUE(std::isnan(curt(Value(-8.0)).value()));
  EXPECT_TRUE(isNan(curt(Value(-8.0))));
  EXPECT_FALSE(isNan(curt(Value(8.0))));
}

// Every unit test failure: the exact text with the function that names it.
TEST(Value, IncompatibleUnitsErrorTexts) {
  const std::string pUnits = "<m^-1 kg s^-2>";
  const std::string member = "GenericValue<class GenericActive<double> >::";
  struct Case {
    const char *name;
    std::function<void()> f;
    std::string function;
    std::string units;
  };
  const Active number(1.0);
  const std::vector<Case> cases = {
      {"P + T", [&] { (void)(P + T); }, member + "operator +", pUnits + " <K>"},
      {"P - T", [&] { (void)(P - T); }, member + "operator -", pUnits + " <K>"},
      {"P += T", [&] { Value v(P); v += T; }, member + "operator +=", pUnits + " <K>"},
      {"P -= T", [&] { Value v(P); v -= T; }, member + "operator -=", pUnits + " <K>"},
      {"P + 1", [&] { (void)(P + 1.0); }, member + "operator +", pUnits + " <>"},
      {"P - 1", [&] { (void)(P - 1.0); }, member + "operator -", pUnits + " <>"},
      {"P + number", [&] { (void)(P + number); }, member + "operator +", pUnits + " <>"},
      {"P += 1", [&] { Value v(P); v += 1.0; }, member + "operator +=", pUnits + " <>"},
      {"P += number", [&] { Value v(P); v += number; }, member + "operator +=", pUnits + " <>"},
      {"1 + P", [&] { (void)(1.0 + P); }, "operator +", pUnits + " <>"},
      {"1 - P", [&] { (void)(1.0 - P); }, "operator -", pUnits + " <>"},
      {"P == T", [&] { (void)(P == T); }, member + "operator ==", pUnits + " <K>"},
      {"P != T", [&] { (void)(P != T); }, member + "operator !=", pUnits + " <K>"},
      {"P < T", [&] { (void)(P < T); }, member + "operator <", pUnits + " <K>"},
      {"P <= T", [&] { (void)(P <= T); }, member + "operator <=", pUnits + " <K>"},
      {"P > T", [&] { (void)(P > T); }, member + "operator >", pUnits + " <K>"},
      {"P >= T", [&] { (void)(P >= T); }, member + "operator >=", pUnits + " <K>"},
      {"P -= 1", [&] { Value v(P); v -= 1.0; }, member + "operator -=", pUnits + " <>"},
      {"P - number", [&] { (void)(P - number); }, member + "operator -", pUnits + " <>"},
      {"number + P", [&] { (void)(number + P); }, "operator +", pUnits + " <>"},
      {"exp", [&] { (void)exp(P); }, "exp", pUnits + " <>"},
      {"log", [&] { (void)log(P); }, "log", pUnits + " <>"},
      {"log10", [&] { (void)log10(P); }, "log10", pUnits + " <>"},
      {"sin", [&] { (void)sin(P); }, "sin", pUnits + " <>"},
      {"sinh", [&] { (void)sinh(P); }, "sinh", pUnits + " <>"},
      {"cosh", [&] { (void)cosh(P); }, "cosh", pUnits + " <>"},
      {"asin", [&] { (void)asin(P); }, "asin", pUnits + " <>"},
      {"acos", [&] { (void)acos(P); }, "acos", pUnits + " <>"},
      {"atan", [&] { (void)atan(P); }, "atan", pUnits + " <>"},
      {"pow(P, 2)", [&] { (void)pow(P, 2.0); }, "pow", pUnits + " <>"},
      {"pow(P, T): base first", [&] { (void)pow(P, T); }, "pow", pUnits + " <>"},
      {"pow(1, T)", [&] { (void)pow(ratio, T); }, "pow", "<K> <>"},
      {"unset + T", [&] { (void)(Value() + T); }, member + "operator +", "<[invalid unit]> <K>"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(errorText(c.f), header + c.function + "\n" + unitLine + "incompatible units " +
                                  c.units + "\n")
        << c.name;
}

TEST(Value, RootsNeedDivisibleExponents) {
  EXPECT_EQ(errorText([] { (void)sqrt(Value(1.0, "\xE2\x82\xAC")); }),
            header + "sqrt\n" + unitLine + "dimension exponents must be even <\xE2\x82\xAC>\n");
  EXPECT_EQ(errorText([] { (void)curt(Value(1.0, "m2")); }),
            header + "curt\n" + unitLine + "dimension exponents must be multiple of three <m^2>\n");
  EXPECT_EQ(errorText([] { (void)sqrt(Value(1.0, "kg/m3")); }),
            header + "sqrt\n" + unitLine + "dimension exponents must be even <m^-3 kg>\n");
  EXPECT_EQ(sqrt(Value(4.0, "kg/J")).uom(), "m^-1 s"); // m^-2 s^2
}

TEST(Value, Assignment) {
  const std::string assign = "GenericValue<class GenericActive<double> >::operator =";
  Value target;
  target = T; // units not yet known: takes the source's
  EXPECT_EQ(target.value(), 300.0);
  EXPECT_EQ(target.uom(), "K");
  EXPECT_EQ(errorText([&] { target = P; }),
            header + assign + "\n" + unitLine +
                "destination already has incompatible units <K> <m^-1 kg s^-2>\n");
  EXPECT_EQ(target.value(), 300.0); // a failed assignment changes nothing
  EXPECT_EQ(target.uom(), "K");

  Value pressure(P);
  EXPECT_EQ(errorText([&] { pressure = 3.0; }),
            header + assign + "\n" + unitLine + "destination already has units <m^-1 kg s^-2>\n");
  EXPECT_EQ(errorText([&] { pressure = Active(3.0); }),
            header + assign + "\n" + unitLine + "destination already has units <m^-1 kg s^-2>\n");
  EXPECT_EQ(pressure.value(), 2e5);

  Value unset, plain(7.0);
  unset = 3.0;
  plain = Active(4.0);
  EXPECT_EQ(unset.value(), 3.0);
  EXPECT_EQ(unset.uom(), "");
  EXPECT_EQ(plain.value(), 4.0);

  // Assignment never changes the target's flags, nor copies the source's.
  Value flagged(1.0, "K"), source(5.0, "K");
  flagged.setOutput();
  source.setInput();
  flagged = source;
  EXPECT_FALSE(flagged.input());
  EXPECT_TRUE(flagged.output());
  EXPECT_EQ(flagged.value(), 5.0);
}

TEST(Value, Flags) {
  Value in(P);
  in.setInput();
  EXPECT_TRUE(Value(in).input());                // copies keep flags
  EXPECT_TRUE((in / T).input());                 // value / value: flags of the left
  EXPECT_TRUE((in * 2.0).input());
  EXPECT_FALSE((T / in).input());
  EXPECT_FALSE((1.0 / in).input());              // double / value: no flags
  EXPECT_FALSE(sqrt(Value(4.0, "m2")).input()); // functions: no flags
  in.unSetInput();
  EXPECT_FALSE(in.input());
  in.input() = true;
  in.output() = true;
  EXPECT_TRUE(in.input() && in.output());

  // set sets the input flag, then assigns; a unit mismatch leaves the flag set.
  Value temperature(1.0, "K");
  EXPECT_EQ(errorText([&] { temperature.set(1.0, "bar"); }).substr(0, header.size()), header);
  EXPECT_TRUE(temperature.input());
  EXPECT_EQ(temperature.value(), 1.0);
  Value fresh;
  fresh.set(2.0, "bar");
  EXPECT_TRUE(fresh.input());
  EXPECT_EQ(fresh.value(), 2e5);
  // An unknown unit throws before anything changes.
  Value untouched(1.0, "K");
  EXPECT_EQ(errorText([&] { untouched.set(1.0, "kelvin"); }),
            header + "UnitEngine::toSI\n" + unitLine + "unsupported unit [kelvin]\n");
  EXPECT_FALSE(untouched.input());
  Value other;
  other.set(T);
  EXPECT_TRUE(other.input());
  EXPECT_EQ(other.value(), 300.0);
}

TEST(Value, ConversionToUnits) {
  const Value p(101325.0, "Pa");
  EXPECT_DOUBLE_EQ(p.toDouble("bar"), 1.01325);
  EXPECT_DOUBLE_EQ(p.toDouble("atm"), 1.0);
  EXPECT_DOUBLE_EQ(Value(298.15, "K").toDouble("\xC2\xB0" "C"), 25.0);
  EXPECT_EQ(p.checkuom("bar"), 101325.0);
  const std::string toDouble = "GenericValue<class GenericActive<double> >::toDouble";
  EXPECT_EQ(errorText([&] { (void)p.toDouble("K"); }),
            header + toDouble + "\n" + unitLine + "incompatible units <m^-1 kg s^-2> <K>\n" +
                "Called from function: " + toDouble + "\n");
  EXPECT_EQ(errorText([&] { (void)p.toDouble("psia"); }),
            header + "UnitEngine::toSI\n" + unitLine + "unsupported unit [psia]\n" +
                "Called from function: " + toDouble + "\n");
  EXPECT_EQ(errorText([&] { (void)p.checkuom("K"); }),
            header + "GenericValue<class GenericActive<double> >::checkuom\n" + unitLine +
                "incompatible units <m^-1 kg s^-2> <K>\n");
}

TEST(Value, DerivativesFlowThroughValues) {
  pushDerivativeContext(2);
  Value pressure(2e5, "Pa"), volume(0.5, "m3");
  pressure.activeValue().setActive(0);
  volume.activeValue().setActive(1);
  // W = P V: dW/dP = V, dW/dV = P; sqrt(V / 1 m3): d/dV = 0.5 / sqrt(V)
  const Value work = pressure * volume;
  const Value root = sqrt(volume / Value(1.0, "m3"));
  EXPECT_EQ(work.activeValue().derivative(0), 0.5);
  EXPECT_EQ(work.activeValue().derivative(1), 2e5);
  EXPECT_DOUBLE_EQ(root.activeValue().derivative(1), 0.5 / std::sqrt(0.5));
  // curt(V): d/dV = V^(-2/3) / 3 = 0.5^(-2/3) / 3 = 0.529134 (hand value).
  const Value side = curt(volume);
  EXPECT_EQ(side.uom(), "m");
  EXPECT_NEAR(side.activeValue().derivative(1), 0.529134, 1e-6);
  // P / V with units: d/dP = 1 / V = 2, d/dV = -P / V^2 = -8e5.
  const Value quotient = pressure / volume;
  EXPECT_EQ(quotient.activeValue().derivative(0), 2.0);
  EXPECT_EQ(quotient.activeValue().derivative(1), -8e5);
  const Value stripped = work.withoutDerivatives();
  EXPECT_EQ(stripped.value(), 1e5);
  EXPECT_EQ(stripped.activeValue().derivative(0), 0.0);
  EXPECT_EQ(stripped.uom(), work.uom());
  Value zeroed(work);
  zeroed.setZero();
  EXPECT_EQ(zeroed.value(), 0.0);
  EXPECT_EQ(zeroed.activeValue().derivative(1), 0.0);
  EXPECT_EQ(zeroed.uom(), "m^2 kg s^-2");
  pressure.activeValue().setInactive(0);
  volume.activeValue().setInactive(1);
  popDerivativeContext();
}

TEST(Value, Print) {
  std::ostringstream text;
  text.precision(3);
  referencePressure.print(text);
  EXPECT_EQ(text.str(), "101325 m^-1 kg s^-2");
  EXPECT_EQ(text.precision(), 6);
  std::ostringstream streamed;
  streamed << Value(1.0 / 3.0, "m") << "|" << Value(2.0);
  EXPECT_EQ(streamed.str(), "0.333333333333 m|2 ");
}

TEST(Value, Constants) {
  struct Case {
    const char *name;
    const Value &constant;
    double value;
    const char *unit;
  };
  const std::vector<Case> cases = {
      {"referencePressure", referencePressure, 101325.0, "Pa"},
      {"maximumPressure", maximumPressure, 1e10, "Pa"},
      {"minimumPressure", minimumPressure, 1e-5, "Pa"},
      {"gasConstant", gasConstant, 8314.4, "J/(kmol*K)"},
      {"referenceTemperature", referenceTemperature, 298.15, "K"},
      {"maximumTemperature", maximumTemperature, 1500.0, "K"},
      {"minimumTemperature", minimumTemperature, 50.0, "K"},
      {"dimensionlessOne", dimensionlessOne, 1.0, ""},
      {"dimensionlessZero", dimensionlessZero, 0.0, ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.constant.checkuom(c.unit), c.value) << c.name;
    EXPECT_EQ(c.constant.activeValue().derivativeSum(), 0.0) << c.name;
    EXPECT_FALSE(c.constant.input() || c.constant.output()) << c.name;
  }
  EXPECT_EQ(gasConstant.uom(), "kmol^-1 m^2 kg K^-1 s^-2");
  EXPECT_TRUE(dimensionless.allEqual(0));
  EXPECT_EQ(dimensionlessOne.units(), dimensionless);
  // R T at the reference state, J/kmol.
  EXPECT_DOUBLE_EQ((gasConstant * referenceTemperature).value(), 8314.4 * 298.15);
}

} // namespace
