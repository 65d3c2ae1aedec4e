#pragma once
// The verbs "sensitivity" and "homotopy" on the case of an id. Each returns
// 0 or a negative code (-81 no model, -84 failure); a fault of the input
// file ("SensitivityInput.xml", "Homotopy.xml") is an Error that names the
// file and is left to the caller.

namespace Velta::User {

// Reads "SensitivityInput.xml", runs the study and writes every row it
// returns to "SensitivityResults.xml", whatever the code.
int runSensitivity(int id);
// Reads "Homotopy.xml", runs the homotopy and stores the case.
int runHomotopy(int id);

} // namespace Velta::User
