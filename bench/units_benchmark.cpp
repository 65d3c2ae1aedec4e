// Cost of turning a number in a named unit into SI (and back): one hash
// lookup of the unit string in the process-wide units engine.

#include "velta/value/UnitEngine.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A unit held in a std::string, as values read from input carry it.
void toSIKnownString(benchmark::State &state) {
  const std::string unit = "kmol/h";
  UnitArray units(0);
  double x = 12.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double si = unitEngine.toSI(x, unit, units);
    benchmark::DoNotOptimize(si);
    benchmark::DoNotOptimize(units);
  }
}
BENCHMARK(toSIKnownString);

// A long exponent-text unit and an offset unit given as a literal.
void toSIExponentText(benchmark::State &state) {
  UnitArray units(0);
  double x = 12.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double si = unitEngine.toSI(x, "kmol^-1 m^2 kg K^-1 s^-2", units);
    benchmark::DoNotOptimize(si);
    benchmark::DoNotOptimize(units);
  }
}
BENCHMARK(toSIExponentText);

void toSIOffsetUnit(benchmark::State &state) {
  UnitArray units(0);
  double x = 25.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double si = unitEngine.toSI(x, "\xC2\xB0" "C", units);
    benchmark::DoNotOptimize(si);
    benchmark::DoNotOptimize(units);
  }
}
BENCHMARK(toSIOffsetUnit);

void fromSIKnownString(benchmark::State &state) {
  const std::string unit = "bar";
  double x = 101325.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    double converted = unitEngine.fromSI(x, unit);
    benchmark::DoNotOptimize(converted);
  }
}
BENCHMARK(fromSIKnownString);

} // namespace
