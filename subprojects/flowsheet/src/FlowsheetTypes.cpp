#include "velta/flowsheet/FlowsheetTypes.h"

#include "velta/flowsheet/Terminator.h"
#include "velta/persistency/NodeFactory.h"

namespace Velta::Flowsheet {

void registerFlowsheetTypes() {
  // Not atomic: start-up runs on one thread.
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  NodeFactory().registerType<Terminator>(Terminator::typeName,
                                         "Source or sink of all streams entering a flowsheet",
                                         "unit", false, {}, {}, {}, "", 100, 100);
  // The composite units follow here as they come.
}

} // namespace Velta::Flowsheet
