#pragma once
// Start and stop of the library, called once by the kernel's entry point at
// start and once on its single exit path.

// Sets the global verbosity to 2, pushes a derivative context without
// directions, prints the start-up banner, forbids writing to seeded
// variables and completes the type registry. True when it initialised the
// library, false (and nothing done) when it was already initialised.
bool initializeLibrary();

// Clears the process-wide component list and pops the derivative context of
// initializeLibrary. True when it released the library, false (and nothing
// done) when it was not initialised.
bool uninitializeLibrary();
