#include "NodeTestTypes.h"

#include "velta/persistency/NodeFactory.h"

#include <climits>

TestPhase::TestPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      typeP("typeP", "Phase type", retrieveString(defaults, id, persistency, "typeP", "liquid"),
            this),
      mdot("mdot", "Mass flow", 1.5, "kg/s", this),
      mdotcomps("mdotcomps", "Component mass flows", 3, Value(0.5, "kg/s"), this),
      k("k", "Coefficients", 2, 3, Value(0.0), this), counts("counts", "Counts", 2, 7, this),
      names("names", "Names", 2, "a", this) {
  setType("TestPhase");
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      k(i, j) = 10.0 * i + j;
  addVariable(typeP);
  addVariable(mdot);
  addVariable(mdotcomps);
  addVariable(k);
  addVariable(counts);
  addVariable(names);
  retrieveIntegersAndStrings(persistency);
}

TestUnit::TestUnit(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      nStages("nStages", "Number of stages",
              retrieveInteger(defaults, id, persistency, "nStages", 0, 10, 2), this),
      T("T", "Temperature", 300.0, "K", this) {
  setType("TestUnit");
  addVariable(nStages);
  addVariable(T);
  addVector(stageT, "stageT", "Stage temperature", static_cast<unsigned>(nStages.value()),
            Value(350.0, "K"));
  retrieveIntegersAndStrings(persistency);
  if (persistency)
    return;
  for (int i = 0; i < nStages.value(); ++i) {
    Defaults options("Sphase[" + std::to_string(i) + "]", "Stage phase");
    addChild(i == 0 ? "TestPhase<vapor>" : "TestPhase", options);
  }
}

TestFlowsheet::TestFlowsheet(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      nUnits("nUnits", "Number of units",
             retrieveInteger(defaults, id, persistency, "nUnits", 0, 10, 2), this),
      title("title", "Title", retrieveString(defaults, id, persistency, "title", "untitled"),
            this) {
  setType("TestFlowsheet");
  addVariable(nUnits);
  addVariable(title);
  retrieveIntegersAndStrings(persistency);
  if (persistency)
    return;
  for (int i = 1; i <= nUnits.value(); ++i)
    addChild("TestUnit", defaults.subset("U" + std::to_string(i) + ".")
                             .relay("U" + std::to_string(i), "Unit " + std::to_string(i)));
}

namespace {

void registerTypes() {
  NodeFactory factory;
  factory.registerType<TestPhase>("TestPhase", "Phase of the tests", "phase", true, {},
                                  {StringOption("typeP", "Phase type", "liquid", "PhaseType")}, {},
                                  "", 100, 100);
  factory.registerType<TestUnit>("TestUnit", "Unit of the tests", "unit", true,
                                 {IntegerOption("nStages", "Number of stages", 2, 0, 10)}, {},
                                 {QuantityDescriptor("T", "Temperature", 300, "K")}, "TestUnit", 60,
                                 40);
  factory.registerType<TestFlowsheet>("TestFlowsheet", "Flowsheet of the tests", "flowsheet", true,
                                      {IntegerOption("nUnits", "Number of units", 2, 0, 10)},
                                      {StringOption("title", "Title", "untitled", "")}, {}, "", 200,
                                      100);
  factory.registerAlias("TestPhase", "TestPhase<vapor>", "Vapour phase of the tests",
                        Defaults().setString("typeP", "vapor"), "", 100, 100);
}

} // namespace

void registerTestTypes() {
  static const bool registered = (registerTypes(), true);
  (void)registered;
}
