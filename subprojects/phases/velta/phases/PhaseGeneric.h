#pragma once
// The phase type of one property model T: a Phase::Generic that creates and
// owns a fresh T, with the stored string option "typeP" ("vapor", "liquid"
// or "solid"; "liquid" when the option is not given) that fixes the phase
// type of the phase and of its model once, at construction. Everything
// else (balances, properties, outputs) is Phase::Generic's.
//
// Objects are made by the type factory from the registered names
// (PhaseTypes.h) or by clone, which builds a PhaseGeneric<T> with a fresh
// model from the object's option set and copies the quantity values.

#include "velta/phases/Generic.h"
#include "velta/phases/PhaseModelNames.h"
#include "velta/persistency/String.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/components/ListComponents.h"

#include <memory>
#include <string>

template <class T> class PhaseGeneric : public Phase::Generic {
public:
  PhaseGeneric(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        Phase::Generic(defaults, id, persistency, parent, root, std::make_unique<T>()),
        typeP("typeP", "the phase type", "liquid", nullptr) {
    const std::string name = logName("PhaseGeneric");
    setType(Phase::ModelNames<T>::type);
    VELTA_LOG(verbosity(), 1, name.c_str(), "Entered");
    typeP = retrieveString(defaults, id, persistency, "typeP", "liquid");
    addVariable(typeP);
    setPhaseType(Velta::Utility::phaseTypeIndex(typeP.value()));
    VELTA_LOG(verbosity(), 2, name.c_str(),
              "Done with ptype = " << Velta::Utility::phaseTypeName(phaseType()));
  }

  ~PhaseGeneric() override {
    const std::string name = logName("~PhaseGeneric");
    VELTA_LOG(verbosity(), 1, name.c_str(), "Entered with " << id());
    VELTA_LOG(verbosity(), 2, name.c_str(), "Done");
  }

  // A PhaseGeneric<T> (also for a derived phase) with a fresh model, this
  // phase's options ("typeP" among them) and its quantity values.
  std::unique_ptr<Node> clone() const override {
    auto copy = std::make_unique<PhaseGeneric<T>>(defaults(), 0, nullptr, nullptr, nullptr);
    copy->Object::operator=(static_cast<const Node &>(*this));
    copy->initializeMassVariables();
    return copy;
  }

  // Starts the model's transient state from the stored x, rho and AMW.
  void initializeNonPersistents() override {
    if (NCOMPONENTS <= 0)
      throw ErrorRunTime(logName("initializeNonPersistents").c_str(), "No components defined");
    model().initializeNonPersistents(xView(), rho, AMW);
  }

  String typeP;

protected:
  static std::string logName(const char *operation) {
    return Phase::qualifiedName("PhaseGeneric", Phase::ModelNames<T>::model, operation);
  }
};
