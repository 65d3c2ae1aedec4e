#pragma once
// Test support of the streams: the stream and phase types that the tests
// create by name, and a fixture with hand-computable components.

#include "TestPhases.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/phases/PhaseTypes.h"
#include "velta/streams/StreamOne.h"
#include "velta/streams/StreamTypes.h"

#include <memory>
#include <string>

namespace streamtest {

using namespace phasetest;

// The library's stream types and the phase types they embed (once).
inline void registerStreamTypes() {
  Velta::Streams::registerStreamTypes();
  Velta::Phases::registerPhaseTypes();
}

// A LinearComponent with critical constants of its own, for the equations
// of state.
class CriticalComponent : public LinearComponent {
public:
  CriticalComponent(const std::string &name, const PureData &data, double Tc, double Pc,
                    double omega)
      : LinearComponent(name, data), Tc_(Tc, "K"), Pc_(Pc, "Pa"), omega_(omega) {}
  const Value &Tc() const override { return Tc_; }
  const Value &Pc() const override { return Pc_; }
  const Value &omega() const override { return omega_; }

private:
  Value Tc_, Pc_, omega_;
};

// Methane-like (Tc 190.6 K, Pc 45.99 bar, omega 0.011) and propane-like
// (369.8 K, 42.48 bar, 0.152) components with the routes of LinearComponent.
inline void useMethanePropane() {
  components.clear();
  PureData methane;
  methane.mw = 16.04;
  PureData propane;
  propane.mw = 44.1;
  propane.cpv = 75000.0;
  components.add(new CriticalComponent("Methane", methane, 190.6, 45.99e5, 0.011));
  components.add(new CriticalComponent("Propane", propane, 369.8, 42.48e5, 0.152));
}

// A solid component (for the routing of the simple streams).
class SolidComponent : public CriticalComponent {
public:
  using CriticalComponent::CriticalComponent;
  bool isSolid() const override { return true; }
};

// A stream of a registered type, by name.
template <class S = Stream>
std::unique_ptr<S> makeStream(const std::string &type, const std::string &tag = "S01") {
  registerStreamTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create(type, Defaults(tag, "test stream"), 0, nullptr, nullptr, nullptr);
  return std::unique_ptr<S>(dynamic_cast<S *>(node.release()));
}

inline std::unique_ptr<StreamOne> makeStreamOne(const std::string &phaseType,
                                                const std::string &tag = "S01") {
  registerStreamTypes();
  Defaults options(tag, "test stream");
  options.setString("embeddedTypePhase", phaseType);
  std::unique_ptr<Node> node = NodeFactory().create("StreamOne", options, 0, nullptr, nullptr,
                                                    nullptr);
  return std::unique_ptr<StreamOne>(dynamic_cast<StreamOne *>(node.release()));
}

// Sets the stream's total flow (kmol/s) and mole fractions, and T and P.
inline void setFeed(Stream &stream, const std::vector<double> &x, double T, double P,
                    double ndot = 1.0) {
  auto &total = dynamic_cast<Phase::MassMolar &>(*stream.Tphase);
  setComposition(total, x, ndot);
  stream.T = Value(T, "K");
  stream.P = Value(P, "Pa");
}

} // namespace streamtest
