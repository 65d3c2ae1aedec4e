#pragma once
// Start and stop of the kernel, called by the entry point once before the
// verb is recognised and once on its single exit path.
//
// initializeKernel: initialises the library (banner, verbosity 2; nothing
// more when it was initialised already), registers the library modules'
// types, the kernel's own types, fills the component list with the kernel's
// components and adds the language "en" to the kernel descriptor.
void initializeKernel();

// Releases the library (the component list is emptied).
void uninitializeKernel();

// The registration of every library module's model types, one call per
// module in the order flowsheet, unit, stream, phase, reaction types, which
// is the order of the types listing. Runs once, from initializeKernel.
void registerLibraryTypes();
