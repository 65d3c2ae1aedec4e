#include "velta/core/LibraryInitialization.h"

#include "velta/components/ListComponents.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/utility/Banner.h"
#include "velta/utility/Diagnostic.h"
#include "velta/value/DerivativeContext.h"

namespace {

// 1 while the library is initialised.
int libraryCounter = 0;

} // namespace

bool initializeLibrary() {
  if (libraryCounter > 0) {
    VELTA_LOG_FREE(1, "initializeLibrary", "library already initialized");
    return false;
  }
  verbosityGlobal = 2;
  ++libraryCounter;
  pushDerivativeContext(0);
  printBanner();
  strict_ro = true;
  // Every module's queued type registrations are complete from here on.
  NodeFactory::runRegistrars();
  return true;
}

bool uninitializeLibrary() {
  if (libraryCounter == 0)
    return false;
  --libraryCounter;
  components.clear();
  popDerivativeContext();
  return true;
}
