#include "velta/flowsheet/SequentialAssembly.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

#include <algorithm>
#include <iterator>
#include <string>

SequentialAssembly::SequentialAssembly() = default;

SequentialAssembly::~SequentialAssembly() {
  VELTA_LOG(verbosity(), 1, "SequentialAssembly::~SequentialAssembly", "Entered");
}

void SequentialAssembly::makeAssignment(Position &position, Value *lhs, const Value &rhs,
                                        const std::string &tag, const std::string &text,
                                        int index, Velta::Utility::ScalingMode mode, double xmin,
                                        double xmax, const Value &scale) {
  static const char *const name = "SequentialAssembly::makeAssignment";
  VELTA_TRACE_BEGIN
  Assignment *assignment = nullptr;
  if (position == ass_.end()) {
    auto created = std::make_unique<Assignment>(lhs, rhs, tag);
    created->oldLHS = rhs;
    std::string replaced = text;
    const std::string indexed = "[" + std::to_string(index) + "]";
    for (auto at = replaced.find("[i]"); at != std::string::npos; at = replaced.find("[i]"))
      replaced.replace(at, 3, indexed);
    created->text = replaced;
    assignment = created.get();
    created->index = ass_.size();
    created->group = openGroup_;
    ass_.push_back(std::move(created));
    scalers_.push_back(std::make_unique<Scaler>(mode, xmin, xmax, 1.0, 10.0));
    lhs->unSetInput();
    lhs->setOutput();
    VELTA_LOG(verbosity(), 2, name,
              "Setting lhs as " << ass_.size() << "-th variable with scaling = "
                                << scalers_.back()->modeName() << "[" << xmin << ", " << xmax
                                << "]");
  } else {
    assignment = position->get();
    assignment->oldRHS = assignment->RHS;
    if (isActive(position)) {
      VELTA_LOG(verbosity(), 2, name, "Assigning " << rhs << " - was " << assignment->RHS);
      assignment->RHS = rhs;
    } else {
      VELTA_LOG(verbosity(), 2, name,
                "Assigning " << *assignment->LHSP << " since Assignment is inactive");
      assignment->RHS = *assignment->LHSP;
    }
    ++position;
  }
  assignment->scale = scale;
  VELTA_TRACE_END(name)
}

double SequentialAssembly::deltaseq() {
  double sum = 0.0;
  for (const auto &assignment : ass_)
    sum += assignment->delta();
  VELTA_LOG(verbosity(), 2, "SequentialAssembly::deltaseq",
            "Total error of the " << ass_.size() << " Assignments = " << sum);
  return sum;
}

// A group is named by the index of its first assignment; the name only
// matters when the assignments are created.
void SequentialAssembly::beginGroup() { openGroup_ = static_cast<int>(ass_.size()); }

void SequentialAssembly::endGroup() { openGroup_ = -1; }

void SequentialAssembly::directstep() {
  static const char *const name = "SequentialAssembly::directstep";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name,
            "Entered with damping = " << damping_ << " and maximum relative step change = "
                                      << maxRelativeStepChange_);
  for (auto first = ass_.begin(); first != ass_.end();) {
    auto last = std::next(first);
    if ((*first)->group >= 0)
      while (last != ass_.end() && (*last)->group == (*first)->group)
        ++last;
    const double share = (1.0 - damping_) * groupLimitFactor(first, last);
    for (; first != last; ++first)
      (*first)->advance(share);
  }
  VELTA_LOG(verbosity(), 2, name, "Done");
  VELTA_TRACE_END(name)
}

// The smallest share of the step that keeps every member of the group
// within the limit, each measured against the largest member of the same
// units: the trace flows of a stream are limited by its main flows, not by
// their own size.
double SequentialAssembly::groupLimitFactor(Position first, Position last) const {
  double factor = 1.0;
  for (auto a = first; a != last; ++a) {
    double reference = 0.0;
    for (auto b = first; b != last; ++b)
      if ((*b)->LHSP->units() == (*a)->LHSP->units())
        reference = std::max(reference, (*b)->magnitude());
    factor = std::min(factor, (*a)->limitFactor(maxRelativeStepChange_, reference));
  }
  return factor;
}

void SequentialAssembly::wegsteinstep() {
  static const char *const name = "SequentialAssembly::wegsteinstep";
  VELTA_TRACE_BEGIN
  for (auto &assignment : ass_)
    assignment->wegsteinstep();
  VELTA_TRACE_END(name)
}

void SequentialAssembly::setMaxRelativeStepChange(double c) {
  VELTA_ASSERT_AS(c >= 0.0, "c >= zero", __FILE__, __LINE__);
  VELTA_ASSERT_AS(c < 1.0, "c < one", __FILE__, __LINE__);
  maxRelativeStepChange_ = c;
}

void SequentialAssembly::insertCut(const std::string &tag, Stream *in, Stream *out) {
  cuts_[tag] = std::make_unique<CutPair>(CutPair{in, out});
}

void SequentialAssembly::eraseCut(const std::string &tag) { cuts_.erase(tag); }
