#include "StreamTestSupport.h"

namespace streamtest {

void registerStreamTypes() {
  static const bool registered = [] {
    NodeFactory().registerType<StreamOne>(
        "StreamOne", "Parameterized single-phase stream", "stream", true, {},
        {StringOption("embeddedTypePhase", "type of the embedded phase", "PhaseIdeal<vapor>",
                      "phaseEnum")},
        {}, "", 100, 100);
    return true;
  }();
  (void)registered;
}

} // namespace streamtest
