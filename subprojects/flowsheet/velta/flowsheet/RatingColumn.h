#pragma once
// The base of every column rating (a model of category "option", a child
// of the column it belongs to): the column diameter and safety coefficient
// given, the gross cross-section and the four load rating parameters with
// their product computed. The column points it at the section that it rates
// (target_, never stored) right after creating or restoring it.

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"

class ColumnSection;

class RatingColumn : public virtual Model {
public:
  RatingColumn(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~RatingColumn() override;

  int category() const override { return 5; }

  // The owning column sets it; the rating reads the section's end
  // properties through it.
  ColumnSection *target_ = nullptr;

  Quantity Dc;
  Quantity eta;
  Quantity Ac;
  Quantity kLm;
  Quantity kLM;
  Quantity kGm;
  Quantity kGM;
  Quantity k;

protected:
  // Rating log lines appear more readily than those of other models: entry
  // lines from verbosityGlobal + verbosity() >= -8, "Done" from -7.
  int ratingVerbosity() const { return verbosity() + 10; }
};
