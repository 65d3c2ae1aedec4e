#pragma once
// A stored case brought back to life from its handle: the model tree read
// through the type factory. It calculates and stores its results, checks
// (recalculates without storing) and exports itself.
//
// Results: 0 on success, -81 when the id names no stored object, -84 on
// failure, also when the store or the stored case could not be read (the
// cause was reported by the handle or the loading). A calculation or
// check that ends with errors filed in the model tree is a failure too (its
// results are stored all the same by calculateSync).

#include "velta/core/SensitivityResult.h"
#include "velta/user/Handle.h"

#include <memory>
#include <string>

class HomotopyInput;
class Model;
class Persistency;
class SensitivityInput;

namespace Velta::User {

// Brings a stored model tree back to life: reads the tree whose root has
// the stored id and the registered type name type through the type factory
// (every object, child and variable), re-applies the cuts of a flowsheet
// (and of the flowsheets inside it, whose cut records are not stored) and
// initialises the state that is not stored. The model is then ready to
// calculate; Case loads its model this way, and a program that keeps its
// own connection calls it directly. The steps are logged under logName.
// Errors of the store and of the model pass up unchanged.
std::unique_ptr<Model> loadModel(Persistency &persistency, int id, const std::string &type,
                                 const char *logName = "Velta::User::loadModel");
// The same with the type name read from the stored row of id.
std::unique_ptr<Model> loadModel(Persistency &persistency, int id);

class Case {
public:
  // Loads the model; never throws an Error (a failure is written to
  // standard error and leaves the case without a model).
  explicit Case(const Handle &handle);
  Case(const Case &) = delete;
  Case &operator=(const Case &) = delete;
  ~Case();

  int setTest();
  int setCheck();
  bool hasModel() const;
  // The loaded model, or null: results are read from it after a
  // calculation (tag paths, children). The case keeps it.
  const Model *model() const;

  int calculateSync();
  int check();

  // OpenDocument spreadsheet content, text dump, and one XML file per object
  // with "toc.xml" in an existing directory.
  int exportOds(const std::string &fileName);
  int exportTxt(const std::string &fileName);
  int exportXml(const std::string &directory);

  // Sensitivity study over the model in memory (nothing is stored; the
  // rows also go to "SensitivityResults.xml" after every round). Returns
  // the rows of every completed round, after a failure too, and sets the
  // code: 0, -81 or -84.
  SensitivityResult sensitivitySync(const SensitivityInput &input, int *error);
  // Homotopy, then the model is stored: 0, -81, or -84 on failure and when
  // a point ended with errors (the case is then stored at the last good
  // point all the same).
  int homotopySync(const HomotopyInput &input);

private:
  // The loaded model for the operations that change it, or null.
  Model *mutableModel() const;
  // The result of an operation when there is no model: -81 or -84.
  int withoutModel() const;

  struct Record;
  std::unique_ptr<Record> record_;
};

} // namespace Velta::User
