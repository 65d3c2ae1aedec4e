// The kernel program: one verb per run on the cases of the data source
// "persistency". On success the exit status is 0 and, for the verbs that
// concern a case, its id is the last line of standard output; a failure
// exits with its negative code (status 255 usage, 175 no case, 172
// calculation or export, 163 store). 175 is for an id that names no case;
// a store or a case that cannot be read fails the verb like any failure.
#include "velta/user/CommandLine.h"
#include "velta/user/KernelInitialization.h"
#include "velta/utility/Error.h"

#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv) {
  const std::vector<std::string> arguments(argv, argv + argc);
  Velta::User::Outcome outcome;
  try {
    initializeKernel();
    outcome = Velta::User::runVerb(arguments);
  } catch (const Error &error) {
    std::cerr << error.message() << std::endl;
    outcome = {Velta::User::failureCode(arguments), std::nullopt};
  } catch (const std::exception &exception) {
    std::cerr << "kernel: " << exception.what() << std::endl;
    outcome = {Velta::User::failureCode(arguments), std::nullopt};
  } catch (...) {
    std::cerr << "kernel: unknown exception" << std::endl;
    outcome = {Velta::User::failureCode(arguments), std::nullopt};
  }
  if (outcome.code >= 0 && outcome.id)
    std::cout << *outcome.id << std::endl;
  std::cout.flush();
  uninitializeKernel();
  std::exit(outcome.code);
}
