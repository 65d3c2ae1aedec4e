#include "velta/units/Divider.h"

#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <climits>

const char *const Divider::typeName = "Divider";

Divider::Divider(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      SimpleUnit(defaults, id, persistency, typeName),
      nOutlets("nOutlets", "Number of streams connected at outlet", 2, nullptr) {
  VELTA_TRACE_BEGIN
  maxNIn = 1;
  maxNOut = -1;
  inletRequired(0);
  nOutlets = retrieveInteger(defaults, id, persistency, "nOutlets", 0, INT_MAX, 2);
  addVariable(nOutlets);
  const unsigned n = static_cast<unsigned>(nOutlets.value());
  addVector(outSplit, "outSplit", "Split fraction to outlets", n, Value(1.0 / n));
  for (Quantity &fraction : outSplit)
    fraction.setOutput();
  VELTA_TRACE_END("Divider::Divider")
}

Divider::~Divider() = default;

std::vector<Value> Divider::effectiveFractions() const {
  const std::size_t n = outSplit.size();
  std::vector<Value> f(n);
  Value sum(0.0), rest(0.0);
  for (std::size_t i = 0; i < n; ++i) {
    const Quantity &given = outSplit[i];
    // A negative fraction counts as 0 but keeps its derivatives.
    f[i] = given.value() < 0.0 ? Value(given.activeValue().derivativePart(), given.units())
                               : Value(given);
    sum += given;
    if (i + 1 < n)
      rest += f[i];
  }
  if (sum.value() == 0.0) {
    for (Value &fraction : f)
      fraction = Value(1.0 / static_cast<double>(n));
  } else if (rest.value() > 1.0) {
    for (std::size_t i = 0; i + 1 < n; ++i)
      f[i] /= rest;
    f[n - 1] = Value(0.0);
  } else {
    f[n - 1] = Value(1.0) - rest;
  }
  return f;
}

void Divider::go(int, int) {
  static const char *const name = "Divider::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name, "Entered for " << fullTag());
  resetErrors();
  if (nIn.value() == 0) {
    setError("no inlet connected, nothing to do");
    return;
  }
  if (nOut.value() == 0) {
    setError("no outlet connected, nothing to do");
    return;
  }
  if (nOut.value() != nOutlets.value()) {
    setError(std::to_string(nOut.value()) + " outlets connected, " +
             std::to_string(nOutlets.value()) + " expected, nothing to do");
    return;
  }
  const Stream *in = inletStream(0, name);
  if (nOutlets.value() < 2) {
    Stream *out = outletStream(0, name);
    out->assign(*in);
    prepareOutletFlash(*out);
  } else {
    const std::vector<Value> f = effectiveFractions();
    VELTA_LOG(verbosity(), 2, name, "About to begin splitting computations");
    for (std::size_t i = 0; i < outlets_.size(); ++i) {
      Stream *out = my_cast<Stream *>(outlets_[i], name);
      VELTA_LOG(verbosity(), 2, name, "Splitting " << i << "-th stream");
      VELTA_LOG(verbosity(), 2, name, "Splitting " << out->fullTag());
      out->assign(*in);
      *out *= f[i];
      prepareOutletFlash(*out);
    }
  }
  incrementCalculations();
  VELTA_TRACE_END(name)
}
