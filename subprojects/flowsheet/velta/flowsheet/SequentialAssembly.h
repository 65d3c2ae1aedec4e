#pragma once
// The equations LHS := RHS of a flowsheet (its Assignments, rebuilt in the
// same order before every convergence step), the record of its cuts and the
// scaling of each left-hand side as an unknown of the simultaneous system.
// The position passed to makeAssignment is what binds a call to its
// Assignment: callers must make the same calls in the same order every time.

#include "velta/core/Scaler.h"
#include "velta/flowsheet/Assignment.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/SharedEnumerations.h"

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Stream;

// The two halves of a torn stream: in is the "bis" stream that feeds the
// downstream unit, out the torn stream that leaves the upstream unit.
struct CutPair {
  Stream *in;
  Stream *out;
};

class SequentialAssembly : public virtual Diagnostic {
public:
  using AssignmentList = std::list<std::unique_ptr<Assignment>>;
  using Position = AssignmentList::iterator;
  using CutMap = std::map<std::string, std::unique_ptr<CutPair>>;

  SequentialAssembly();
  SequentialAssembly(const SequentialAssembly &) = delete;
  SequentialAssembly &operator=(const SequentialAssembly &) = delete;
  ~SequentialAssembly() override;

  // Whether the Assignment at the position takes its RHS (else it follows
  // its own LHS).
  virtual bool isActive(Position position) = 0;

  // At the end of the list: appends a new Assignment (the text with every
  // "[i]" replaced by the index) and its scaler, and marks the LHS as
  // computed. Elsewhere: refreshes the Assignment's RHS and advances.
  void makeAssignment(Position &position, Value *lhs, const Value &rhs, const std::string &tag,
                      const std::string &text, int index, Velta::Utility::ScalingMode mode,
                      double xmin, double xmax, const Value &scale);
  // The assignments made between beginGroup and endGroup belong to one
  // torn stream and share the limit of their steps.
  void beginGroup();
  void endGroup();
  // Sum of the deltas of all Assignments.
  double deltaseq();
  void directstep();
  void wegsteinstep();
  // 0 <= c < 1 (fatal otherwise).
  void setMaxRelativeStepChange(double c);

  void insertCut(const std::string &tag, Stream *in, Stream *out);
  void eraseCut(const std::string &tag);

  Position firstAssignment() { return ass_.begin(); }
  AssignmentList &assignments() { return ass_; }
  const CutMap &cuts() const { return cuts_; }
  const std::vector<std::unique_ptr<Scaler>> &scalers() const { return scalers_; }
  double damping() const { return damping_; }
  double maxRelativeStepChange() const { return maxRelativeStepChange_; }

protected:
  double groupLimitFactor(Position first, Position last) const;

  double damping_ = 0.0;
  double maxRelativeStepChange_ = 1.0;
  CutMap cuts_;
  AssignmentList ass_;
  std::vector<std::unique_ptr<Scaler>> scalers_;
  int openGroup_ = -1;
};
