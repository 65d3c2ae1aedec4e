// Ports of a unit: appending and explicit attach, detach, the check, the
// balance over the connected streams, and the current of a driven machine.

#include "UnitTestSupport.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

using namespace unittest;

namespace {

class Ports : public ComponentsFixture {
protected:
  void SetUp() override { use(lightAndHeavy()); }
  std::unique_ptr<Stream> stream(const std::string &tag) {
    return makeStreamOne("PhaseIdeal<vapor>", tag);
  }
  // The text of the error that attaching the stream at the port throws.
  static std::string attachError(Connectivity &unit, Stream &s, std::string port) {
    try {
      unit.attach(&s, port);
    } catch (const ErrorConnectivity &e) {
      return e.message();
    }
    return "no error";
  }
  static bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(Ports, AppendingAttachNumbersThePortsInOrder) {
  auto mixer = makeUnit<Mixer>("Mixer");
  auto a = stream("A"), b = stream("B"), c = stream("C"), d = stream("D");
  std::string ports[] = {"in", "in", "in"};
  Stream *streams[] = {a.get(), b.get(), c.get()};
  for (int i = 0; i < 3; ++i)
    mixer->attach(streams[i], ports[i]);
  EXPECT_EQ(ports[0], "in1");
  EXPECT_EQ(ports[2], "in3");
  EXPECT_EQ(mixer->nIn.value(), 3);
  EXPECT_EQ(mixer->inlet(1), b.get());
  EXPECT_EQ(mixer->portFromEdge("C"), "in3");
  mixer->maxNIn = 3;
  const std::string full = attachError(*mixer, *d, "in");
  EXPECT_TRUE(contains(full, "Flowsheet connectivity error: Impossible to attach port in to "
                             "Vertex U1 of type Mixer"))
      << full;
}

TEST_F(Ports, ExplicitPortsAndTheirFaults) {
  auto mixer = makeUnit<Mixer>("Mixer");
  auto a = stream("A"), b = stream("B"), c = stream("C");
  std::string port = "in3";
  mixer->attach(a.get(), port);
  EXPECT_EQ(port, "in3");
  EXPECT_EQ(mixer->nIn.value(), 1);
  EXPECT_FALSE(mixer->inletConnected(0));
  EXPECT_TRUE(mixer->inletConnected(2));
  const struct {
    const char *port;
    const char *text;
  } faults[] = {
      {"in0", "Invalid port [-1]"},         {"in2x", "Unparseable port [2x]"},
      {"inlet", "Unparseable port [let]"},  {"in3", "Port [2]  already in use"},
      {"hotin", "Impossible to attach port hotin to Vertex U1 of type Mixer"},
  };
  for (const auto &f : faults)
    EXPECT_TRUE(contains(attachError(*mixer, *b, f.port), f.text)) << f.port;
  mixer->maxNIn = 2;
  EXPECT_TRUE(contains(attachError(*mixer, *b, "in4"), "Invalid port [3]"));
  EXPECT_EQ(mixer->nIn.value(), 1);
  mixer->maxNIn = -1;
  // An appending attach after explicit ones takes the first free slot from
  // its count on, never an occupied one.
  port = "in";
  mixer->attach(b.get(), port);
  EXPECT_EQ(port, "in2");
  port = "in";
  mixer->attach(c.get(), port);
  EXPECT_EQ(port, "in4");
  EXPECT_EQ(mixer->inlet(2), a.get());
  mixer->detach("in2");
  EXPECT_FALSE(mixer->inletConnected(1));
  EXPECT_EQ(mixer->inlet(2), a.get());
  EXPECT_THROW(mixer->detach("in2"), ErrorConnectivity);
  EXPECT_THROW(mixer->detach("in"), ErrorConnectivity);
  EXPECT_THROW(mixer->inlet(1), ErrorConnectivity);
  EXPECT_THROW(Connectivity::portInlet(0), ErrorConnectivity);
}

TEST_F(Ports, CheckThrowsForMissingRequiredInletAndWarnsOnGaps) {
  auto mixer = makeUnit<Mixer>("Mixer");
  auto a = stream("A");
  try {
    mixer->check();
    FAIL() << "no error";
  } catch (const ErrorConnectivity &e) {
    EXPECT_TRUE(contains(e.message(), "U1 required connection in1")) << e.message();
  }
  std::string port = "in1";
  mixer->attach(a.get(), port);
  auto b = stream("B");
  port = "in3";
  mixer->attach(b.get(), port);
  mixer->check();
  EXPECT_TRUE(has(mixer->warnings, "connected inlets are not sequential"));
  // A root unit gets no "only" and "unlimited" warnings.
  EXPECT_FALSE(has(mixer->warnings, "only 2 inlets connected, 1 available"));
}

TEST_F(Ports, BalanceOfTenInAndFourPlusSixOut) {
  // Mass-only streams: no enthalpy term.
  auto divider = makeUnit<Divider>("Divider");
  auto in = makeStream("StreamSimpleLiquid", "IN");
  auto out1 = makeStream("StreamSimpleLiquid", "O1");
  auto out2 = makeStream("StreamSimpleLiquid", "O2");
  const double flows[] = {10.0, 4.0, 6.0};
  Stream *streams[] = {in.get(), out1.get(), out2.get()};
  for (int i = 0; i < 3; ++i) {
    streams[i]->Tphase->mdot = Value(flows[i], "kg/s");
    streams[i]->Tphase->w[0] = Value(0.5);
    streams[i]->Tphase->w[1] = Value(0.5);
    streams[i]->Tphase->calculateX(Phase::MassBalanceMode::Mw);
  }
  std::string p = "in";
  divider->attach(in.get(), p);
  p = "out";
  divider->attach(out1.get(), p);
  p = "out";
  divider->attach(out2.get(), p);
  divider->calculateBalance();
  EXPECT_NEAR(divider->cmdot.value(), 0.0, 1e-12);
  EXPECT_NEAR(divider->mdotin.value(), 10.0, 1e-12);
  EXPECT_NEAR(divider->mdotout.value(), 10.0, 1e-12);
  EXPECT_EQ(divider->cduty.value(), 0.0);
  // A cut feed on the outlet side is left out.
  out2->cutsource = "X";
  divider->calculateBalance();
  EXPECT_NEAR(divider->cmdot.value(), 6.0, 1e-12);
}

TEST_F(Ports, CurrentOfTenKilowatts) {
  auto compressor = makeUnit<Compressor>("Compressor");
  EXPECT_EQ(compressor->We.value(), 1.0);
  EXPECT_EQ(compressor->i.value(), 0.0);
  compressor->We = Value(10.0, "kW");
  compressor->calculateElectricalConsumption();
  // 10000 / (380 * 0.9 * sqrt(3)) by hand.
  EXPECT_NEAR(compressor->i.value(), 16.88158681841011, 1e-11);
  EXPECT_EQ(compressor->Q("i").units(), Value(1.0, "A").units());
  compressor->V = Value(0.0, "V");
  compressor->calculateElectricalConsumption();
  EXPECT_NEAR(compressor->i.value(), 16.88158681841011, 1e-11);
  EXPECT_EQ(compressor->errors.value().size(), 1u);
}

} // namespace
