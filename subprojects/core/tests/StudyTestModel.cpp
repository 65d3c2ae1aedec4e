#include "StudyTestModel.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Error.h"

StudyTestModel::StudyTestModel(Defaults defaults, int id, Persistency *persistency, Node *parent,
                               Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root), T("T", "Temperature", 300.0, "K", this),
      P("P", "Pressure", 101325.0, "Pa", this), h("h", "Result", Value(0.0), this),
      limit("limit", "Highest temperature without error", 1000.0, "K", this),
      throwAbove("throwAbove", "Highest temperature without exception", 2000.0, "K", this),
      NITER("NITER", "Calculations", 0, this) {
  setType("StudyTestModel");
  addVariable(T);
  addVariable(P);
  addVariable(h);
  addVariable(limit);
  addVariable(throwAbove);
  addVariable(NITER);
  retrieveIntegersAndStrings(persistency);
}

void StudyTestModel::calculate(int) {
  if (T.value() > throwAbove.value())
    throw ErrorRunTime("StudyTestModel::calculate", "T beyond reach");
  NITER = NITER.value() + 1;
  h = Value(10.0 * T.value() + P.value() / 1000.0);
  if (T.value() > limit.value())
    reportError("T above limit");
}

void registerStudyTestModel() {
  NodeFactory factory;
  if (factory.isRegistered("StudyTestModel"))
    return;
  factory.registerType<StudyTestModel>("StudyTestModel", "Test model of studies", "flowsheet",
                                       true, {}, {}, {}, "", 100, 100);
}
