#include "velta/units/HtuNtu.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/core/PortTable.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/phases/PhaseTotal.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/value/Constants.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

using Velta::Utility::FlashMode;
using Velta::Utility::PhaseIndex;

const char *const HtuNtu::typeName = "HtuNtu";

namespace {

const Value &gravity() {
  static const Value g(9.806, "m/s2");
  return g;
}

struct PackingRow {
  const char *name;
  double ap, epsilon, CS, CFl, CP0, CL, CG;
};

// Random packings: specific area (1/m), porosity and the coefficients of
// the loading point, flooding point, pressure drop and liquid- and gas-side
// mass transfer.
const PackingRow packings[] = {
    {"Ceramic BerlSaddle 25", 260, 0.68, 2.454, 1.899, 1.329, 1.246, 0.387},
    {"Ceramic BerlSaddle 13", 545, 0.65, 2.42, 2.5, 1.42, 1.364, 0.232},
    {"Ceramic RaschigRing 50", 95, 0.83, 2.482, 1.547, 1.22, 1.416, 0.21},
    {"Ceramic RaschigRing 25", 190, 0.68, 2.454, 1.899, 1.329, 1.361, 0.412},
    {"Plastic PallRing 50", 111.1, 0.919, 2.816, 1.757, 0.698, 1.239, 0.368},
    {"Plastic PallRing 35", 151.1, 0.906, 2.654, 1.742, 0.927, 0.856, 0.38},
    {"Plastic PallRing 25", 225, 0.887, 2.696, 2.064, 0.865, 0.905, 0.446},
    {"Metallic PallRing 50", 112.6, 0.951, 2.725, 1.58, 0.763, 1.192, 0.41},
};

// A vector of quantities in a log line: "vector(" n ") [ e0, e1 ]".
struct VectorLog {
  const std::vector<Quantity> &elements;
};

std::ostream &operator<<(std::ostream &stream, const VectorLog &log) {
  stream << "vector(" << log.elements.size() << ") [";
  const char *separator = " ";
  for (const Quantity &q : log.elements) {
    stream << separator << static_cast<const Value &>(q);
    separator = ", ";
  }
  return stream << " ]";
}

template <class T> T &view(Object &stream, const char *phase, const char *caller) {
  return *my_cast<T *>(&stream.at(phase), caller);
}

Phase::MassMolarProperties &totalOf(Stream &s, const char *caller) {
  return *my_cast<Phase::MassMolarProperties *>(s.Tphase, caller);
}

} // namespace

