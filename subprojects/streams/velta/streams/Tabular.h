#pragma once
// The mix-in of the tabular streams: one constant, user-given component
// volatility (K-value) per component, stored with the case as the
// quantities "kVL[i]".

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"

#include <vector>

class Tabular : public virtual Model {
public:
  Tabular(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Tabular() override;

  std::vector<Quantity> kVL;
};
