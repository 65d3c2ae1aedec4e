#include "velta/user/StudyVerbs.h"

#include "velta/core/HomotopyInput.h"
#include "velta/core/SensitivityInput.h"
#include "velta/user/Case.h"

#include <fstream>

namespace Velta::User {

int runSensitivity(int id) {
  Case kase{Handle(id)};
  const SensitivityInputXml input("SensitivityInput.xml");
  int error = 0;
  const SensitivityResult result = kase.sensitivitySync(input, &error);
  std::ofstream file("SensitivityResults.xml");
  result.write(file);
  return error;
}

int runHomotopy(int id) {
  Case kase{Handle(id)};
  const HomotopyInputXml input("Homotopy.xml");
  return kase.homotopySync(input);
}

} // namespace Velta::User