// A function try block: the bases refuse an empty component list before
// the body runs, and their errors name this constructor too.
HtuNtu::HtuNtu(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root) try
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root), Connectivity(defaults, id, persistency),
      duty("duty", "Heat duty", 0.0, "W", nullptr),
      deltaP("deltaP", "Vapor phase pressure drop across unit", 0.0, "Pa", nullptr),
      D("D", "Column internal diameter", 1.0, "m", nullptr),
      H("H", "Packing height", 10.0, "m", nullptr),
      ap("ap", "Specific packing surface area", 260.0, "1/m", nullptr),
      epsilon("epsilon", "Porosity", Value(0.68), nullptr),
      CL("CL", "Coefficient for calculation of mass trasfer in the liquid phase", Value(0.0),
         nullptr),
      CG("CG", "Coefficient for calculation of mass trasfer in the gas phase", Value(0.0), nullptr),
      CS("CS", "Coefficient for loading point calculation", Value(0.0), nullptr),
      CFl("CFl", "Coefficient for flooding point calculation", Value(0.0), nullptr),
      CP0("CP0", "Coefficient for pressure drop calculation", Value(0.0), nullptr),
      V("V", "Molar flow of gas", 0.0, "kmol/s", nullptr),
      L("L", "Molar flow of liquid", 0.0, "kmol/s", nullptr),
      T("T", "Temperature", 0.0, "K", nullptr), P("P", "Pressure", 0.0, "Pa", nullptr),
      rhov("rhov", "Density of gas", 0.0, "kg/m3", nullptr),
      rhol("rhol", "Density of liquid", 0.0, "kg/m3", nullptr),
      muv("muv", "Viscosity of gas", 0.0, "Pa*s", nullptr),
      mul("mul", "Viscosity of liquid", 0.0, "Pa*s", nullptr),
      psiS("psiS", "Resistance coefficient at the loading point", 0.0, "m/s2", nullptr),
      psiFl("psiFl", "Resistance coefficient at the flooding point", 0.0, "m/s2", nullptr),
      Ac("Ac", "Column internal cross-sectional area", 0.0, "m2", nullptr),
      uV("uV", "Gas superficial velocity", 0.0, "m/s", nullptr),
      uVS("uVS", "Gas superficial velocity at the loading point", 0.0, "m/s", nullptr),
      uVFl("uVFl", "Gas superficial velocity at the flooding point", 0.0, "m/s", nullptr),
      uVzero("uVzero", "Reference gas superficial velocity", 0.0, "m/s", nullptr),
      uL("uL", "Liquid superficial velocity", 0.0, "m/s", nullptr),
      uLS("uLS", "Liquid superficial velocity at the loading point", 0.0, "m/s", nullptr),
      uLFl("uLFl", "Liquid superficial velocity at the flooding point", 0.0, "m/s", nullptr),
      fractloadL("fractloadL", "Liquid load relative to loading point load", Value(0.0), nullptr),
      fractloadV("fractloadV", "Gas load relative to loading point load", Value(0.0), nullptr),
      fractfloodL("fractfloodL", "Liquid load relative to flooding point load", Value(0.0),
                  nullptr),
      fractfloodV("fractfloodV", "Gas load relative to flooding point load", Value(0.0), nullptr),
      hL("hL", "Volumetric column liquid hold-up", Value(0.0), nullptr),
      hLFl("hLFl", "Volumetric column liquid hold-up at the flooding point", Value(0.0), nullptr),
      dh("dh", "Hydraulic diameter of the dumped packing", 0.0, "m", nullptr),
      ReG("ReG", "Adimensional Reynolds number in the gas phase", Value(0.0), nullptr),
      ReL("ReL", "Adimensional Reynolds number in the liquid phase", Value(0.0), nullptr),
      FrL("FrL", "Adimensional Froude number in the liquid phase", Value(0.0), nullptr),
      WeL("WeL", "Adimensional Weber number in the liquid phase", Value(0.0), nullptr),
      ae("ae", "Volumetric specific interface area between the phases", 0.0, "1/m", nullptr),
      K("K", "Pressure drop wall factor", Value(0.0), nullptr),
      ReGdp("ReGdp", "Adimensional Reynolds number in the gas phase for pressure drop calculation",
            Value(0.0), nullptr),
      psi0("psi0", "Resistance coefficient for dry pressure drop calculation", Value(0.0), nullptr),
      Fv2("Fv2", "Square of flow factor", 0.0, "Pa", nullptr),
      dp("dp", "Particle diameter", 0.0, "m", nullptr),
      deltaP0("deltaP0", "Pressure drop dry", 0.0, "Pa", nullptr),
      FrLdp("FrLdp", "Adimensional Froude number in the liquid phase for pressure drop calculation",
            Value(0.0), nullptr),
      psiL("psiL", "Resistance coefficient for irrigated pressure drop calculation", Value(0.0),
           nullptr),
      hLS("hLS", "Volumetric column liquid hold-up at the loading point", Value(0.0), nullptr),
      NITER_load("NITER_load", "Number of iterations for loading point calculation", 0, nullptr),
      NITER_flood("NITER_flood", "Number of iterations for flooding point calculation", 0, nullptr),
      startID("startID", "First component to be separated", 3, nullptr),
      packing("packing", "Packing type", "Ceramic BerlSaddle 25", nullptr),
      hydraulics_calc("hydraulics_calc", "Hydraulic calculation mode", "Rating", nullptr),
      masstransfer_calc("masstransfer_calc", "Mass trasfer calculation mode", "Rating", nullptr),
      outSplit(2), objectiveLoad_(this), objectiveFlood_(this), solverLoad_(1, &objectiveLoad_),
      solverFlood_(2, &objectiveFlood_) {
  static const char *const name = "HtuNtu::HtuNtu";
  setType(typeName);
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id);
  maxNIn = 2;
  maxNOut = 2;
  inletRequired(0);
  inletRequired(1);
  if (NCOMPONENTS <= 0)
    throw ErrorRunTime(name, "no components defined");
  for (Quantity *q :
       {&duty,        &deltaP, &D,     &H,    &ap,    &epsilon,    &CL,         &CG,
        &CS,          &CFl,    &CP0,   &V,    &L,     &T,          &P,          &rhov,
        &rhol,        &muv,    &mul,   &psiS, &psiFl, &Ac,         &uV,         &uVS,
        &uVFl,        &uVzero, &uL,    &uLS,  &uLFl,  &fractloadL, &fractloadV, &fractfloodL,
        &fractfloodV, &hL,     &hLFl,  &dh,   &ReG,   &ReL,        &FrL,        &WeL,
        &ae,          &K,      &ReGdp, &psi0, &Fv2,   &dp,         &deltaP0,    &FrLdp,
        &psiL,        &hLS})
    addVariable(*q);
  addVariable(NITER_load);
  addVariable(NITER_flood);
  addVariable(startID);
  addVariable(packing);
  addVariable(hydraulics_calc);
  addVariable(masstransfer_calc);
  addComponentVector(KVL, "KVL", "Volatility", Value(0.0));
  addComponentVector(Hcomps, "Hcomps", "Packing height for component", Value(0.0, "m"));
  addComponentVector(outSplit[0], "outSplit[0]", "Split to vapor outlet", Value(0.5));
  addComponentVector(outSplit[1], "outSplit[1]", "Split to liquid outlet", Value(0.5));
  // The first transferred component indexes the component list: a value
  // past its end would read past it.
  startID = retrieveInteger(defaults, id, persistency, "startID", -1, NCOMPONENTS + 1,
                            std::min(3, NCOMPONENTS));
  if (persistency)
    retrieveIntegersAndStrings(persistency);
} catch (Error &error) {
  error.append("HtuNtu::HtuNtu");
  throw;
}

