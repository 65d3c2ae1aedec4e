#pragma once
// The four shell-and-tube ratings that a heat transfer unit creates by
// name: each joins one shell-side model and one tube-side model over one
// shared ShellAndTube geometry, and adds nothing of its own but the order of
// the computations.
//
//   RatingHeatShellAndTubeThermosiphon         ShellCondensing + TubesBoiling
//   RatingHeatShellAndTubeHeater               ShellCondensing + TubesSensible
//   RatingHeatShellAndTubeFallingFilmReboiler  ShellCondensing + TubesFallingFilmBoiling
//   RatingHeatShellAndTubeRecovery             ShellSensible   + TubesSensible

#include "velta/units/ShellCondensing.h"
#include "velta/units/ShellSensible.h"
#include "velta/units/TubesBoiling.h"
#include "velta/units/TubesFallingFilmBoiling.h"
#include "velta/units/TubesSensible.h"

#include <string>

template <class Shell, class Tubes> class RatingHeatShellAndTube : public Shell, public Tubes {
public:
  // Flags of the geometry, then of the shell side, then of the tube side.
  void setup() override {
    ShellAndTube::setup();
    Shell::setup();
    Tubes::setup();
  }
  // The geometry first, the shell side, the tube side, and last U from both
  // side coefficients.
  void preCalculate() override {
    const std::string name = className_ + "::preCalculate";
    VELTA_TRACE_BEGIN
    VELTA_LOG(this->verbosity(), 1, name.c_str(), "Entered for " << this->fullTag());
    this->calculateGeometry();
    Shell::preCalculate();
    Tubes::preCalculate();
    ShellAndTube::preCalculate();
    VELTA_LOG(this->verbosity(), 2, name.c_str(), "Done");
    VELTA_TRACE_END(name.c_str())
  }

protected:
  RatingHeatShellAndTube(const char *className, Defaults defaults, int id, Persistency *persistency,
                         Node *parent, Node *root)
      : Object(defaults, id, persistency, parent, root),
        Model(defaults, id, persistency, parent, root),
        ShellAndTube(defaults, id, persistency, parent, root),
        Shell(defaults, id, persistency, parent, root),
        Tubes(defaults, id, persistency, parent, root), className_(className) {
    this->setType(className);
  }

private:
  std::string className_;
};

#define VELTA_SHELL_AND_TUBE_RATING(Class, Shell, Tubes)                                           \
  class Class final : public RatingHeatShellAndTube<Shell, Tubes> {                                \
  public:                                                                                          \
    static const char *const typeName;                                                             \
    Class(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);          \
    ~Class() override;                                                                             \
  };

VELTA_SHELL_AND_TUBE_RATING(RatingHeatShellAndTubeThermosiphon, ShellCondensing, TubesBoiling)
VELTA_SHELL_AND_TUBE_RATING(RatingHeatShellAndTubeHeater, ShellCondensing, TubesSensible)
VELTA_SHELL_AND_TUBE_RATING(RatingHeatShellAndTubeFallingFilmReboiler, ShellCondensing,
                            TubesFallingFilmBoiling)
VELTA_SHELL_AND_TUBE_RATING(RatingHeatShellAndTubeRecovery, ShellSensible, TubesSensible)

#undef VELTA_SHELL_AND_TUBE_RATING
