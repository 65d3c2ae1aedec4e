#pragma once
// The isentropic compressor (type "Compressor"), an expander when the
// pressure falls. It mixes its inlets into its one outlet, sets the outlet
// pressure by the pressure option ("P" pressure given, "D" pressure drop
// given), finds the isentropic outlet state with a PS flash of a private
// stream, turns the isentropic fluid power into fluid, shaft and
// electrical power through the efficiencies theta, etaM and etaE, and
// flashes the outlet (PH) at the inlet enthalpy plus the fluid power.
//
// Below mode 2 it solves both flashes itself; from mode 2 on it only
// writes their residuals, which its own equation system (the outlet's
// flash system followed by the isentropic one) hands to the flowsheet.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/units/Connectivity.h"
#include "velta/units/ElectricalConsumption.h"

#include <memory>

namespace Phase {
class MassMolarProperties;
}

class Compressor : public Connectivity, public ElectricalConsumption, public ObjectiveNleAdVertex {
public:
  Compressor(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~Compressor() override;

  // --- equation system: the outlet's flash, then the isentropic flash.
  void calculateResidualsLocal() override;
  void setup_of() override;

  // --- Model
  void calculate(int level) override { go(1, level); }
  void setup() override {}
  // Binds the outlet and gives the isentropic stream a starting state.
  void initializeNonPersistents() override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- VertexBase
  // Without an outlet, or with a pressure option other than "P" and "D",
  // an error is recorded and nothing is calculated.
  void go(int mode, int level) override;
  Value energyBalance() override { return duty; }
  // Outlets on the south side, inlets on the north side of the icon.
  int locationFromPort(std::string port) override;

  // The private stream of the isentropic state (null before the set-up).
  Stream *isentropic() const { return isentropic_.get(); }

  static const char *const typeName;

  Quantity T;
  Quantity P;
  Quantity deltaP;
  Quantity alfa;
  Quantity duty;
  Quantity deltas;
  Quantity flowcoefficient;
  Quantity deltaPMax;
  Quantity beta;
  Quantity Tavg;
  Integer NITER;
  String option;
  Quantity cr;
  Quantity theta;
  Quantity Wfis;
  Quantity Wf;
  Quantity Wm;
  Quantity etaM;
  Quantity etaE;
  Quantity Tis;

private:
  // Binds the outlet stream and creates the isentropic stream once.
  void bind_(const char *caller);

  Stream *myout_ = nullptr;
  Phase::MassMolarProperties *outTotal_ = nullptr;
  std::unique_ptr<Stream> isentropic_;
  Phase::MassMolarProperties *isTotal_ = nullptr;
};
