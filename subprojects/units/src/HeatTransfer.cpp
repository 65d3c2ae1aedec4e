#include "velta/units/HeatTransfer.h"

#include "velta/core/ValueHelpers.h"
#include "velta/streams/Stream.h"
#include "velta/units/RatingHeat.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <climits>

const char *const HeatTransfer::typeName = "HeatTransfer";

HeatTransfer::HeatTransfer(Defaults defaults, int id, Persistency *persistency, Node *parent,
                           Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      FlashDrum(defaults, id, persistency, parent, root),
      eta("eta", "Heat transfer efficiency process duty divided by utility duty", Value(1.0),
          nullptr),
      T1("T1", "Temperature of outlet for first side", 298.15, "K", nullptr),
      T2("T2", "Temperature of outlet for second side", 298.15, "K", nullptr),
      duty1("duty1", "First side duty", 0.0, "W", nullptr),
      duty2("duty2", "Second side duty", 0.0, "W", nullptr),
      heat_losses("heat_losses", "Heat losses to environment dutyhot minus dutycold", 0.0, "W",
                  nullptr),
      deltaT1("deltaT1", "Temperature difference for first side positive if cooling", 0.0, "K",
              nullptr),
      deltaT2("deltaT2", "Temperature difference for second side positive if cooling", 0.0, "K",
              nullptr),
      MTD("MTD", "Mean temperature difference", 0.0, "K", nullptr),
      approach1("approach1",
                "Temperature approach at exit of first side positive if second side is hotter",
                0.0, "K", nullptr),
      approach2("approach2",
                "Temperature approach at exit of second side positive if second side is hotter",
                0.0, "K", nullptr),
      factor("factor", "Factor to multiply the inlet feed so that the heat balance holds",
             Value(1.0), nullptr),
      processSide("processSide", "Full path to the process side FlashDrum unit",
                  defaults.getString("processSide"), nullptr),
      flowoption1("flowoption1", "Flow Direction option first side", "forward", nullptr),
      flowoption2("flowoption2", "Flow Direction option second side", "backward", nullptr),
      MTDoption("MTDoption", "MTD calculation mode", "LmtdClipped", nullptr),
      nRatings("nRatings", "Number of RatingHeat subobjects", 0, nullptr) {
  static const char *const name = "HeatTransfer::HeatTransfer";
  VELTA_TRACE_BEGIN
  setType(typeName);
  nRatings = retrieveInteger(defaults, id, persistency, "nRatings", -1, INT_MAX, 0);
  for (Quantity *q : {&eta, &T1, &T2, &duty1, &duty2, &heat_losses, &deltaT1, &deltaT2, &MTD,
                      &approach1, &approach2, &factor})
    addVariable(*q);
  for (String *s : {&processSide, &flowoption1, &flowoption2, &MTDoption})
    addVariable(*s);
  addVariable(nRatings);
  addVector(embeddedTypeRatings, "embeddedTypeRatings", "type of the embedded rating",
            static_cast<unsigned>(nRatings.value()), " ");
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  addSubObjects<RatingHeat>(0, defaults, persistency, nRatings.value(), "embeddedTypeRatings",
                            "RatingHeat", "ratings", "embedded heat-exchanger rating", ratings);
  // One inlet: a second one is refused when it is attached.
  maxNIn = 1;
  VELTA_TRACE_END(name)
}

HeatTransfer::~HeatTransfer() = default;

void HeatTransfer::setup() {
  static const char *const name = "HeatTransfer::setup";
  VELTA_TRACE_BEGIN
  // The flash drum's set-up binds the outlet and attaches the reactions.
  FlashDrum::setup();
  eta.setInput();
  for (Quantity *q : {&duty1, &duty2, &T1, &T2, &heat_losses, &deltaT1, &deltaT2, &approach1,
                      &approach2, &MTD, &factor})
    q->setOutput();
  for (RatingHeat *rating : ratings)
    rating->setup();
  VELTA_TRACE_END(name)
}

void HeatTransfer::bindStreams_(const char *caller) {
  Node *container = parentNode();
  if (!container)
    throw ErrorRunTime(caller, ("no flowsheet holds " + tag() + " to find the process side " +
                                processSide.value())
                                   .c_str());
  Object &found = my_cast<Object *>(container, caller)->at(processSide.value());
  process_ = my_cast<FlashDrumBase *>(&found, caller);
  in2_ = inletStream(0, caller);
  out2_ = myout_;
  auto *ports = dynamic_cast<Connectivity *>(process_);
  if (!ports || ports->nIn.value() != 1)
    throw ErrorDynamicCast(caller, found.type().c_str(), "Many*", found.tag().c_str());
  in1_ = my_cast<Stream *>(ports->inlet(0), caller);
  out1_ = process_->myout();
  if (!out1_)
    throw ErrorRunTime(caller, ("the process side " + found.tag() + " has no outlet stream yet")
                                   .c_str());
}

void HeatTransfer::go(int mode, int level) {
  static const char *const name = "HeatTransfer::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  FlashDrum::go(mode, level);
  // Without its inlet the drum has recorded the error and done nothing.
  if (nIn.value() != 1)
    return;
  bindStreams_(name);
  duty1 = process_->duty;
  duty2 = -duty1 / eta;
  const Value &Tin1 = in1_->T;
  const Value &Tin2 = in2_->T;
  factor = Tin2 > Tin1 ? fabs(duty2 / duty) : fabs(duty1 / duty);
  T1 = out1_->T;
  T2 = out2_->T;
  heat_losses = duty2 + duty1;
  deltaT1 = Tin1 - T1;
  deltaT2 = Tin2 - T2;
  calculateApproaches_();
  calculateAverage(MTDoption.value(), approach1, approach2, MTD);
  for (RatingHeat *rating : ratings) {
    rating->preCalculate();
    rating->rate(duty2, MTD);
    rating->calculate(0);
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  incrementCalculations();
  VELTA_TRACE_END(name)
}

void HeatTransfer::calculateApproaches_() {
  const std::string &first = flowoption1.value();
  const std::string &second = flowoption2.value();
  const auto straight = [](const std::string &option) {
    return option == "forward" || option == "backward";
  };
  const Value &Tin1 = in1_->T;
  const Value &Tin2 = in2_->T;
  if (straight(first) && straight(second)) {
    if (first != second) { // counter-current
      approach1 = Tin2 - T1;
      approach2 = T2 - Tin1;
    } else { // co-current
      approach1 = T2 - T1;
      approach2 = Tin2 - Tin1;
    }
  } else if (first == "mixed" && straight(second)) {
    approach1 = T2 - T1;
    approach2 = Tin2 - T1;
  } else if (straight(first) && second == "mixed") {
    approach1 = T2 - T1;
    approach2 = T2 - T1;
  } else if (first == "mixed" && second == "mixed") {
    approach1 = T2 - T1;
    approach2 = approach1;
  } else {
    throw ErrorBrowsing("HeatTransfer::calculateApproaches_", tag().c_str(),
                        flowoption2.description().c_str(), second.c_str());
  }
}