HtuNtu::~HtuNtu() = default;

int HtuNtu::locationFromPort(std::string port) {
  if (port == "out1")
    return PortTable::north;
  if (port == "out2")
    return PortTable::south;
  return PortTable::west;
}

void HtuNtu::setMassFlows(const Value &gas, const Value &liquid) {
  gasMassFlow_ = gas;
  liquidMassFlow_ = liquid;
}

void HtuNtu::setPacking_() {
  const PackingRow *row = nullptr;
  for (const PackingRow &candidate : packings)
    if (packing.value() == candidate.name) {
      row = &candidate;
      break;
    }
  if (!row)
    throw ErrorBrowsing("HtuNtu::go", tag().c_str(), packing.description().c_str(),
                        packing.value().c_str());
  ap = Value(row->ap, "1/m");
  epsilon = Value(row->epsilon);
  CS = Value(row->CS);
  CFl = Value(row->CFl);
  CP0 = Value(row->CP0);
  CL = Value(row->CL);
  CG = Value(row->CG);
}

void HtuNtu::go(int, int) {
  static const char *const name = "HtuNtu::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  setPacking_();
  if (nIn.value() != 2 || nOut.value() != 2 || !inletConnected(0) || !inletConnected(1) ||
      !outletConnected(0) || !outletConnected(1)) {
    setError("gas and liquid feeds and vapor and liquid outlets must all be connected, nothing "
             "to do");
    return;
  }
  // startID may have been changed since the construction.
  if (startID.value() < 0 || startID.value() > NCOMPONENTS)
    throw ErrorRunTime(name, ("startID = " + std::to_string(startID.value()) +
                              " outside 0 to the number of components")
                                 .c_str());
  inletstreams_ = {inletStream(0, name), inletStream(1, name)};
  outletstreams_ = {outletStream(0, name), outletStream(1, name)};
  vapin = inletstreams_[0];
  liqin = inletstreams_[1];
  auto &gasVapor = view<Phase::MassMolar>(*vapin, "Vphase", name);
  // The gas feed must carry a liquid phase too: it bypasses the packing.
  (void)view<Phase::MassMolar>(*vapin, "Lphase", name);
  auto &liquidLiquid = view<Phase::MassMolar>(*liqin, "Lphase", name);

  dh = 4.0 * epsilon / ap;
  const Value liquidBypass = liqin->phases()[0]->fraction;
  const Value gasFraction = vapin->phases()[0]->fraction;
  VELTA_LOG(verbosity(), 2, name, "liquid feed stream = " << liqin->Tphase->totalFlow());
  VELTA_LOG(verbosity(), 2, name, "vapor feed stream = " << vapin->Tphase->totalFlow());
  VELTA_LOG(verbosity(), 2, name,
            "liquid feed stream fraction which is going to bypass the packing = " << liquidBypass);
  VELTA_LOG(verbosity(), 2, name,
            "vapor feed stream fraction which is going to bypass the packing = "
                << Value(1.0 - gasFraction));

  // The working stream stands outside the tree: the verdicts of its flashes
  // are the unit's.
  const auto fileMessages = [this](const Stream &stream) {
    for (const std::string &e : stream.errors.value())
      setError(e);
    for (const std::string &w : stream.warnings.value())
      setWarning(w);
  };
  if (gasFraction.value() < 0.5 || liquidBypass.value() > 0.5) {
    fallback_();
    return;
  }
  std::unique_ptr<Node> node = NodeFactory().create("StreamIdealLiquidVapor", Defaults("dummy", ""),
                                                    0, nullptr, nullptr, nullptr);
  std::unique_ptr<Stream> work(my_cast<Stream *>(node.get(), name));
  node.release();

  // The equilibrium flash of the mixed feeds at the column pressure, that
  // of the top where the liquid enters.
  static_cast<Object &>(*work->Tphase) = static_cast<const Node &>(gasVapor);
  work->setphase(static_cast<int>(PhaseIndex::vapor));
  *work->Tphase += liquidLiquid;
  for (Stream *out : outletstreams_)
    out->assign(*work);
  work->P = liqin->P;
  work->setFlash(static_cast<int>(FlashMode::PH));
  work->setPristine();
  work->calculate(1);
  fileMessages(*work);
  if (Velta::Utility::logEnabled(verbosity(), 3)) {
    std::ostringstream json;
    work->printJson(json, 0);
    VELTA_LOG(verbosity(), 3, name,
              std::string(80, '=') << "\n"
                                   << json.str() << std::string(80, '='));
  }

  PhaseTotal LL(Defaults("", ""), 0, nullptr, nullptr, nullptr);
  PhaseTotal VV(Defaults("", ""), 0, nullptr, nullptr, nullptr);
  static_cast<Object &>(LL) = static_cast<const Node &>(liquidLiquid);
  static_cast<Object &>(VV) = static_cast<const Node &>(gasVapor);
  const Value dv = VV.x[components.lookup("H2O")].value() > 0.3 ? Value(12.7) : Value(20.1);

  V = VV.ndot;
  L = LL.ndot;
  setMassFlows(VV.mdot, LL.mdot);
  T = work->T;
  P = work->P;
  rhov = VV.rho;
  rhol = LL.rho;
  auto &workVapor = view<Phase::MassMolarProperties>(*work, "Vphase", name);
  auto &workLiquid = view<Phase::MassMolarProperties>(*work, "Lphase", name);
  muv = workVapor.mu(P, T);
  const Value liquidViscosity = workLiquid.mu(P, T);
  const Value viscosityCap(10000.0, "Pa*s");
  mul = liquidViscosity < viscosityCap ? liquidViscosity : viscosityCap;
  uVzero = gravity() * rhol * rhol / (6.0 * ap * ap * mul * rhov * epsilon) / massRatio_();

  if (hydraulics_calc.value() == "Design") {
    uVFl = Value(0.01, "m/s");
    hLFl = 2.0 / 3.0 * epsilon;
    VELTA_LOG(verbosity(), 2, name, "initial estimates: uVFl = " << uVFl << " hLFl = " << hLFl);
    calculateFlood_();
    uLFl = rhov * massRatio_() * uVFl / rhol;
    VELTA_LOG(verbosity(), 2, name, "Result: uVFl = " << uVFl << " hLFl = " << hLFl);
    uV = fractfloodV * uVFl;
    Ac = VV.vdot / uV;
    D = sqrt(4.0 * Ac / 3.141592653589793);
    VELTA_LOG(verbosity(), 2, name, "Design D = " << D);
  }
  Ac = D * D * 0.7853981633974483;
  uL = LL.vdot / Ac;
  hL = pow(12.0 * mul * uL * ap * ap / (gravity() * rhol), 1.0 / 3.0);
  VELTA_LOG(verbosity(), 2, name, "VV.vdot = " << VV.vdot);
  uV = VV.vdot / Ac;
  ReG = uV * rhov / (ap * muv);
  ReL = uL * dh * rhol / mul;
  FrL = uL * uL / (gravity() * dh);
  const Value sigmaMin(0.03, "N/m");
  Value sigma = workLiquid.sigma(P, T);
  if (sigma < sigmaMin)
    sigma = sigmaMin;
  WeL = uL * uL * rhol * dh / sigma;
  ae = 1.5 * ap * pow(ReL, -0.2) * pow(FrL, -0.45) * pow(WeL, 0.75) / sqrt(ap * dh);
  const Value R = V / L;

  if (masstransfer_calc.value() == "Design")
    designMassTransfer_(VV, LL, R, dv);

  VELTA_LOG(verbosity(), 2, name, "uV = " << uV);
  calculateLoad_();
  uLS = rhov * massRatio_() * uVS / rhol;
  fractloadL = uL / uLS;
  fractloadV = uV / uVS;
  hLS = pow(12.0 * mul * uLS * ap * ap / (gravity() * rhol), 1.0 / 3.0);
  VELTA_LOG(verbosity(), 2, name, "uVS = " << uVS << " uLS = " << uLS << " hLS = " << hLS);
  uVFl = 2.0 * uVS;
  hLFl = 2.0 / 3.0 * epsilon;
  calculateFlood_();
  uLFl = rhov * massRatio_() * uVFl / rhol;
  fractfloodL = uL / uLFl;
  fractfloodV = uV / uVFl;

  VELTA_LOG(verbosity(), 2, name, "Rating computation in any case");
  rateMassTransfer_(VV, LL, R, dv);

  work->T = liqin->T;
  work->P = liqin->P;
  work->setFlash(static_cast<int>(FlashMode::PT));
  work->calculate(1);
  VELTA_LOG(verbosity(), 2, name, "dummy.T = " << work->T);
  VELTA_LOG(verbosity(), 2, name, "dummy.Tphase.x = " << VectorLog{totalOf(*work, name).x});
  VELTA_LOG(verbosity(), 2, name, "dummy.Vphase.x = " << VectorLog{workVapor.x});
  VELTA_LOG(verbosity(), 2, name, "dummy.Lphase.x = " << VectorLog{workLiquid.x});
  VELTA_LOG(verbosity(), 2, name, "LL.x = " << VectorLog{LL.x});
  fileMessages(*work);
  outlets_(*work, LL);
  incrementCalculations();
  VELTA_TRACE_END(name)
}

