#pragma once
// Test support of the two-phase streams: the four stream types registered
// under their names with the two embedded-type options, DIPPR components
// with their published vapour-pressure correlations (Perry's DIPPR-101
// records; the other records borrowed from water, they do not enter the
// equilibria tested), and the set-up of the activity-model tables.

#include "StreamTestSupport.h"

#include "velta/components/ComponentDippr.h"
#include "velta/phases/ActivityParameters.h"
#include "velta/streams/StreamTwo.h"

#include <memory>
#include <string>

namespace streamtwotest {

using namespace streamtest;

// The library registers the two-phase stream types with the others.
inline void registerStreamTwoTypes() { registerStreamTypes(); }

// A stream of type with the two embedded phase types.
template <class S>
std::unique_ptr<S> makeTwo(const std::string &type, const std::string &vapor,
                           const std::string &liquid, const std::string &tag = "S01") {
  registerStreamTwoTypes();
  Defaults options(tag, "test stream");
  options.setString("embeddedTypePhase[0]", vapor);
  options.setString("embeddedTypePhase[1]", liquid);
  std::unique_ptr<Node> node = NodeFactory().create(type, options, 0, nullptr, nullptr, nullptr);
  auto *stream = dynamic_cast<S *>(node.get());
  EXPECT_NE(stream, nullptr) << type;
  node.release();
  return std::unique_ptr<S>(stream);
}

struct Fluid {
  const char *name;
  double mw, Tc, Pc, omega;
  // ln(psat/Pa) = C1 + C2/T + C3 ln T + C4 T^C5 on [Tmin, Tmax].
  double c1, c2, c3, c4, c5, tmin, tmax;
};

inline const Fluid methane{"methane", 16.043, 190.564, 4.5992e6, 0.01142,
                           39.205, -1324.4, -3.4366, 3.1019e-5, 2, 90.69, 190.56};
inline const Fluid butane{"n-butane", 58.123, 425.12, 3.796e6, 0.2,
                          66.343, -4363.2, -7.046, 9.4509e-6, 2, 134.86, 425.12};
inline const Fluid pentane{"n-pentane", 72.15, 469.7, 3.37e6, 0.251,
                           78.741, -5420.3, -8.8253, 9.6171e-6, 2, 143.42, 469.7};
inline const Fluid hexane{"n-hexane", 86.177, 507.6, 3.025e6, 0.3013,
                          104.65, -6995.5, -12.702, 1.2381e-5, 2, 177.83, 507.6};

inline ComponentDippr *dipprComponent(const Fluid &f) {
  const double zc = 0.27;
  const double vc = zc * 8314.4 * f.Tc / f.Pc; // m3/kmol
  return new ComponentDippr(
      f.name, Value(f.mw, "kg/kmol"), Value(f.Pc, "Pa"), Value(f.Tc, "K"),
      Value(f.mw / vc, "kg/m3"), Value(0.0), Value(0.5 * vc, "m3/kmol"), Value(0.0, "J/kmol"),
      Value(0.0, "J/kmol"), Value(3e7, "J/kmol"), Value(zc), Value(f.omega),
      ParametersAntoine(f.c1, f.c2, 0, 0, f.c3, f.c4, f.c5, f.tmin, f.tmax),
      ParametersDippr(33363, 26790, 2610.5, 8896, 1169, 100, 2273.15),
      ParametersDippr(5.459, 0.30542, 647.13, 0.081, 0, 280, 600),
      ParametersDippr(-0.432, 0.0057255, -8.078e-6, 1.861e-9, 0, 273.16, 633.15),
      ParametersDippr(0.0021606, 0.76839, 3940.5, -445340, 0, 300, 600),
      ParametersDippr(-52.843, 3703.6, 5.866, -5.879e-29, 10, 273.16, 646.15),
      ParametersDippr(6.1839e-7, 0.67779, 847.23, -73930, 0, 300, 600),
      ParametersDippr(0.18548, 2.717, -3.554, 2.047, 0, 273.16, 647.13), ParametersHenry());
}

inline void useFluids(std::initializer_list<const Fluid *> fluids) {
  components.clear();
  for (const Fluid *f : fluids)
    components.add(dipprComponent(*f));
}

inline void clearActivityTables() {
  Phase::Activity::ParametersNrtl1::alphaTable().clear();
  Phase::Activity::ParametersNrtl1::bTable().clear();
  Phase::Activity::ParametersUnifac::componentSubgroups().clear();
}

// NRTL with constant alpha and tau_ij = b_ij / T for a binary.
inline void setNrtlBinary(double alpha, double b01, double b10) {
  using Phase::Activity::ParametersNrtl1;
  ParametersNrtl1::resize(2);
  ParametersNrtl1::alpha(0, 1) = ParametersNrtl1::alpha(1, 0) = alpha;
  ParametersNrtl1::b(0, 1) = b01;
  ParametersNrtl1::b(1, 0) = b10;
}

// n-pentane (2 CH3, 3 CH2) and n-hexane (2 CH3, 4 CH2).
inline void setUnifacAlkanes() {
  auto &groups = Phase::Activity::ParametersUnifac::componentSubgroups();
  groups[0] = {{1, 2}, {2, 3}};
  groups[1] = {{1, 2}, {2, 4}};
}

class StreamTwoFixture : public testing::Test {
protected:
  void SetUp() override { clearActivityTables(); }
  void TearDown() override {
    clearActivityTables();
    kllEstimates.clear();
    components.clear();
  }
};

} // namespace streamtwotest
