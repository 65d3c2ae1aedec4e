// The sensitivity and homotopy runs of a case.
#include "velta/core/Homotopy.h"
#include "velta/core/Model.h"
#include "velta/core/Sensitivity.h"
#include "velta/persistency/PersistencyOdbc.h"
#include "velta/user/Case.h"
#include "velta/user/DataSource.h"
#include "velta/user/StoreConnection.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <iostream>
#include <memory>

namespace Velta::User {

SensitivityResult Case::sensitivitySync(const SensitivityInput &input, int *error) {
  const char *const name = "Velta::User::Case::sensitivitySync";
  SensitivityResult result;
  Model *model = mutableModel();
  if (!model) {
    *error = withoutModel();
    return result;
  }
  std::unique_ptr<Sensitivity> run;
  try {
    VELTA_LOG_FREE(-1, name, "Entering sensitivity mode");
    run = std::make_unique<Sensitivity>(SensitivityInput(input), "SensitivityResults.xml");
    run->setModel(model);
    VELTA_LOG_FREE(-1, name, "Launch sensitivity");
    run->execute();
    *error = 0;
    result.rows = run->rows;
  } catch (Error &failure) {
    failure.append(name);
    std::cerr << failure.message() << std::endl;
    *error = -84;
    // The rounds completed before the failure keep their rows.
    if (run)
      result.rows = run->rows;
  }
  return result;
}

int Case::homotopySync(const HomotopyInput &input) {
  const char *const name = "Velta::User::Case::homotopySync";
  Model *model = mutableModel();
  if (!model)
    return withoutModel();
  try {
    VELTA_LOG_FREE(-1, name, "Entering homotopy mode");
    Homotopy run{HomotopyInput(input)};
    run.setModel(model);
    VELTA_LOG_FREE(-1, name, "Launch homotopy");
    run.execute();
    VELTA_LOG_FREE(-1, name, "Updating results to persistent storage");
    {
      StoreConnection persistency;
      model->update(*persistency);
    }
    VELTA_LOG_FREE(-1, name, "Updated results to persistent storage");
    if (const int failed = run.failedPoint(); failed >= 0) {
      std::cerr << name << ": the calculation of point " << failed << " of " << run.points
                << " ended with errors; the case is stored "
                << (failed > 0 ? "at point " + std::to_string(failed - 1) : "at its start")
                << std::endl;
      return -84;
    }
    return 0;
  } catch (Error &failure) {
    failure.append(name);
    std::cerr << failure.message() << std::endl;
    return -84;
  }
}

} // namespace Velta::User
