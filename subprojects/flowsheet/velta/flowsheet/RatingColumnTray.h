#pragma once
// The tray layout of a column rating (spacing, weir, skirt clearance, holes
// on an equilateral-triangle pitch) and the tray geometry derived from it.
// Concrete tray ratings call calculateGeometry first in their calculation.

#include "velta/flowsheet/RatingColumn.h"

class RatingColumnTray : public RatingColumn {
public:
  RatingColumnTray(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~RatingColumnTray() override;

  // Ac, theta, Ad, Aac, lL, phi and Ah from the current inputs, with a
  // warning for every layout value outside the usual design ranges (the
  // values are used all the same; a weir longer than the diameter gives NaN).
  void calculateGeometry();

  Quantity H;
  Quantity lw;
  Quantity hw;
  Quantity hcl;
  Quantity d;
  Quantity p;
  Quantity theta;
  Quantity Ad;
  Quantity Ah;
  Quantity Aac;
  Quantity lL;
  Quantity phi;
};
