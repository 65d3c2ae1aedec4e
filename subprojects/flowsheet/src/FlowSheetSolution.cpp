// Solution of a flowsheet: the choice of mode, the sequential loop over the
// Assignments, the simultaneous Newton solution, the assembly of the
// equation system and its residuals.

#include "velta/core/MyCast.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/flowsheet/SubstitutionAccelerator.h"
#include "velta/phases/MassMolarProperties.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/value/DerivativeContext.h"

#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"

#include <algorithm>
#include <cmath>
#include <string>

using Velta::Utility::CutsSolution;
using Velta::Utility::ScalingMode;

void FlowSheet::calculate(int level) {
  if (!supportsSimultaneous()) {
    go(1, level);
    return;
  }
  if (NITER.value() == -1) {
    VELTA_LOG(verbosity(), -1, "FlowSheet::calculate", "Starting sequential pre-computation");
    go(1, level);
    convergeRecycles(level);
    VELTA_LOG(verbosity(), -1, "FlowSheet::calculate", "Switch to simultaneous computation");
  }
  go(2, level);
}

void FlowSheet::go(int mode, int level) {
  static const char *const name = "FlowSheet::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with solutionMode = " << mode << " level = " << level);
  if (childCount() <= 2) {
    setError("flowsheet contains no unis, bypassing");
    return;
  }
  if (mode == 0)
    mode = supportsSimultaneous() ? 2 : 1;
  if (!taskGraph().scheduled())
    taskGraph().doSchedule(level, 1, isRoot() ? static_cast<Node *>(this) : parentNode());
  setup_of();
  my_cast<Model *>(&child("sink"), name)->setPristine();
  const int n = std::max(private_->maxIterations_, sequential());
  if (!isRoot())
    private_->copyInlets();
  switch (mode) {
  case 1:
    goSequential(n, level);
    break;
  case 2:
    goSimultaneous(level);
    break;
  case 3:
    VELTA_LOG(verbosity(), 2, name, "Calculating one pass with level = " << level);
    pre(3, level);
    taskGraph().singlePass(3, level);
    post(3, level);
    break;
  default:
    throw ErrorSmartEnum(name, "Solution mode ", std::to_string(mode).c_str());
  }
  if (!isRoot())
    private_->copyOutlets();
  incrementCalculations();
  VELTA_TRACE_END(name)
}

void FlowSheet::goSequential(int n, int level) {
  static const char *const name = "FlowSheet::go";
  VELTA_LOG(
      verbosity(), 2, name,
      "Calculating sequentially flowsheet with maximum iterations = " << n << " level = " << level);
  if (cutsSolution_ != CutsSolution::direct && cutsSolution_ != CutsSolution::wegstein)
    return;
  int count = 0;
  int k = 0;
  if (accelerator_)
    accelerator_->reset();
  while (k < n) {
    resetErrors();
    pre(1, level);
    taskGraph().singlePass(1, level);
    post(1, level);
    Position p = firstAssignment();
    makeSequentialAssembly(p);
    if (k < 10 || cutsSolution_ == CutsSolution::direct)
      directstep();
    else
      wegsteinstep();
    if (accelerator_ && cutsSolution_ == CutsSolution::direct)
      accelerator_->afterStep(ass_, k);
    const double prev = seqErr.value();
    seqErr = Value(deltaseq());
    VELTA_LOG(verbosity(), -1, name,
              std::string(static_cast<std::size_t>(std::max(level + 1, 0)), '=')
                  << " Iter = " << k << " Error = " << seqErr.value());
    if (seqErr.value() < seqTol.value())
      break;
    if (std::fabs(seqErr.value() / prev) > 0.99) {
      if (++count > stallingPasses_)
        break;
    } else {
      count = 0;
    }
    if (std::isnan(seqErr.value()))
      break;
    ++k;
  }
  NITER = k;
  if (NITER.value() >= n)
    setError("flowsheet sequential convergence failure: maximum iterations reached;");
  if (count > stallingPasses_)
    setError("flowsheet sequential convergence failure: non decreasing residues;");
  if (std::isnan(seqErr.value()))
    setError("flowsheet sequential convergence failure: NaN residue;");
}

void FlowSheet::accelerateSubstitution() {
  if (!accelerator_)
    accelerator_ = std::make_unique<SubstitutionAccelerator>();
}

