#include "StreamTestSupport.h"

#include "velta/streams/StreamSimple.h"

namespace streamtest {

void registerStreamTypes() {
  Velta::Phases::registerPhaseTypes();
  static const bool registered = [] {
    NodeFactory factory;
    auto simple = [&](auto *tag, const char *description) {
      using S = std::remove_pointer_t<decltype(tag)>;
      factory.registerType<S>(S::typeName(), description, "stream", true, {}, {}, {}, "", 100,
                              100);
    };
    simple(static_cast<StreamSimple<0, 1, 0> *>(nullptr),
           "Simple, mass-balance only stream with one liquid phase");
    simple(static_cast<StreamSimple<0, 0, 1> *>(nullptr),
           "Simple, mass-balance only stream with one solid phase");
    simple(static_cast<StreamSimple<1, 0, 0> *>(nullptr),
           "Simple, mass-balance only stream with one vapor phase");
    simple(static_cast<StreamSimple<0, 1, 1> *>(nullptr),
           "Simple, mass-balance only stream with one liquid and one solid phase");
    simple(static_cast<StreamSimple<1, 1, 1> *>(nullptr),
           "Simple, mass-balance only stream with one liquid, one solid and one vapor phase");
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