// Feeds with more gas in the liquid feed or more liquid in the gas feed
// than in their own phase: the feeds leave split by their phases, the
// vapours of both feeds by the vapour outlet, their liquids by the liquid
// outlet, unflashed.
void HtuNtu::fallback_() {
  static const char *const name = "HtuNtu::fallback_";
  setWarning("Be careful, vapin->alfa or liqin->alfa inconsistent");
  const struct {
    Stream *outlet;
    const char *phase;
    PhaseIndex index;
  } sides[] = {{outletstreams_[0], "Vphase", PhaseIndex::vapor},
               {outletstreams_[1], "Lphase", PhaseIndex::liquid1}};
  for (const auto &side : sides) {
    Phase::Mass &total = *side.outlet->Tphase;
    static_cast<Object &>(total) =
        static_cast<const Node &>(view<Phase::Mass>(*vapin, side.phase, name));
    if (liqin->hasChild(side.phase))
      total += view<Phase::Mass>(*liqin, side.phase, name);
    side.outlet->setphase(static_cast<int>(side.index));
  }
}

void HtuNtu::outlets_(Stream &work, PhaseTotal &LL) {
  static const char *const name = "HtuNtu::outlets_";
  VELTA_TRACE_BEGIN
  Stream &vapor = *outletstreams_[0];
  Stream &liquid = *outletstreams_[1];
  for (Stream *out : outletstreams_)
    out->assign(work);

  // The liquid leaving: the gas feed's liquid bypassing the packing, the
  // flashed liquid of the components below startID and the packing's
  // liquid of the others.
  auto &gasLiquid = view<Phase::Mass>(*vapin, "Lphase", name);
  std::unique_ptr<Node> copy = gasLiquid.clone();
  auto &phase = *my_cast<Phase::Mass *>(copy.get(), name);
  phase.addComponents(view<Phase::Mass>(work, "Lphase", name), 0, startID.value());
  phase.addComponents(LL, startID.value(), NCOMPONENTS);
  static_cast<Object &>(*liquid.Tphase) = static_cast<const Node &>(phase);

  static_cast<Object &>(*vapor.Tphase) = static_cast<const Node &>(*liqin->Tphase);
  *vapor.Tphase += *vapin->Tphase;
  *vapor.Tphase -= *liquid.Tphase;

  pressureDrop_();
  liquid.P = liqin->P + deltaP;
  VELTA_LOG(verbosity(), 2, name, "outletstreams_[1]->P = " << liquid.P);
  vapor.setFlash(static_cast<int>(FlashMode::PT));
  vapor.calculate(1);
  balances_();
  VELTA_TRACE_END(name)
}