void FlowSheet::goSimultaneous(int level) {
  static const char *const name = "FlowSheet::go";
  if (!supportsSimultaneous())
    throw ErrorRunTime(name, "Simultaneous mode not supported");
  VELTA_LOG(verbosity(), 2, name, "Calculating simultaneously flowsheet with level = " << level);
  SolverNleRecipesAutomatic &solver = private_->solver_;
  solver.setVerbosity(1);
  solver.resize(static_cast<int>(size()));
  // The units' outlets are folded into intermediates of a sparse system, so
  // a Newton iteration costs in proportion to the units, not their square.
  solver.jacobian().allowIntermediates(size() >= minimumUnknownsToFold);
  init(solver.x());
  solver.setMaxIterations(maxIterations());
  solver.setTolerances(0.0, 0.0, 1e-11, 0.0);
  const int status = solver.solve();
  // The solver's last evaluation ran the pass before the user equations
  // refreshed the values they assign from the final unknowns (the filter's
  // other splits follow its water split, for one): one more evaluation at
  // the solution leaves every unit and stream in the solved state.
  calculateResidualsLocal();
  recordSolve(solver, status, "simultaneous convergence failure;");
  NITER = solver.iterations();
}

void FlowSheet::makeSequentialAssembly(Position &p) {
  static const char *const name = "FlowSheet::makeSequentialAssembly";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered with " << id() << " and " << cuts_.size() << " cuts.");
  for (const auto &[cutTag, cut] : cuts_)
    makeCutAssignments(p, *cut);
  makeUserEquations(p);
  if (enableAssignment.size() == ass_.size()) {
    for (std::size_t i = 0; i < enableAssignment.size(); ++i)
      VELTA_LOG(verbosity(), 2, name, "enableAssignment[" << i << "] = " << enableAssignment[i]);
  } else {
    VELTA_LOG(verbosity(), 2, name,
              "Initializing enableAssignment vector with enableAssignment.size = "
                  << enableAssignment.size() << " and ass_.size = " << ass_.size());
    const std::size_t kept = std::min(enableAssignment.size(), ass_.size());
    enableAssignment.resize(ass_.size());
    for (std::size_t i = kept; i < ass_.size(); ++i)
      enableAssignment[i] = 1;
  }
  VELTA_TRACE_END(name)
}

void FlowSheet::makeCutAssignments(Position &p, const CutPair &cut) {
  static const char *const name = "FlowSheet::makeSequentialAssembly";
  Stream *in = cut.in;
  Stream *out = cut.out;
  VELTA_LOG(verbosity(), 2, name, "Processing cut (" << in->tag() << ", " << out->tag() << ")");
  VELTA_ASSERT(in->representation() == out->representation());
  // A torn stream's pressure, enthalpy and flows share one step limit.
  beginGroup();
  makeAssignment(p, &in->P, Value(out->P), "Pressure for stream " + in->tag(),
                 "cut.second->out()->P", 0, ScalingMode::log, 1.0, 101325.0, Value(1.0));
  auto *inProperties = dynamic_cast<Phase::MassMolarProperties *>(in->Tphase);
  auto *outProperties = dynamic_cast<Phase::MassMolarProperties *>(out->Tphase);
  if (inProperties != nullptr) {
    VELTA_ASSERT_AS(outProperties != nullptr, "out_Tphase_MNP != nullptr", __FILE__, __LINE__);
    makeAssignment(p, &inProperties->H, Value(outProperties->H),
                   "Enthalpy for stream " + in->fullTag(), "out_Tphase_MNP->H", 0,
                   ScalingMode::noscaling, 1.0, 10.0, Value(1e-5));
  } else {
    VELTA_ASSERT_AS(outProperties == nullptr, "out_Tphase_MNP == nullptr", __FILE__, __LINE__);
  }
  for (int i = 0; i < components.count(); ++i)
    makeAssignment(p, &in->Tphase->flow(i), Value(out->Tphase->flow(i)),
                   "Flow for component " + components[i]->name() + " in stream " + in->fullTag(),
                   "cut.second->out()->Tphase->flow(i)", i, ScalingMode::noscaling, 0.0, 1.0,
                   Value(1.0));
  endGroup();
}

