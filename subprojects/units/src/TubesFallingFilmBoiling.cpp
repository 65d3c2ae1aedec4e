#include "velta/units/TubesFallingFilmBoiling.h"

#include "velta/core/MyCast.h"
#include "velta/core/ValueHelpers.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/units/HeatTransferCorrelations.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::PhaseType;

TubesFallingFilmBoiling::TubesFallingFilmBoiling(Defaults defaults, int id,
                                                 Persistency *persistency, Node *parent,
                                                 Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      ShellAndTube(defaults, id, persistency, parent, root),
      Re_L1("Re_L1", "Terminal Reynolds number of the boiling film", Value(1.0), nullptr),
      Pr_L1("Pr_L1", "Terminal Prandtl number of the boiling film", Value(1.0), nullptr),
      Ky_L1("Ky_L1", "Kunz-Yerazunis diagram reading", Value(1.0), nullptr),
      Re_V1("Re_V1", "Reynolds number based on vapor only flow and physical properties",
            Value(1.0), nullptr),
      deltaP_A1("deltaP_A1", "Acceleration pressure drop", 0.0, "Pa", nullptr),
      deltaP_V1("deltaP_V1", "Vapor-phase pressure drop", 0.0, "Pa", nullptr),
      deltaP_1("deltaP_1", "Total pressure drop", 0.0, "Pa", nullptr),
      slip("slip", "ratio of the average vapor and liquid velocities", Value(1.0), nullptr) {
  static const char *const name = "TubesFallingFilmBoiling::TubesFallingFilmBoiling";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  for (Quantity *q : {&Re_L1, &Pr_L1, &Ky_L1, &Re_V1, &deltaP_A1, &deltaP_V1, &deltaP_1, &slip})
    addVariable(*q);
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

TubesFallingFilmBoiling::~TubesFallingFilmBoiling() = default;

void TubesFallingFilmBoiling::setup() {
  U1.unSetInput();
  for (Quantity *q : {&U1, &Re_L1, &Pr_L1, &Ky_L1, &deltaP_A1, &deltaP_V1, &deltaP_1, &slip})
    q->setOutput();
}

void TubesFallingFilmBoiling::preCalculate() {
  static const char *const name = "TubesFallingFilmBoiling::preCalculate";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  constexpr double pi = 3.141592653589793;
  Stream &in = in1();
  Stream &out = out1();
  const char *filmTag = out.hasChild("Lphase")   ? "Lphase"
                        : out.hasChild("Xphase") ? "Xphase"
                                                 : nullptr;
  if (!filmTag)
    throw ErrorBrowsing(name, fullTag().c_str(), type().c_str(),
                        "Lphase or Xphase required in 1st outlet stream");
  auto *film = my_cast<Phase::MassMolarProperties *>(&out.at(filmTag), name);
  if (film->phaseType() != static_cast<int>(PhaseType::liquid))
    throw ErrorBrowsing(name, fullTag().c_str(), type().c_str(),
                        "liquid phase required in 1st outlet stream");
  const Value mu = film->mu(out.P, out.T);
  const Value k = film->kappa(out.P, out.T);
  VELTA_LOG(verbosity(), 2, name,
            "mu_L1 = " << mu << " k_L1 = " << k << " cp_L1 = " << film->cp);
  // The film wets the inner perimeter of every tube.
  Re_L1 = 4.0 * film->mdot / (pi * N * di * mu);
  Pr_L1 = film->cp * mu / k;
  Ky_L1 = Value(HeatTransferCorrelations::kunzYerazunis(Re_L1.value(), Pr_L1.value()));
  if (Ky_L1.value() == 0.0)
    setError("Kunz-Yerazunis correlation out-of-range");
  const Value g(9.806, "m/s2");
  const Value &rhoL = film->rho;
  U1 = Ky_L1 * curt(rhoL * rhoL * g * k * k * k / (mu * mu));

  auto *vIn = my_cast<Phase::MassMolarProperties *>(&in.at("Vphase"), name);
  auto *vOut = my_cast<Phase::MassMolarProperties *>(&out.at("Vphase"), name);
  const Value &mIn = vIn->mdot;
  const Value &mOut = vOut->mdot;
  const Value tiny(1e-5, "kg/s");
  if (mOut < tiny) {
    deltaP_A1 = Value(0.0, "Pa");
    deltaP_V1 = Value(0.0, "Pa");
  } else {
    const Value fluxOut = mOut * mOut / vOut->rho;
    const Value fluxIn = mIn * mIn / vIn->rho;
    // The change of the vapour's momentum flux G^2 / rho.
    deltaP_A1 = ((mIn < tiny) ? fluxOut : fluxOut - fluxIn) / (At * At);
    const Value muV = vOut->mu(out.P, out.T);
    Re_V1 = ((mIn + mOut) / 2.0) * di / (muV * At);
    const Value fV = frictionFactor(Re_V1, ed);
    deltaP_V1 = fV * (L / di) * (fluxIn + fluxOut) / (At * At) / 4.0;
  }
  deltaP_1 = deltaP_V1 + deltaP_A1;
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}
