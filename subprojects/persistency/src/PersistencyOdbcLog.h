#pragma once
// Log lines of the ODBC store, written from its member functions. The store
// writes a line of level L when verbosityGlobal plus its own verbosity
// exceeds L (one more than the general rule allows).

#include "velta/utility/Diagnostic.h"

#define ODBC_LOG(level, name, ...) VELTA_LOG(verbosity() + 1, level, name, __VA_ARGS__)
