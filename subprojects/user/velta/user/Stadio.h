#pragma once
// One attack or washing stage of the demonstration process (type "Stadio"):
// the solid (inlet 1, S01) is slurried with the liquid (inlet 2, S02) in the
// mixer M, reacts in the resuspension reactor R (a flash drum whose embedded
// reactions come from the options) and is filtered by F into the wet cake
// (outlet 1, S05) and the filtrate (outlet 2, S06). The stage sizes its
// candle filter from the solid fed and keeps the cake's liquid fraction at
// "hum" through F's water split.

#include "velta/flowsheet/FlowSheet.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"

class Stadio : public FlowSheet {
public:
  Stadio(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Stadio() override;

  void pre(int, int) override {}
  void post(int, int) override {}
  // The filter sizing, the filtrate splits that follow water's, and the
  // design equation of the cake's liquid fraction.
  void makeUserEquations(Position &position) override;
  // Starting filtrate splits: 0.9 for water and the soluble salts, 0.0005
  // for the other solids.
  void setup() override;

  static const char *const typeName;

  Quantity H;
  Quantity h;
  Quantity D;
  Quantity d;
  Quantity rho;
  Quantity hum;
  Quantity m;
  Quantity t;
  Quantity A;
  Quantity tauF;
  Quantity tauD;
  Quantity tauO;
  Quantity w;
  Quantity tau;
  Quantity Vk;
  Quantity Vv;
  Quantity mk;
  Quantity Qk;
  Quantity n;
  Quantity Qw;
  String stream_type;
};