void HtuNtu::pressureDrop_() {
  static const char *const name = "HtuNtu::pressureDrop_";
  const Value one(1.0);
  dp = 6.0 * (one - epsilon) / ap;
  K = one / (one + 2.0 / 3.0 * dp / ((one - epsilon) * D));
  ReGdp = uV * dp * K * rhov / (muv * (one - epsilon));
  const Value resistance = CP0 * (64.0 / ReGdp + 1.8 * pow(ReGdp, -0.08));
  psi0 = resistance;
  Fv2 = uV * uV * rhov;
  deltaP0 = 0.5 * H * psi0 * ap * Fv2 / (epsilon * epsilon * epsilon * K);
  VELTA_LOG(verbosity(), 2, name, "deltaP0 = " << deltaP0);
  FrLdp = uL * uL * ap / gravity();
  psiL = resistance * pow((epsilon - hL) / epsilon, 1.5) * pow(hL / hLS, 0.3) *
         exp(13300.0 / std::pow(ap.value(), 1.5) * sqrt(FrLdp));
  const Value free = epsilon - hL;
  deltaP = 0.5 * H * psiL * ap * Fv2 / (free * free * free * K);
  VELTA_LOG(verbosity(), 2, name, "deltaP = " << deltaP);
}

// The liquid outlet takes the enthalpy that closes the heat balance; the
// splits are those of the whole feeds.
void HtuNtu::balances_() {
  static const char *const name = "HtuNtu::balances_";
  VELTA_TRACE_BEGIN
  Stream &vapor = *outletstreams_[0];
  Stream &liquid = *outletstreams_[1];
  auto &G = totalOf(*vapin, name);
  auto &Lf = totalOf(*liqin, name);
  auto &Vo = totalOf(vapor, name);
  auto &Lo = totalOf(liquid, name);
  const Value inflow = G.mdot * G.h + Lf.mdot * Lf.h - Vo.mdot * Vo.h;
  liquid.setFlash(static_cast<int>(FlashMode::PH));
  Lo.H = inflow / Lo.ndot;
  VELTA_LOG(verbosity(), 2, name,
            "Flashing liquid outlet with h = " << Value(inflow / Lo.mdot) << " " << G.mdot << " "
                                               << G.h << " " << Lf.mdot << " " << Lf.h << " "
                                               << Vo.mdot << " " << Vo.h);
  liquid.calculate(1);
  duty = inflow - Lo.mdot * Lo.h;
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const Value feed = G.ndotcomps[i] + Lf.ndotcomps[i];
    // A component absent from both feeds has no split to speak of.
    outSplit[0][i] = feed.value() > 0.0 ? Value(Vo.x[i] * Vo.ndot / feed) : Value(0.0);
    outSplit[1][i] = Value(1.0) - outSplit[0][i];
  }
  VELTA_TRACE_END(name)
}
