#pragma once
// A small reader of chemical formulas such as "H2O" or "CH3OH": element
// symbols (an upper-case letter, optionally one lower-case letter), each
// followed by an optional count. The scan stops, without a message, at the
// first character that does not begin a symbol (parentheses, charges,
// hydrate dots, lower-case starts); what was read so far is kept.

#include <map>
#include <string>

// Element symbol -> number of atoms; a symbol written several times
// accumulates into one entry.
using ParsedFormula = std::map<std::string, double>;

// Counts are unsigned 32-bit numbers (leading zeros allowed; "H0" gives
// H 0). A digit string above 4294967295 is not taken: its element counts 1
// and the scan stops there. Symbols are not checked against the periodic
// table. An empty text writes "========== wmpty formula" to standard output
// and gives an empty formula.
ParsedFormula parseFormula(const std::string &formula);

// Sum of count times atomic weight, kg/kmol; a symbol missing from the
// periodic table contributes nothing.
double formulaMolarMass(const ParsedFormula &formula);
