#pragma once
// An ordered set of Barin records on adjoining temperature intervals that
// together cover [xmin, xmax], continued with constant heat capacity below
// and above that range.

#include "velta/components/ParameterBkk.h"

#include <vector>

class GroupBkk {
public:
  // r1, then r2 ... r7 in turn up to the first empty record: that one and
  // every later argument are ignored.
  explicit GroupBkk(const ParameterBkk &r1, const ParameterBkk &r2 = emptyParameterBkk,
                    const ParameterBkk &r3 = emptyParameterBkk,
                    const ParameterBkk &r4 = emptyParameterBkk,
                    const ParameterBkk &r5 = emptyParameterBkk,
                    const ParameterBkk &r6 = emptyParameterBkk,
                    const ParameterBkk &r7 = emptyParameterBkk);
  GroupBkk(const GroupBkk &other);
  GroupBkk &operator=(const GroupBkk &other) = default;
  virtual ~GroupBkk() = default;

  // Adds a record that adjoins the range built so far, below or above it;
  // anything else stops the process (records are literals in code).
  void add(const ParameterBkk &record);

  // Kind as ParameterBkk::Kind, T in K (plain number with derivatives).
  Active evaluate(int kind, const Active &T) const;
  Active cp(const Active &T) const { return evaluate(ParameterBkk::heatCapacity, T); }
  Active h(const Active &T) const { return evaluate(ParameterBkk::enthalpy, T); }
  Active s(const Active &T) const { return evaluate(ParameterBkk::entropy, T); }

  const std::vector<ParameterBkk> &records() const { return records_; }
  double xmin() const { return xmin_; }
  double xmax() const { return xmax_; }

private:
  std::vector<ParameterBkk> records_; // ascending xmin
  double xmin_ = 0.0;
  double xmax_ = 0.0;
};
