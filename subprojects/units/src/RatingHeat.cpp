#include "velta/units/RatingHeat.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

const char *const RatingHeat::typeName = "RatingHeat";

RatingHeat::RatingHeat(Defaults defaults, int id, Persistency *persistency, Node *parent,
                       Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      U("U", "Overall heat transfer coefficient", 100.0, "W/(m2*K)", nullptr),
      Ft("Ft", "MTD correction factor", Value(1.0), nullptr),
      A("A", "Available heat transfer area", 10.0, "m2", nullptr),
      Areq("Areq", "Required heat transfer area", 10.0, "m2", nullptr),
      excessArea("excessArea", "Ratio between available and required heat transfer area",
                 Value(1.0), nullptr) {
  VELTA_TRACE_BEGIN
  setType(typeName);
  for (Quantity *q : {&U, &Ft, &A, &Areq, &excessArea})
    addVariable(*q);
  VELTA_TRACE_END("RatingHeat::RatingHeat")
}

RatingHeat::~RatingHeat() = default;

void RatingHeat::rate(const Value &duty, const Value &MTD) {
  VELTA_TRACE_BEGIN
  Areq = fabs(duty / (U * Ft * MTD));
  VELTA_TRACE_END("RatingHeat::rate")
}

void RatingHeat::calculate(int) {
  VELTA_TRACE_BEGIN
  excessArea = A / Areq;
  incrementCalculations();
  VELTA_TRACE_END("RatingHeat::calculate")
}

void RatingHeat::setup() {
  U.setInput();
  A.setInput();
  Areq.setOutput();
  excessArea.setOutput();
}
