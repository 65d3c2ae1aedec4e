#include "velta/user/KernelInitialization.h"

#include "velta/components/ListComponents.h"
#include "velta/core/LibraryInitialization.h"
#include "velta/user/KernelComponents.h"
#include "velta/user/KernelDescriptor.h"

void initializeKernel() {
  if (!initializeLibrary())
    return;
  registerLibraryTypes();
  addKernelComponents();
  kernelDescriptor.addLanguage("en");
}

void uninitializeKernel() {
  if (uninitializeLibrary())
    components.clear();
}
