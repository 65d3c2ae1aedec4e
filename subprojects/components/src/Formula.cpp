#include "velta/components/Formula.h"

#include "velta/components/PeriodicTable.h"

#include <cstdint>
#include <iostream>
#include <utility>
#include <vector>

namespace {

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits at pos as an unsigned 32-bit number; false (pos left
// unchanged) when there are none or the number does not fit.
bool readCount(const std::string &text, std::size_t &pos, std::uint32_t &count) {
  std::size_t end = pos;
  std::uint64_t value = 0;
  bool overflow = false;
  while (end < text.size() && isDigit(text[end])) {
    value = value * 10 + static_cast<unsigned>(text[end] - '0');
    if (value > UINT32_MAX) {
      overflow = true;
      value = 0; // discarded; reset so that long digit strings cannot wrap
    }
    ++end;
  }
  if (end == pos || overflow)
    return false;
  count = static_cast<std::uint32_t>(value);
  pos = end;
  return true;
}

} // namespace

ParsedFormula parseFormula(const std::string &formula) {
  if (formula.empty())
    std::cout << "========== wmpty formula" << std::endl;

  std::vector<std::pair<std::string, std::uint32_t>> elements;
  std::size_t pos = 0;
  while (pos < formula.size() && isUpper(formula[pos])) {
    std::string symbol(1, formula[pos++]);
    if (pos < formula.size() && isLower(formula[pos]))
      symbol += formula[pos++];
    std::uint32_t count = 1;
    const bool counted = readCount(formula, pos, count);
    elements.emplace_back(std::move(symbol), counted ? count : 1);
    // Digits that were not taken end the scan.
    if (!counted && pos < formula.size() && isDigit(formula[pos]))
      break;
  }

  ParsedFormula parsed;
  for (const auto &[symbol, count] : elements)
    parsed[symbol] += static_cast<double>(count);
  return parsed;
}

double formulaMolarMass(const ParsedFormula &formula) {
  const auto &table = periodicTable();
  double mass = 0.0;
  for (const auto &[symbol, count] : formula) {
    const auto found = table.find(symbol);
    if (found != table.end())
      mass += count * found->second;
  }
  return mass;
}
