#include "ModelTestTypes.h"

#include "velta/persistency/NodeFactory.h"

#include <climits>

ModelTestModel::ModelTestModel(int category, Defaults defaults, int id, Persistency *persistency,
                               Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root), category_(category) {}

ModelTestPhase::ModelTestPhase(Defaults defaults, int id, Persistency *persistency, Node *parent,
                               Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(1, defaults, id, persistency, parent, root),
      T("T", "Temperature", 350.0, "K", this), mdot("mdot", "Mass flow", 1.5, "kg/s", this) {
  setType("ModelTestPhase");
  addVariable(T);
  addVariable(mdot);
  addComponentVector(mdotcomps, "mdotcomps", "Mass flow", Value(0.0, "kg/s"));
  retrieveIntegersAndStrings(persistency);
}

StreamModelTest::StreamModelTest(Defaults defaults, int id, Persistency *persistency, Node *parent,
                                 Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(2, defaults, id, persistency, parent, root),
      P("P", "Pressure", 101325.0, "Pa", this), T("T", "Temperature", 298.15, "K", this) {
  setType("StreamModelTest");
  addVariable(P);
  addVariable(T);
  retrieveIntegersAndStrings(persistency);
  if (persistency)
    return;
  addChild("ModelTestPhase", Defaults("Tphase", "Total phase"));
  addChild("ModelTestPhase", Defaults("Vphase", "Vapor phase"));
}

ReactionModelTest::ReactionModelTest(Defaults defaults, int id, Persistency *persistency,
                                     Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(5, defaults, id, persistency, parent, root),
      conversion("conversion", "Conversion", Value(0.5), this) {
  setType("ReactionModelTest");
  addVariable(conversion);
  retrieveIntegersAndStrings(persistency);
}

ModelTestUnit::ModelTestUnit(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(3, defaults, id, persistency, parent, root),
      nReactions("nReactions", "Number of reactions",
                 retrieveInteger(defaults, id, persistency, "nReactions", -1, 10, 0), this),
      option("option", "Pressure option", retrieveString(defaults, id, persistency, "option", "D"),
             this) {
  setType("ModelTestUnit");
  addVariable(nReactions);
  addVariable(option);
  retrieveIntegersAndStrings(persistency);
  if (!persistency) {
    addChild("StreamModelTest", Defaults("S01", "Feed stream"));
    addChild("StreamModelTest", Defaults("S02", "Product stream"));
  }
  addSubObjects(-1, defaults, persistency, nReactions.value(), "embeddedTypeReactions", "Reaction",
                "reactions", "Reaction", reactions);
}

ModelTestCase::ModelTestCase(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(4, defaults, id, persistency, parent, root) {
  setType("ModelTestCase");
  retrieveIntegersAndStrings(persistency);
  if (!persistency)
    addChild("ModelTestUnit", defaults.relay("U1", "Heater unit"));
}

ModelTestLeaf::ModelTestLeaf(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root)
    : Object(defaults, id, persistency, parent, root),
      ModelTestModel(defaults.hasInteger("category") ? defaults.getInteger("category") : 3,
                     defaults, id, persistency, parent, root) {
  setType("ModelTestLeaf");
}

void registerModelTestTypes() {
  NodeFactory factory;
  if (factory.isRegistered("ModelTestCase"))
    return;
  factory.registerType<ModelTestPhase>("ModelTestPhase", "Test phase", "phase", true, {}, {}, {},
                                       "", 100, 100);
  factory.registerType<StreamModelTest>("StreamModelTest", "Test stream", "stream", true, {}, {},
                                        {}, "", 100, 100);
  factory.registerType<ReactionModelTest>("ReactionModelTest", "Test reaction", "option", true, {},
                                          {}, {}, "", 100, 100);
  factory.registerType<ModelTestUnit>(
      "ModelTestUnit", "Test unit", "unit", true,
      {IntegerOption("nReactions", "Number of reactions", 0, -1, 10)},
      {StringOption("option", "Pressure option", "D", "")}, {}, "", 100, 100);
  factory.registerType<ModelTestCase>("ModelTestCase", "Test case", "flowsheet", true, {}, {}, {},
                                      "", 100, 100);
  factory.registerType<ModelTestLeaf>("ModelTestLeaf", "Test leaf", "unit", true, {}, {}, {}, "",
                                      100, 100);
}

std::unique_ptr<ModelTestCase> makeTestCase() {
  auto root = createModel<ModelTestCase>("ModelTestCase", Defaults("CASE", "Test case"));
  Object &unit = root->at("U1");
  unit.Q("S01.P") = Value(2e5, "Pa");
  unit.Q("S01.T") = Value(298.15, "K");
  unit.Q("S02.P") = Value(1234567.0, "Pa");
  unit.Q("S02.T") = Value(310.123456, "K");
  unit.Q("S02:Tphase.T") = Value(310.123456, "K");
  unit.Q("S02:Vphase.mdot") = Value(0.000123456789, "kg/s");
  return root;
}
