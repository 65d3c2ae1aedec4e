#pragma once
// A unit made of units and streams. Its units (vertices) and streams
// (edges) are children created through the type factory; the two
// Terminators "source" and "sink" are where every feed stream starts and
// every product stream ends. A concrete flowsheet builds its units and
// streams in its constructor (addUnit, then addStream), tears its recycles
// with addCut and adds design equations in makeUserEquations.
//
// As a unit of another flowsheet, its external inlet "in<k>" feeds the
// internal stream that leaves "source" through "out<k>", and the internal
// stream entering "sink" through "in<k>" feeds its external outlet "out<k>".
//
// Solution modes of go: 0 automatic, 1 sequential passes converging the
// Assignments, 2 simultaneous Newton solution, 3 one pass.

#include "velta/core/ObjectiveNleAd.h"
#include "velta/flowsheet/SequentialAssembly.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Quantity.h"
#include "velta/units/Connectivity.h"
#include "velta/utility/SharedEnumerations.h"

#include <memory>
#include <string>

class SubstitutionAccelerator;
class TaskGraph;

class FlowSheet : public virtual VertexBase,
                  public SequentialAssembly,
                  public ObjectiveNleAdFlowsheet,
                  public Connectivity {
public:
  class Private;

  // From this many unknowns on, the simultaneous solve folds the units'
  // long derivative lists into intermediates (a sparse extended system);
  // smaller flowsheets keep the plain Jacobian, whose lists stay short
  // enough that folding costs more than it saves.
  static constexpr unsigned minimumUnknownsToFold = 300;

  // New (no persistency): creates "source" and "sink". Restored: rebuilds
  // the graph, the ports and the port maps from the restored children.
  FlowSheet(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~FlowSheet() override;

  // The stored variables; the port limits then follow the port maps again.
  void retrieveIntegersAndStrings(Persistency *persistency) override;

  // --- own virtual operations
  bool isActive(Position position) override;
  virtual void pre(int mode, int level) = 0;
  virtual void post(int mode, int level) = 0;
  virtual void makeUserEquations(Position &position) = 0;
  virtual int sequential();
  virtual bool supportsSimultaneous() { return true; }

  // --- building
  void addUnit(const std::string &type, const Defaults &options);
  void addStream(const std::string &type, const Defaults &options, const std::string &fromTAG,
                 const std::string &fromPort, const std::string &toTAG, const std::string &toPort);
  void setInputConnection(const std::string &port, const std::string &streamTag);
  void setOutputConnection(const std::string &port, const std::string &streamTag);
  int inletConnection(const std::string &streamTag) const;
  int inletIdFromPort(const std::string &port) const;
  int outletIdFromPort(const std::string &port) const;

  // --- cuts
  void addCut(const std::string &streamTag);
  void removeCut(const std::string &streamTag);
  void restoreCuts();

  // --- solution
  void calculate(int level) override;
  void go(int mode, int level) override;
  void makeSequentialAssembly(Position &position);
  // Between the sequential passes of a first calculation and the
  // simultaneous solution of a flowsheet that is not nested: one more pass
  // in schedule order that, after each unit computing a torn stream, passes
  // round that recycle alone (from the unit its "bis" stream feeds to this
  // one) while recycleContinues holds, stepping its cut by direct
  // substitution. Nothing happens when the passes converged, ended on a NaN
  // or did not step. Returns the number of unit runs.
  int convergeRecycles(int level);
  // Whether a recycle is passed round again after a step with this error,
  // the error of its step before (infinite at the first) and the tolerance:
  // while the error is above the tolerance and each step takes it below 0.9
  // of the step before. A NaN stops it.
  static bool recycleContinues(double error, double previous, double tolerance);
  void setup_of() override;
  void calculateResidualsLocal() override;
  // Clears the derivative lists of the flowsheet's quantities (streams,
  // units and all below) that refer to the evaluation's intermediates.
  void releaseIntermediates() override;
  void setup() override;
  void initializeNonPersistents() override;
  ObjectiveNleAd *objectiveFunction() override { return this; }

  // --- VertexBase
  void check() override { checkFlowsheet(); }
  bool checkFlowsheet();
  Value massBalance() override;
  Value energyBalance() override;
  int category() const override { return 4; }

  void printDot(const std::string &fileName, unsigned idOffset) const;
  bool isDag() const;
  // Draws the flowsheet as SVG 1.1, or SVG 1.1 Tiny when tiny is set, with
  // the units' icons embedded (raster is not used). The flowsheet is not
  // changed: each cut (known from the cut table) is drawn as its torn
  // stream, whole and against its flow, from a copy of the graph; so is
  // every stream that closes a recycle left without a cut.
  void printSvg(const char *fileName, bool tiny, bool raster, unsigned idOffset) const override;

  TaskGraph &taskGraph();
  const TaskGraph &taskGraph() const;
  Private &privatePart() { return *private_; }
  void setCutsSolution(Velta::Utility::CutsSolution method) { cutsSolution_ = method; }

  IntegerVector enableAssignment;
  Integer NITER;
  Quantity seqTol;
  Quantity seqErr;

protected:
  // The sequential solution extrapolates along a slow mode of its direct
  // substitution (SubstitutionAccelerator).
  void accelerateSubstitution();
  // The sequential solution stops after more than this many passes in a row
  // whose error is not below 0.99 times the last (10 by default): a
  // flowsheet whose passes drift before they converge allows more.
  void setStallingPasses(int passes) { stallingPasses_ = passes; }

private:
  struct Recycle;
  void goSequential(int n, int level);
  // Builds or refreshes the Assignments of one cut (pressure, enthalpy when
  // the streams carry it, component flows) from the position.
  void makeCutAssignments(Position &position, const CutPair &cut);
  // Refreshes and steps the cut's Assignments, flashes its "bis" stream
  // and returns the sum of their deltas.
  double stepRecycle(const Recycle &recycle, int level);
  void goSimultaneous(int level);
  // Sum of the children's own terms and, for a nested flowsheet, the flows
  // of its feed and product streams whose external port is free.
  Value balance(bool energy);

  std::unique_ptr<Private> private_;
  ObjectiveNleAd *ownObjective_ = nullptr;
  Velta::Utility::CutsSolution cutsSolution_ = Velta::Utility::CutsSolution::direct;
  std::unique_ptr<SubstitutionAccelerator> accelerator_;
  int stallingPasses_ = 10;
};
