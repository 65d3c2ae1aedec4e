// A flash degasser of every registered type, with outlets of its own
// internal stream type (two-phase ideal, activity-model and cubic streams,
// with or without solids): the flashed drum hands its vapour and its
// condensate to the outlets with the internal stream's enthalpy flow, and
// each outlet's own flash, started from what the degasser prepared, stays
// at the drum's temperature.

#include "FlashDrumTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>
#include <vector>

using namespace flashdrumtest;
using Velta::Utility::PhaseIndex;

namespace {

struct DegasserCase {
  std::string type;     // registered name
  std::string internal; // embeddedTypeStream to set, empty for the registered one
};

std::ostream &operator<<(std::ostream &os, const DegasserCase &c) { return os << c.type; }

std::vector<DegasserCase> everyDegasser() {
  registerDrumTypes();
  std::vector<DegasserCase> cases;
  for (const TypeDescriptor &d : NodeFactory().descriptors())
    if (d.name.rfind("FlashDegasser<", 0) == 0)
      cases.push_back({d.name, ""});
  // The plain type with cubic two-phase streams throughout.
  cases.push_back({"FlashDegasser", "StreamPengRobinsonLiquidVapor"});
  return cases;
}

using FlashDegasserTypes = CriticalPairTest<DegasserCase>;

} // namespace

TEST_P(FlashDegasserTypes, HandsVapourAndCondensateOnWithTheirEnthalpy) {
  const DegasserCase &c = GetParam();
  Defaults options("FD", "degasser");
  if (!c.internal.empty())
    options.setString("embeddedTypeStream", c.internal);
  auto unit = makeDrum<FlashDegasser>(c.type, options);
  ASSERT_NE(unit, nullptr);
  const std::string streamType = unit->embeddedTypeStream.value();
  auto f1 = feed("F1", {0.5, 0.5}, 300.0, 2e5), f2 = feed("F2", {0.3, 0.7}, 400.0, 3e5);
  auto vapor = makeStream<Stream>(streamType, "V"), condensate = makeStream<Stream>(streamType, "C");
  join(*unit, *f1, "in");
  join(*unit, *f2, "in");
  std::string port = "vapor";
  unit->translate(port);
  join(*unit, *vapor, port);
  port = "condensate";
  unit->translate(port);
  join(*unit, *condensate, port);
  unit->option = "PT";
  unit->T = Value(320.0, "K");
  unit->P = Value(1.2e5, "Pa");

  unit->go(1, 0);
  ASSERT_TRUE(unit->errors.value().empty()) << messages(*unit);
  Stream &internal = unit->internalStream();
  const double n = dynamic_cast<Phase::MassMolar &>(*internal.Tphase).ndot.value();
  EXPECT_NEAR(n, 2.0, 1e-12);
  // Two phases in the drum wherever the stream type has a liquid.
  const bool liquid = internal.findPhaseIndex(static_cast<int>(PhaseIndex::liquid1)) != -1;
  EXPECT_GT(unit->alfa.value(), 0.0);
  if (liquid)
    EXPECT_LT(unit->alfa.value(), 1.0);
  const double nV = dynamic_cast<Phase::MassMolar &>(*vapor->Tphase).ndot.value();
  const double nC = dynamic_cast<Phase::MassMolar &>(*condensate->Tphase).ndot.value();
  EXPECT_NEAR(nV + nC, n, 1e-9);
  const double H = enthalpyFlow(internal).value();
  EXPECT_NEAR(enthalpyFlow(*vapor).value() + enthalpyFlow(*condensate).value(), H, 1e-9 * std::fabs(H));
  // Each outlet's own flash from the prepared state finds the drum's state.
  for (Stream *s : {vapor.get(), condensate.get()}) {
    if (s == condensate.get() && !liquid)
      continue; // nothing condensed: an empty outlet
    flash(*s);
    EXPECT_TRUE(s->errors.value().empty()) << s->tag() << "\n" << messages(*s);
    EXPECT_NEAR(s->T.value(), 320.0, 1e-6) << s->tag();
    EXPECT_DOUBLE_EQ(s->P.value(), 1.2e5) << s->tag();
  }
}

INSTANTIATE_TEST_SUITE_P(Registered, FlashDegasserTypes, testing::ValuesIn(everyDegasser()),
                         [](const testing::TestParamInfo<DegasserCase> &info) {
                           std::string name = info.param.type + info.param.internal;
                           for (char &ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch)))
                               ch = '_';
                           return name;
                         });
