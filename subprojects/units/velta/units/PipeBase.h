#pragma once
// The geometry of a straight pipe: external diameter de, wall thickness s,
// length L (along the pipe), elevation h of the outlet over the inlet
// (positive ascending) and wall roughness eps, from which
// calculateGeometry derives the internal diameter di, the cross-section At,
// the inclination theta = asin(h / L), the relative roughness ed = eps / di
// and the volume V.
//
// An abstract part of the pipe unit: the most derived class builds the
// Model base and supplies the rest of the Model operations.

#include "velta/core/Model.h"
#include "velta/persistency/Quantity.h"

class PipeBase : public virtual Model {
public:
  explicit PipeBase(Defaults defaults);
  ~PipeBase() override;

  // de, s, L and h are inputs; di, At, theta, ed and V outputs.
  void setup() override;
  // An elevation larger than the length, or a length that is not positive,
  // throws ErrorRunTime: no straight pipe has that inclination.
  void calculateGeometry();

  Quantity de;
  Quantity s;
  Quantity L;
  Quantity h;
  Quantity eps;
  Quantity di;
  Quantity At;
  Quantity theta;
  Quantity ed;
  Quantity V;
};
