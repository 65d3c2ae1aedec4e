#pragma once
// The base of every heat-exchanger rating that a heat transfer unit embeds
// (a model of category "option", owned by that unit): the overall
// coefficient U, the correction factor Ft of the mean temperature
// difference, the available area A, and the area Areq that a duty needs at
// a given mean temperature difference, with their ratio excessArea.
//
// Call order per calculation of the owning unit: preCalculate (a derived
// rating updates its geometry and U), rate (duty, MTD), calculate.
//
// The shell-and-tube ratings derive from it; this base computes nothing in
// preCalculate.

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"

class RatingHeat : public virtual Model {
public:
  static const char *const typeName;

  RatingHeat(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~RatingHeat() override;

  // --- Model
  int category() const override { return 5; }
  // excessArea := A / Areq.
  void calculate(int level) override;
  // U and A are inputs, Areq and excessArea outputs.
  void setup() override;
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }

  virtual void preCalculate() {}
  // Areq := |duty / (U Ft MTD)|.
  void rate(const Value &duty, const Value &MTD);

  Quantity U;
  Quantity Ft;
  Quantity A;
  Quantity Areq;
  Quantity excessArea;
};
