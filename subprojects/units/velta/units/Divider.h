#pragma once
// The divider (type "Divider"): one inlet split into nOutlets outlets by
// the fractions outSplit; the last outlet takes the remainder of the
// others, and the fractions of the others are scaled down when they add up
// to more than one. Each outlet is left prepared for its own flash.

#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/units/SimpleUnit.h"

#include <vector>

class Divider : public SimpleUnit {
public:
  Divider(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Divider() override;

  void go(int mode, int level) override;
  // The fractions the outlets receive (see the class comment).
  std::vector<Value> effectiveFractions() const;

  static const char *const typeName;

  Integer nOutlets;
  std::vector<Quantity> outSplit;
};
