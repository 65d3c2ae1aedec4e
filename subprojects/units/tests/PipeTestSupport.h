#pragma once
// Test support of the pipe, pump and heat transfer units: one-component
// liquids and gases of constant properties (LinearComponent), so that
// densities, viscosities and duties are known by hand, and the flashed
// single-phase streams that feed them.

#include "FlashDrumTestSupport.h"

#include "velta/units/HeatTransfer.h"
#include "velta/units/Pipe.h"
#include "velta/units/Pump.h"
#include "velta/units/RatingHeat.h"

#include <memory>
#include <string>

namespace pipetest {

using namespace flashdrumtest;

// One component of 18 kg/kmol whose liquid has 1000 kg/m3 at every
// temperature and the given viscosity.
inline void useWater(double mul = 1e-3) {
  components.clear();
  PureData water;
  water.mw = 18.0;
  water.rhol = 1000.0 / 18.0;
  water.rhols = 0.0;
  water.mul = mul;
  components.add(new LinearComponent("Water", water));
}

// One component of 29 kg/kmol with a vapour viscosity of 1.8e-5 Pa s.
inline void useAir() {
  components.clear();
  PureData air;
  air.mw = 29.0;
  air.muv = 1.8e-5;
  components.add(new LinearComponent("Air", air));
}

// A flashed single-phase stream ("StreamLiquid" or "StreamVapor") of one
// component, mdot kg/s at T and P.
inline std::unique_ptr<Stream> single(const std::string &type, const std::string &tag,
                                      double mdot, double T, double P) {
  auto s = makeStream<Stream>(type, tag);
  setFeed(*s, {1.0}, T, P, mdot / components[0]->MW().value());
  s->go(1);
  EXPECT_TRUE(s->errors.value().empty()) << tag;
  return s;
}

// A root model that holds units as children, as a flowsheet does.
class Holder : public Model {
public:
  explicit Holder(const std::string &tag)
      : Object(Defaults(tag, "holder"), 0, nullptr, nullptr, nullptr),
        Model(Defaults(tag, "holder"), 0, nullptr, nullptr, nullptr) {}
  int category() const override { return 4; }
  void calculate(int) override {}
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  template <class U> U &add(const std::string &type, const Defaults &options) {
    registerDrumTypes();
    return dynamic_cast<U &>(addChild(type, options));
  }
};

// A rating that counts its pre-calculations and sets U there, so that the
// order pre-calculation, rating, calculation shows in Areq.
class CountingRating : public RatingHeat {
public:
  static constexpr const char *typeName = "RatingHeatCounting";
  CountingRating(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        RatingHeat(defaults, id, persistency, parent, root) {
    setType(typeName);
  }
  void preCalculate() override {
    ++preCalculations;
    U = Value(200.0, "W/(m2*K)");
  }
  int preCalculations = 0;
};

inline void registerCountingRating() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  NodeFactory().registerType<CountingRating>(CountingRating::typeName, "test rating", "option",
                                             false, {}, {}, {}, "", 100, 100);
}

// Options of a heat transfer unit on the process side COLD with n counting
// ratings.
inline Defaults heatTransferOptions(const std::string &tag, int nRatings) {
  registerCountingRating();
  Defaults options(tag, "utility side");
  options.setString("processSide", "COLD");
  options.setInteger("nRatings", nRatings);
  for (int i = 0; i < nRatings; ++i)
    options.setString("embeddedTypeRatings[" + std::to_string(i) + "]", CountingRating::typeName);
  return options;
}

} // namespace pipetest
