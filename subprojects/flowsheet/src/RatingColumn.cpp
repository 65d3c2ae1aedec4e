#include "velta/flowsheet/RatingColumn.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

RatingColumn::RatingColumn(Defaults defaults, int id, Persistency *persistency, Node *parent,
                           Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      Dc("Dc", "Internal column diameter", 1.0, "m", nullptr),
      eta("eta", "Safety coefficient", Value(0.8), nullptr),
      Ac("Ac", "Gross cross sectional area of column", 0.0, "m2", nullptr),
      kLm("kLm", "Rating parameter for minimum liquid load", Value(1.0), nullptr),
      kLM("kLM", "Rating parameter for maximum liquid load", Value(1.0), nullptr),
      kGm("kGm", "Rating parameter for minimum gas load", Value(1.0), nullptr),
      kGM("kGM", "Rating parameter for maximum gas load", Value(1.0), nullptr),
      k("k", "Overall rating parameter", Value(0.0), nullptr) {
  static const char *const name = "RatingColumn::RatingColumn";
  VELTA_TRACE_BEGIN
  VELTA_LOG(ratingVerbosity(), -1, name, "Entered with " << id);
  for (Quantity *q : {&Dc, &eta, &Ac, &kLm, &kLM, &kGm, &kGM, &k})
    addVariable(*q);
  Dc.setInput();
  eta.setInput();
  for (Quantity *q : {&Ac, &kLm, &kLM, &kGm, &kGM, &k})
    q->setOutput();
  VELTA_TRACE_END(name)
}

RatingColumn::~RatingColumn() = default;
