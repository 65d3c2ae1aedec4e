// Insertion of the variables of objects into the ODBC store: scalar rows in
// I, S and Q; header rows in IV, SV, QV and QM with their element rows in
// IVV, SVV, QVV and QMV. Each call checks and converts the rows of one
// object and keeps them with the rows still to be sent (see
// PersistencyOdbcPending.h); PersistencyOdbcSend.cpp writes them.

#include "velta/persistency/PersistencyOdbc.h"

#include "PersistencyOdbcElements.h"
#include "PersistencyOdbcLog.h"
#include "PersistencyOdbcPending.h"
#include "velta/persistency/ErrorOdbc.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/OdbcText.h"
#include "velta/persistency/Persistent.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"

#include <string>
#include <type_traits>

namespace {

const char *const function = "PersistencyOdbc::insert";

// NID, TAG and DESCRIPTION of a variable's row: NID is the stored id of the
// node that owns it.
odbcPending::RowStart rowStart(const Item &variable, int offset) {
  const auto *owner = dynamic_cast<const Persistent *>(variable.parent());
  if (!owner)
    throw ErrorOdbc(function, "element has no parent");
  return {owner->id() - offset, OdbcTagText::units(variable.tag()),
          OdbcLongText::units(variable.description())};
}

template <class Variable> odbcPending::QuantityExtras quantityExtras(const Variable &variable) {
  return {OdbcTagText::units(variable.uom()), static_cast<unsigned char>(variable.input() ? 1 : 0),
          static_cast<unsigned char>(variable.output() ? 1 : 0)};
}

using odbcElements::storedValue;

// Keeps the header and elements of every vector of a registry, headers in
// tag order and the elements of each in element order, so that their ids
// follow that order once they are written.
template <class Registry, class T>
void keepVectors(const Registry &registry, int offset, odbcPending::VectorRows<T> &rows,
                 std::vector<odbcPending::NegativeZero> *negativeZeros, int verbosity) {
  using Variable = std::remove_pointer_t<typename Registry::mapped_type>;
  for (const auto &[key, variable] : registry) {
    odbcPending::HeaderRow header;
    header.start = rowStart(*variable, offset);
    if constexpr (std::is_base_of_v<TypeVector<Value>, Variable>)
      header.extras = quantityExtras(*variable);
    VELTA_LOG(verbosity + 1, 2, function, "PARENTID = " << header.start.nid << " TAG = " << key);
    header.firstElement = rows.elements.size();
    const auto &values = variable->value();
    header.elementCount = values.size();
    for (std::size_t i = 0; i < values.size(); ++i) {
      rows.elements.push_back(storedValue(values[i]));
      if constexpr (std::is_same_v<T, double>)
        if (negativeZeros && odbcElements::isNegativeZero(rows.elements.back()))
          negativeZeros->push_back({header.start.nid, key, rows.headers.size(), i});
    }
    rows.headers.push_back(std::move(header));
  }
}

} // namespace

PersistencyOdbcPending &PersistencyOdbc::pending() {
  if (!pending_)
    pending_ = std::make_unique<PersistencyOdbcPending>();
  return *pending_;
}

void PersistencyOdbc::insert(const IntegerRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    for (const auto &[key, variable] : registry) {
      odbcPending::ScalarRow<int> row{rowStart(*variable, offset), variable->value(), {}};
      ODBC_LOG(2, function,
               "VALUE = " << row.value << " PARENTID = " << row.start.nid << " TAG = " << key);
      pending().integers.push_back(std::move(row));
    }
  });
}

void PersistencyOdbc::insert(const StringRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    for (const auto &[key, variable] : registry) {
      odbcPending::ScalarRow<std::u16string> row{rowStart(*variable, offset),
                                                 storedValue(variable->value()), {}};
      ODBC_LOG(2, function,
               "VALUE = " << variable->value() << " PARENTID = " << row.start.nid
                          << " TAG = " << key);
      pending().strings.push_back(std::move(row));
    }
  });
}

void PersistencyOdbc::insert(const QuantityRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    for (const auto &[key, variable] : registry) {
      odbcPending::ScalarRow<double> row{rowStart(*variable, offset), storedValue(*variable),
                                         quantityExtras(*variable)};
      ODBC_LOG(2, function,
               "VALUE = " << row.value << " PARENTID = " << row.start.nid << " TAG = " << key);
      if (dialect() == Dialect::sqlite && odbcElements::isNegativeZero(row.value))
        pending().negativeQuantities.push_back({row.start.nid, variable->tag(), 0, 0});
      pending().quantities.push_back(std::move(row));
    }
  });
}

void PersistencyOdbc::insert(const IntegerVectorRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    keepVectors(registry, offset, pending().integerVectors, nullptr, verbosity());
  });
}

void PersistencyOdbc::insert(const StringVectorRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    keepVectors(registry, offset, pending().stringVectors, nullptr, verbosity());
  });
}

void PersistencyOdbc::insert(const QuantityVectorRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    keepVectors(registry, offset, pending().quantityVectors,
                dialect() == Dialect::sqlite ? &pending().negativeVectorElements : nullptr,
                verbosity());
  });
}

void PersistencyOdbc::insert(const QuantityMatrixRegistry &registry, int offset) {
  guarded<true>(function, [&] {
    odbcElements::noteReplaced(replaced_, registry);
    keepVectors(registry, offset, pending().quantityMatrices,
                dialect() == Dialect::sqlite ? &pending().negativeMatrixElements : nullptr,
                verbosity());
  });
}
