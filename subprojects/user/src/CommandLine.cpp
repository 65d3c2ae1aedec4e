#include "velta/user/CommandLine.h"

#include "velta/user/Case.h"
#include "velta/user/KernelDescriptor.h"
#include "velta/user/Operations.h"
#include "velta/user/StoreConnection.h"
#include "velta/user/StudyVerbs.h"
#include "velta/utility/Assert.h"

#include <charconv>
#include <iostream>

namespace Velta::User {

namespace {

struct Verb {
  const char *text;
  int minCount;
  int maxCount;
  // Purge and remove act on the whole store or a whole case: only the exact
  // word names them.
  bool exact;
  Outcome (*run)(const std::vector<std::string> &);
  int failure;
};

class UsageError {};

std::string argument(const std::vector<std::string> &arguments, std::size_t i,
                     const std::string &fallback) {
  return i < arguments.size() ? arguments[i] : fallback;
}

int idArgument(const std::vector<std::string> &arguments) {
  if (arguments.size() < 3)
    return 0;
  const std::optional<int> id = parseId(arguments[2]);
  if (!id)
    throw UsageError();
  return *id;
}

Outcome result(int code, int id) {
  if (code < 0)
    return {code, std::nullopt};
  return {0, id};
}

Outcome calculate(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  Case kase{Handle(id)};
  if (arguments[1].rfind("calculatetest", 0) == 0)
    kase.setTest();
  if (arguments[1].rfind("calculatecheck", 0) == 0)
    kase.setCheck();
  const int code = kase.calculateSync();
  kase.exportOds("content.xml");
  return result(code, id);
}

Outcome check(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  Case kase{Handle(id)};
  return result(kase.check(), id);
}

Outcome duplicateCase(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  Handle source(id);
  int error = 0;
  const Handle copy = duplicate(source, argument(arguments, 3, kernelDescriptor.defaultType_),
                                argument(arguments, 4, ""), error);
  return result(error, copy.id());
}

Outcome newCase(const std::vector<std::string> &arguments) {
  const std::string type = argument(arguments, 2, kernelDescriptor.defaultType_);
  int error = 0;
  const Handle handle = createCase(type, argument(arguments, 3, type), argument(arguments, 4, ""),
                                   argument(arguments, 5, ""), error);
  return result(error, handle.id());
}

Outcome purgeStore(const std::vector<std::string> &) { return {purge(), std::nullopt}; }

Outcome removeCase(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  return result(remove(Handle(id)), id);
}

Outcome txt(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  const std::string file = txtFileName(argument(arguments, 3, arguments[2]));
  Case kase{Handle(id)};
  return result(kase.exportTxt(file), id);
}

Outcome xml(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  Case kase{Handle(id)};
  return result(kase.exportXml(arguments[3]), id);
}

Outcome homotopyCase(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  return result(runHomotopy(id), id);
}

Outcome sensitivityCase(const std::vector<std::string> &arguments) {
  const int id = idArgument(arguments);
  return result(runSensitivity(id), id);
}

Outcome listing(std::string (*list)(int &)) {
  int error = 0;
  const std::string text = list(error);
  VELTA_ASSERT(error == 0);
  std::cout << text << std::endl;
  return {0, std::nullopt};
}

Outcome typesListing(const std::vector<std::string> &) { return listing(&types); }
Outcome enumeratorsListing(const std::vector<std::string> &) { return listing(&enumerators); }

const Verb verbs[] = {
    {"calculate", 2, 3, false, &calculate, -84},
    {"check", 2, 3, false, &check, -84},
    {"duplicate", 2, 5, false, &duplicateCase, -93},
    {"homotopy", 2, 3, false, &homotopyCase, -84},
    {"new", 2, 6, false, &newCase, -93},
    {"purge", 2, 2, true, &purgeStore, -93},
    {"remove", 3, 3, true, &removeCase, -93},
    {"sensitivity", 2, 3, false, &sensitivityCase, -84},
    {"txt", 3, 4, false, &txt, -84},
    {"enumerators", 2, 2, false, &enumeratorsListing, -1},
    {"types", 2, 2, false, &typesListing, -1},
    {"xml", 4, 4, false, &xml, -84},
};

const Verb *findVerb(const std::vector<std::string> &arguments) {
  const int count = static_cast<int>(arguments.size());
  if (count < 2)
    return nullptr;
  const std::string &word = arguments[1];
  for (const Verb &verb : verbs) {
    if (count < verb.minCount || count > verb.maxCount)
      continue;
    if (verb.exact ? word == verb.text : word.rfind(verb.text, 0) == 0)
      return &verb;
  }
  return nullptr;
}

Outcome usage(const std::vector<std::string> &arguments) {
  std::cerr << usageText(arguments) << std::flush;
  return {-1, std::nullopt};
}

} // namespace

Outcome runVerb(const std::vector<std::string> &arguments) {
  const Verb *verb = findVerb(arguments);
  if (!verb)
    return usage(arguments);
  try {
    // The verb's operations share one store connection.
    StoreRun run;
    return verb->run(arguments);
  } catch (const UsageError &) {
    return usage(arguments);
  }
}

int failureCode(const std::vector<std::string> &arguments) {
  const Verb *verb = findVerb(arguments);
  return verb ? verb->failure : -1;
}

std::string usageText(const std::vector<std::string> &arguments) {
  std::string text = "Incorrect command line parameters:";
  for (const std::string &argument : arguments)
    text += " " + argument;
  text += "\n";
  text += "Correct synthax command line parameters are:\n"
          "  calculate id       : retrieve, calculate and update the object at id\n"
          "  duplicate id ta de : retrieve the object at id and save it with tag ta and and "
          "description de\n"
          "  enumerators        : list supported enumerators\n"
          "  homotopy id        : perform homotopy run of case id\n"
          "  new ty ta de "
          "'{\"stringOptions\":{\"a\":\"b\",\"c\":\"d\",\"e\":\"f\"},\"integerOptions\":{\"g\":1,"
          "\"h\":2}}'\n"
          "                     : create a new object of type ty with tag ta and description de "
          "and the supplied options\n"
          "  purge              : clean up completely the persistent storage database\n"
          "  remove id          : retrieve and remove the object at id\n"
          "  sensitivity id     : perform sensitivity run of case id\n"
          "  txt id             : retrieve the object at id and recursively print all Q, S and I "
          "to id.txt file\n"
          "  types              : list supported types\n"
          "  xml id dir         : retrieve the object at id and recursively print all Q, S and I "
          "to xml files in the directory dir\n";
  return text;
}

std::optional<int> parseId(const std::string &text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  int id = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return id;
}

std::string txtFileName(const std::string &name) {
  return name.rfind(".txt") == std::string::npos ? name + ".txt" : name;
}

} // namespace Velta::User
