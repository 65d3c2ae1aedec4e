#include "velta/units/RatingHeatShellAndTube.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

// Constructor and destructor of each rating: the shared parts once, the
// shell side, the tube side; the log lines and the call trace under the
// class's own name.
#define VELTA_SHELL_AND_TUBE_RATING_DEFINITION(Class)                                              \
  const char *const Class::typeName = #Class;                                                      \
  Class::Class(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root) try  \
      : Object(defaults, id, persistency, parent, root),                                           \
        Model(defaults, id, persistency, parent, root),                                            \
        ShellAndTube(defaults, id, persistency, parent, root),                                     \
        RatingHeatShellAndTube(#Class, defaults, id, persistency, parent, root) {                  \
    VELTA_LOG(verbosity(), 1, #Class "::" #Class, "Entered with " << id);                          \
    VELTA_LOG(verbosity(), 2, #Class "::" #Class, "Done");                                         \
  } catch (Error & error) {                                                                        \
    error.append(#Class "::" #Class);                                                              \
    throw;                                                                                         \
  }                                                                                                \
  Class::~Class() = default;

VELTA_SHELL_AND_TUBE_RATING_DEFINITION(RatingHeatShellAndTubeThermosiphon)
VELTA_SHELL_AND_TUBE_RATING_DEFINITION(RatingHeatShellAndTubeHeater)
VELTA_SHELL_AND_TUBE_RATING_DEFINITION(RatingHeatShellAndTubeFallingFilmReboiler)
VELTA_SHELL_AND_TUBE_RATING_DEFINITION(RatingHeatShellAndTubeRecovery)
