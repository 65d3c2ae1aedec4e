#include "velta/phases/ActivityParameters.h"

#include "velta/components/ListComponents.h"
#include "velta/utility/Error.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

namespace Phase::Activity {

namespace {

// Every model reads element (i, j) of every table of its set for each pair
// of distinct components; a table of any other length would be read past
// its end, so the whole set is refused before anything is read.
using NamedTable = std::pair<const char *, const std::vector<double> *>;

void requireTables(const char *function, const char *model, const char *set, int size,
                   std::initializer_list<NamedTable> tables) {
  const std::string prefix = std::string(model) + ": ";
  if (NCOMPONENTS != size)
    throw ErrorRunTime(function, (prefix + "condition NCOMPONENTS == " + set + "::size() failed (" +
                                  std::to_string(NCOMPONENTS) + " components, tables of size " +
                                  std::to_string(size) + ") in subprojects/phases/src/ActivityNrtl")
                                     .c_str());
  const std::size_t needed =
      static_cast<std::size_t>(NCOMPONENTS) * static_cast<std::size_t>(NCOMPONENTS);
  for (const NamedTable &table : tables)
    if (table.second->size() != needed)
      throw ErrorRunTime(function, (prefix + "table " + table.first + " of " + set + " holds " +
                                    std::to_string(table.second->size()) + " elements, " +
                                    std::to_string(needed) + " needed for " +
                                    std::to_string(NCOMPONENTS) + " components")
                                       .c_str());
}

int side(const std::vector<double> &table) {
  return static_cast<int>(std::sqrt(static_cast<double>(table.size())) + 0.5);
}

double &element(std::vector<double> &table, int i, int j) {
  return table[static_cast<std::size_t>(i * NCOMPONENTS + j)];
}

void resizeTable(std::vector<double> &table, int n) {
  table.assign(static_cast<std::size_t>(n > 0 ? n * n : 0), 0.0);
}

} // namespace

std::vector<double> &ParametersNrtl1::alphaTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl1::bTable() {
  static std::vector<double> table;
  return table;
}
double &ParametersNrtl1::alpha(int i, int j) { return element(alphaTable(), i, j); }
double &ParametersNrtl1::b(int i, int j) { return element(bTable(), i, j); }
int ParametersNrtl1::size() { return side(alphaTable()); }
void ParametersNrtl1::resize(int n) {
  resizeTable(alphaTable(), n);
  resizeTable(bTable(), n);
}
void ParametersNrtl1::require(const char *function) {
  requireTables(function, "NRTL model Phase::Activity::Nrtl1", "ParametersNrtl1", size(),
                {{"alpha", &alphaTable()}, {"b", &bTable()}});
}

std::vector<double> &ParametersNrtl2::aTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl2::bTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl2::eTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl2::fTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl2::cTable() {
  static std::vector<double> table;
  return table;
}
std::vector<double> &ParametersNrtl2::dTable() {
  static std::vector<double> table;
  return table;
}
double &ParametersNrtl2::a(int i, int j) { return element(aTable(), i, j); }
double &ParametersNrtl2::b(int i, int j) { return element(bTable(), i, j); }
double &ParametersNrtl2::e(int i, int j) { return element(eTable(), i, j); }
double &ParametersNrtl2::f(int i, int j) { return element(fTable(), i, j); }
double &ParametersNrtl2::c(int i, int j) { return element(cTable(), i, j); }
double &ParametersNrtl2::d(int i, int j) { return element(dTable(), i, j); }
int ParametersNrtl2::size() { return side(aTable()); }
void ParametersNrtl2::resize(int n) {
  for (std::vector<double> *table :
       {&aTable(), &bTable(), &eTable(), &fTable(), &cTable(), &dTable()})
    resizeTable(*table, n);
}
void ParametersNrtl2::require(const char *function) {
  requireTables(function, "NRTL model Phase::Activity::Nrtl2", "ParametersNrtl2", size(),
                {{"a", &aTable()},
                 {"b", &bTable()},
                 {"e", &eTable()},
                 {"f", &fTable()},
                 {"c", &cTable()},
                 {"d", &dTable()}});
}

std::map<int, ParametersUnifac::Subgroups> &ParametersUnifac::componentSubgroups() {
  static std::map<int, Subgroups> map;
  return map;
}

ParametersUnifac::Subgroups &ParametersUnifac::subgroups(int i) {
  auto &map = componentSubgroups();
  const auto found = map.find(i);
  if (found == map.end())
    throw std::out_of_range("invalid map<K, T> key");
  return found->second;
}

int ParametersUnifac::size() { return static_cast<int>(componentSubgroups().size()); }

} // namespace Phase::Activity
