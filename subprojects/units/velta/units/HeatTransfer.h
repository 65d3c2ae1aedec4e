#pragma once
// The utility side of a heat exchange (type "HeatTransfer") whose process
// side is another flash-based unit of the same flowsheet, named by the path
// processSide relative to the containing flowsheet ("COLD", "A:COLD").
//
// The unit is a flash drum with exactly one inlet: its inlet is flashed to
// its outlet as in any flash drum. Then it reads (never writes) the process
// side and derives, with index 1 for the process side and 2 for itself:
//   duty1 = the process side's duty, duty2 = -duty1 / eta,
//   heat_losses = duty1 + duty2, deltaT = inlet minus outlet temperature,
//   the end approaches by the flow directions (flowoption1, flowoption2),
//   their mean MTD by MTDoption, and factor, the multiple of the utility
//   feed that would close the heat balance.
// Finally every embedded rating (ratings[i], created by type name from the
// options "embeddedTypeRatings[i]") is rated against duty2 and MTD.
//
// A second inlet is refused when it is attached. The set-up attaches the
// embedded reactions as the flash drum's does.

#include "velta/units/FlashDrum.h"

#include <vector>

class RatingHeat;

class HeatTransfer : public FlashDrum {
public:
  HeatTransfer(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~HeatTransfer() override;

  // --- Model: the flash drum's set-up, the flags of the results and the
  // ratings' set-up.
  void setup() override;

  // --- VertexBase
  void go(int mode, int level) override;

  // The streams of the last calculation (null before it): process side
  // inlet and outlet, own inlet and outlet.
  Stream *in1() const { return in1_; }
  Stream *out1() const { return out1_; }
  Stream *in2() const { return in2_; }
  Stream *out2() const { return out2_; }

  static const char *const typeName;

  Quantity eta;
  Quantity T1;
  Quantity T2;
  Quantity duty1;
  Quantity duty2;
  Quantity heat_losses;
  Quantity deltaT1;
  Quantity deltaT2;
  Quantity MTD;
  Quantity approach1;
  Quantity approach2;
  Quantity factor;
  String processSide;
  String flowoption1;
  String flowoption2;
  String MTDoption;
  Integer nRatings;
  std::vector<String> embeddedTypeRatings;
  // The ratings, children of the unit, in child order.
  std::vector<RatingHeat *> ratings;

private:
  // approach1 and approach2 from the flow directions; an unsupported pair
  // throws ErrorBrowsing naming flowoption2.
  void calculateApproaches_();
  // Resolves processSide and the four streams.
  void bindStreams_(const char *caller);

  FlashDrumBase *process_ = nullptr;
  Stream *in1_ = nullptr;
  Stream *out1_ = nullptr;
  Stream *in2_ = nullptr;
  Stream *out2_ = nullptr;
};
