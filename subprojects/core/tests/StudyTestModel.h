#pragma once
// A small registered model for the sensitivity and homotopy runs:
// "StudyTestModel" with a temperature T (K), a pressure P (Pa), the result
// h = 10 * T / K + P / kPa (dimensionless) and the integer "NITER", which
// counts the calculations of the object. A calculation with T above
// "limit" files the error "T above limit"; one with T above "throwAbove"
// throws ErrorRunTime "T beyond reach" instead.

#include "velta/core/Model.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"

class StudyTestModel : public Model {
public:
  StudyTestModel(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);

  int category() const override { return 4; }
  void calculate(int) override;
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  Quantity T;
  Quantity P;
  Quantity h;
  Quantity limit;
  Quantity throwAbove;
  Integer NITER;
};

// Registers "StudyTestModel" once.
void registerStudyTestModel();
