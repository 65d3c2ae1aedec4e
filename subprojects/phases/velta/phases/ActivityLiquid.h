#pragma once
// The property-model side shared by the activity models: an ideal solution
// (Phase::Ideal) whose caloric results and liquid fugacities are corrected
// by the activity-model part (Interface):
//   prepare          setTemperature(T), then calculateExcess(x);
//   preparefugacity  ln phi_i = ln(K_i gamma_i), K_i the component's kvli;
//   calculate_H_/S_/Cp_  ideal value plus HE, SE or CpE, added in place.
// The activity coefficients and excess values belong to the T and x of
// the last prepare; preparefugacity and the caloric operations prepare
// again when they are asked for another T or x (values or derivatives). Fugacities are
// defined for a liquid phase only; any other phase type is an ErrorRunTime.
//
// An empty phase (every mole fraction exactly 0) is read as the equimolar
// mixture, so that its activity coefficients and excess values stay finite
// like the ideal solution's density and transport properties.

#include "velta/phases/ActivityInterface.h"
#include "velta/phases/Ideal.h"
#include "velta/phases/StateKey.h"

#include <string>
#include <vector>

namespace Phase::Activity {

class Liquid : public Phase::Ideal, public Interface {
public:
  void prepare(const Value &T, Vector x) override;
  void preparefugacity(const Value &P, const Value &T, Vector x, const Value &sumx) override;
  const Value &calculate_H_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_S_(const Value &P, const Value &T, Vector x) override;
  const Value &calculate_Cp_(const Value &P, const Value &T, Vector x) override;

protected:
  // className qualifies the log and error names ("Phase::Activity::Nrtl");
  // sourceFile names the model in the phase-type failure.
  Liquid(const char *className, const char *sourceFile);
  ~Liquid() override;

  // ErrorRunTime from function when the component list no longer has the
  // size the model was built for.
  void requireComponentCount(const char *function) const;

  // The first count mole fractions of x as active numbers, or 1/count each
  // when all of them are exactly 0. ErrorRunTime from function when x holds
  // fewer than count elements.
  std::vector<Active> activeFractions(Vector x, int count, const char *function) const;

private:
  // prepare(T, x) unless the excess values belong to them.
  void ensurePrepared(const Value &T, Vector x);

  StateKey preparedAt_; // T and x of the last prepare
  std::string className_;
  std::string sourceFile_;
  std::string prepareName_;
  std::string preparefugacityName_;
  std::string calculateHName_;
  std::string calculateSName_;
};

} // namespace Phase::Activity