void FlowSheet::setup_of() {
  static const char *const name = "FlowSheet::setup_of";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  if (isSetUp())
    return;
  Position p = firstAssignment();
  makeSequentialAssembly(p);
  VELTA_LOG(verbosity(), 1, name, "Gather unknowns and residuals based on Assignments");
  std::size_t k = 0;
  for (const auto &assignment : ass_)
    addUnknown(assignment->LHSP, *scalers_[k++], assignment->tag);
  private_->nEquations_ = static_cast<int>(ass_.size());
  VELTA_LOG(verbosity(), 1, name, "Pick up objective functions in blocks and feed streams");
  private_->nObjectives_ = 0;
  for (const auto &[childTag, child] : children()) {
    VELTA_LOG(verbosity(), 2, name, "Examining object " << childTag);
    if (auto *stream = dynamic_cast<Stream *>(child.get())) {
      if (stream->fromTAG.value() != "source")
        continue;
      if (isRoot()) {
        VELTA_LOG(verbosity(), 2, name,
                  "not inside flowsheet-in-flowsheet, hence include Flash of" << childTag);
      } else if (!stream->cutsource.value().empty()) {
        VELTA_LOG(verbosity(), 2, name,
                  "inside flowsheet-in-flowsheet but cut stream, hence include Flash of"
                      << childTag);
      } else {
        continue;
      }
      ObjectiveNleAd *flash = stream->objectiveFunction();
      VELTA_LOG(verbosity(), 2, name,
                "stream " << childTag << " has " << flash->size() << " unknowns");
      private_->include(flash);
      continue;
    }
    auto *model = dynamic_cast<Model *>(child.get());
    if (model == nullptr)
      continue;
    ObjectiveNleAd *system = model->objectiveFunction();
    if (system == nullptr)
      continue;
    if (auto *vertexSystem = dynamic_cast<ObjectiveNleAdVertex *>(system))
      vertexSystem->setup_of();
    VELTA_LOG(verbosity(), 2, name,
              model->type() << " " << childTag << " has " << system->size() << " unknowns");
    private_->include(system);
  }
  VELTA_LOG(verbosity(), 1, name, "Pick up my own objective function if present");
  if (ownObjective_ != nullptr)
    private_->include(ownObjective_);
  private_->nEquations_ = static_cast<int>(ass_.size());
  VELTA_LOG(verbosity(), 2, name,
            "Finished with " << private_->nEquations_ << " equations and " << private_->nObjectives_
                             << " objective functions");
  setSetUp(true);
  VELTA_TRACE_END(name)
}

void FlowSheet::calculateResidualsLocal() {
  static const char *const name = "FlowSheet::calculateResidualsLocal";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with " << size() << " unknowns.");
  resetErrors();
  VELTA_LOG(verbosity(), 1, name, "Calculating local residuals for flowsheet with level = " << 0);
  go(3, 0);
  Position p = firstAssignment();
  makeSequentialAssembly(p);
  VELTA_LOG(verbosity(), 1, name, "Equations based on Assignments");
  residuals.resize(size());
  unsigned k = 0;
  const bool withDerivatives = currentDerivativeContext().directions() > 0;
  for (const auto &assignment : ass_) {
    Value residual = (*assignment->LHSP - assignment->RHS) * assignment->scale;
    if (withDerivatives && residual.activeValue().reducedDerivativeSum() < 4.440892098500626e-16) {
      setWarning("degenerate equation " + assignment->tag);
      Value unit = *assignment->LHSP;
      unit.activeValue().value() = 0.0;
      residual += Value(unit.activeValue(), residual.units());
    }
    VELTA_LOG(verbosity(), 2, name,
              "*assignment->LHSP = " << *assignment->LHSP
                                     << " assignment->RHS = " << assignment->RHS);
    VELTA_LOG(verbosity(), 2, name,
              "Equation " << k << " " << assignment->tag << " = " << residual);
    residuals[k++] = residual;
  }
  VELTA_LOG(verbosity(), 1, name, "Equations based on objective functions");
  unsigned offset = k;
  for (ObjectiveNleAd *system : private_->objectives_) {
    VELTA_LOG(verbosity(), 2, name,
              "About to process objective function " << system->name() << " with " << system->size()
                                                     << " unknowns starting at " << offset);
    if (system->size() == 0)
      continue;
    system->calculateResiduals(residuals, offset);
    VELTA_LOG(verbosity(), 2, name, "Processed objective function " << system->name());
    offset += system->size();
  }
  VELTA_LOG(verbosity(), 2, name, "Done for " << fullTag());
  VELTA_TRACE_END(name)
}

void FlowSheet::releaseIntermediates() {
  forEachQuantityValue([](Value &value) {
    if (value.activeValue().holdsIntermediates())
      value.activeValue().clearSparseDerivatives();
  });
}

void FlowSheet::setup() {
  static const char *const name = "FlowSheet::setup";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  for (const auto &[childTag, child] : children())
    if (auto *model = dynamic_cast<Model *>(child.get())) {
      VELTA_LOG(verbosity(), 2, name, "Invoking setup() of sub-model: " << childTag);
      model->setup();
    }
  VELTA_TRACE_END(name)
}

void FlowSheet::initializeNonPersistents() {
  static const char *const name = "FlowSheet::initializeNonPersistents";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag());
  for (const auto &[childTag, child] : children())
    if (auto *model = dynamic_cast<Model *>(child.get())) {
      VELTA_LOG(verbosity(), 2, name, "About to estimate object " << childTag);
      model->initializeNonPersistents();
    }
  VELTA_TRACE_END(name)
}
