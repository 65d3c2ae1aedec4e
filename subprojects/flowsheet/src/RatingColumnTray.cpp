#include "velta/flowsheet/RatingColumnTray.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <cmath>

RatingColumnTray::RatingColumnTray(Defaults defaults, int id, Persistency *persistency,
                                   Node *parent, Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      RatingColumn(defaults, id, persistency, parent, root),
      H("H", "Tray spacing", 0.5, "m", nullptr), lw("lw", "Weir length", 0.5, "m", nullptr),
      hw("hw", "Weir height", 0.07, "m", nullptr),
      hcl("hcl", "Skirt clearance", 0.05, "m", nullptr),
      d("d", "Hole or valve or bubble cap diameter", 0.01, "m", nullptr),
      p("p", "Hole or valve or bubble cap pitch", 0.02, "m", nullptr),
      theta("theta", "Angle facing the weir", Value(0.0), nullptr),
      Ad("Ad", "Single downcomer area", 0.0, "m2", nullptr),
      Ah("Ah", "Hole or valve or bubble cap area", 0.0, "m2", nullptr),
      Aac("Aac", "Active cross sectional area of column", 0.0, "m2", nullptr),
      lL("lL", "Length of liquid flow path", 0.0, "m", nullptr),
      phi("phi", "Relative free area", Value(0.0), nullptr) {
  for (Quantity *q : {&H, &lw, &hw, &hcl, &d, &p}) {
    addVariable(*q);
    q->setInput();
  }
  for (Quantity *q : {&theta, &Ad, &Ah, &Aac, &lL, &phi}) {
    addVariable(*q);
    q->setOutput();
  }
}

RatingColumnTray::~RatingColumnTray() = default;

void RatingColumnTray::calculateGeometry() {
  static const char *const name = "RatingColumnTray::calculateGeometry";
  VELTA_TRACE_BEGIN
  VELTA_LOG(ratingVerbosity(), -1, name, "Entered for " << fullTag());
  Ac = Dc * Dc * M_PI / 4.0;
  theta = 2.0 * asin(lw / Dc);
  // The circular segment behind one weir.
  Ad = (Dc * Dc / 8.0) * (theta - sin(theta));
  Aac = Ac - 2.0 * Ad;
  lL = sqrt(Dc * Dc - lw * lw);
  // Holes on an equilateral-triangle pitch.
  phi = (d * d / p / p) * M_PI / 2.0 / std::sqrt(3.0);
  Ah = phi * Ac;

  const struct {
    double value, low, high;
    const char *lowText, *highText;
  } checks[] = {
      {H.value(), 0.3, 0.6, "Out of range tray spacing: too low",
       "Out of range tray spacing: too high"},
      {lw.value() / Dc.value(), 0.5, 0.85,
       "Out of range weir length: ratio to internal column diameter too low",
       "Out of range weir length: ratio to internal column diameter too high"},
      {hw.value(), 0.02, 0.1, "Out of range weir height: too low",
       "Out of range weir height: too high"},
      {hcl.value() / hw.value(), 0.7, 0.9,
       "Out of range skirt clearance: ratio to weir height too low",
       "Out of range skirt clearance: ratio to weir height too high"},
      {phi.value(), 0.045, 0.15, "Out of range relative free area: too low",
       "Out of range relative free area: too high"},
  };
  for (const auto &check : checks) {
    if (check.value < check.low)
      setWarning(check.lowText);
    if (check.value > check.high)
      setWarning(check.highText);
  }
  VELTA_LOG(ratingVerbosity(), 0, name, "Done");
  VELTA_TRACE_END(name)
}
