#pragma once
// The rating of a shell-and-tube exchanger: the bundle and shell geometry,
// the material of the tubes and the two film coefficients, U1 of the tube
// side (side 1, the process side) and U2 of the shell side (side 2, the
// utility side), with their fouling resistances.
//
// The shell-side and tube-side models derive from it virtually, so that a
// rating made of one model of each side holds one geometry. Such a rating's
// preCalculate runs calculateGeometry, the shell side, the tube side and
// last ShellAndTube::preCalculate, which combines U1, U2, the fouling and
// the tube wall into U.
//
// The streams of both sides are those of the heat transfer unit that owns
// the rating: in1/out1 its process side, in2/out2 its own inlet and outlet.

#include "velta/units/RatingHeat.h"

class HeatTransfer;
class Stream;

class ShellAndTube : public RatingHeat {
public:
  static const char *const typeName;

  ShellAndTube(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~ShellAndTube() override;

  // --- Model: N, m, L, de, s, U1, U2, D, b, c, ns, d1, d2 inputs; the
  // derived geometry, km, Rm, A and U outputs.
  void setup() override;
  // km and Rm at the mean material temperature, then U.
  void preCalculate() override;

  // di, At (one pass), A (on the mean of both diameters), theta, ed. An
  // elevation beyond the tube length records an error and is taken as the
  // length.
  void calculateGeometry();

  // The owning heat transfer unit (ErrorDynamicCast naming the caller when
  // the parent is none).
  HeatTransfer &owner(const char *caller) const;
  Stream &in1() const;
  Stream &out1() const;
  Stream &in2() const;
  Stream &out2() const;

  Quantity N;
  Quantity m;
  Quantity L;
  Quantity de;
  Quantity s;
  Quantity R1f;
  Quantity R2f;
  Quantity U1;
  Quantity U2;
  Quantity h;
  Quantity eps;
  Quantity D;
  Quantity b;
  Quantity c;
  Quantity ns;
  Quantity d1;
  Quantity d2;
  Quantity di;
  Quantity At;
  Quantity km;
  Quantity Rm;
  Quantity theta;
  Quantity ed;
};
