#pragma once
// Registered model types for the tests of the model base and its outputs.
//
//   ModelTestCase     (flowsheet)  creates U1 with its own options
//     U1              ModelTestUnit (unit)  options: nReactions (default 0),
//                                   embeddedTypeReactions[i], option (S)
//       S01, S02      StreamModelTest (stream)  quantities P, T
//         Tphase, Vphase  ModelTestPhase (phase)  quantities T, mdot and
//                     the per-component vector mdotcomps
//       reactions[i]  ReactionModelTest (option)
//   ModelTestLeaf     a model without children whose category is its
//                     integer option "category" (default 3)
//
// Fresh objects build their children; objects read back from a store get
// them from the store.

#include "velta/core/Model.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

#include <memory>
#include <string>
#include <vector>

class ModelTestModel : public Model {
public:
  ModelTestModel(int category, Defaults defaults, int id, Persistency *persistency, Node *parent,
                 Node *root);

  int category() const override { return category_; }
  void calculate(int) override {}
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  // Stands for a description read back from a store, where no character
  // check applies.
  void setStoredDescription(std::string description) {
    setDescriptionUnchecked(std::move(description));
  }

private:
  int category_;
};

class ModelTestPhase : public ModelTestModel {
public:
  ModelTestPhase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Quantity T;
  Quantity mdot;
  std::vector<Quantity> mdotcomps;
};

class StreamModelTest : public ModelTestModel {
public:
  StreamModelTest(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Quantity P;
  Quantity T;
};

class ReactionModelTest : public ModelTestModel {
public:
  ReactionModelTest(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Quantity conversion;
};

class ModelTestUnit : public ModelTestModel {
public:
  ModelTestUnit(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  Integer nReactions;
  String option;
  std::vector<ReactionModelTest *> reactions;
};

class ModelTestCase : public ModelTestModel {
public:
  ModelTestCase(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
};

class ModelTestLeaf : public ModelTestModel {
public:
  ModelTestLeaf(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
};

// Registers the types once.
void registerModelTestTypes();

// A fresh model of a registered type, as the front end creates a root.
template <class T> std::unique_ptr<T> createModel(const std::string &type, Defaults defaults) {
  registerModelTestTypes();
  std::unique_ptr<Node> node =
      NodeFactory().create(type, std::move(defaults), 0, nullptr, nullptr, nullptr);
  T *model = my_cast<T *>(node.get(), "createModel");
  node.release();
  return std::unique_ptr<T>(model);
}

// The case of the output tests: CASE > U1 > S01, S02 > Tphase, Vphase, with
// distinct values in the streams and in S02's vapour phase.
std::unique_ptr<ModelTestCase> makeTestCase();
