#pragma once
// Base of everything that calculates: phases, streams, units, flowsheets,
// reactions and heat-transfer ratings. It adds to Object the interface
// through which the front end and flowsheets drive a model, three stored
// variables of every model (the calculation counter and the errors and
// warnings of the last computation), the gathering of messages through a
// model tree, the outputs of a tree (text dump, spreadsheet content, XML
// export, SVG icons) and helpers for derived constructors and calculations.
//
// Derived classes inherit Model virtually, so a unit that reaches Model
// through several bases holds one Model part; the most derived class builds
// the (virtual) Object base.
//
// Log lines of a model are written when
//     verbosityGlobal + verbosity() - 2 > level,
// the two message reports when verbosityGlobal + verbosity() + 8 > level.

#include "velta/core/MyCast.h"
#include "velta/persistency/Integer.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/StringVector.h"

#include <iosfwd>
#include <string>
#include <vector>

class Icon;
class SolverNleInterface;

class ObjectiveNleAd;
class Quantity;

class Model : public virtual Object {
public:
  Model(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  Model(const Model &) = delete;
  ~Model() override;

  // --- what the front end and flowsheets drive
  // 1 phase, 2 stream, 3 unit, 4 flowsheet, 5 option (the 1-based positions
  // of the Category enumeration).
  virtual int category() const = 0;
  virtual void calculate(int mode) = 0;
  // Prepares a freshly built model for its first calculation.
  virtual void setup() = 0;
  // Iteration limit of a flowsheet's simultaneous solution.
  virtual int maxIterations() const { return 200; }
  // Rebuilds the state that is not stored, after the model was read back.
  virtual void initializeNonPersistents() = 0;
  // The model's own equation system, or null.
  virtual ObjectiveNleAd *objectiveFunction() = 0;

  // --- calculation counter
  void incrementCalculations() { nCalculations += 1; }
  bool isPristine() const { return nCalculations.value() == 0; }
  void setPristine();
  // setPristine on the model and on every model below it.
  void setPristineRecursive();
  void setElapsedTime(double seconds) { elapsedTime_ = seconds; }
  double elapsedTime() const { return elapsedTime_; }

  // --- errors and warnings
  // Log and append one message (an empty one too).
  void reportError(std::string message);
  void reportWarning(std::string message);
  // As the report functions, but an empty message means nothing to report.
  void setError(std::string message);
  void setWarning(std::string message);
  // Files the outcome of a solve: the solver's text as a warning (status
  // below 0) or an error (above 0), and failure as an error when the
  // solver did not converge.
  void recordSolve(const SolverNleInterface &solver, int status, const std::string &failure);
  // Gathers the messages of the whole subtree, depth first, into every
  // ancestor of the model that filed them: a copy gets " @ " and the tag
  // path from the gathering model's child down to the filing model
  // ("e @ U1:S01" in the case, "e @ S01" in U1, "e" in S01). First every
  // model files a warning for each of its quantities that holds NaN (the
  // store keeps 0 in its place, so the warning is what tells the two apart).
  void reportMessages();
  // The warning that marks quantity tag of this model as not computed.
  static std::string notComputedWarning(const std::string &tag);
  // Whether a quantity of this model holds no computed value: NaN in
  // memory, or marked by its warning (a case read back holds the stored 0).
  bool notComputed(const Quantity &quantity) const;
  // Clears the errors and warnings of the whole subtree.
  void resetErrors();
  // While one lives, errors and warnings are recorded but not logged: a
  // solution whose every pass starts by clearing the messages of the last
  // one (a flowsheet's sequential passes and Newton evaluations) leaves only
  // the messages of its end, and those are logged when they are reported
  // (reportMessages).
  class ProvisionalErrors {
  public:
    ProvisionalErrors() { ++depth_; }
    ~ProvisionalErrors() { --depth_; }
    ProvisionalErrors(const ProvisionalErrors &) = delete;
    ProvisionalErrors &operator=(const ProvisionalErrors &) = delete;

  private:
    friend class Model;
    static inline int depth_ = 0;
  };

  // Clears the input flag of every quantity of the subtree.
  void unSetInput();

  // --- outputs (every child must be a Model: ErrorDynamicCast otherwise).
  // Texts written into XML are escaped; a stream or file that cannot be
  // written throws ErrorRunTime.
  //
  // Text dump of the variables (S, SV, Q, I) and, when recursive, of the
  // subtree. Errors passing through get "Model::print" once per level.
  std::ostream &print(std::ostream &stream, bool withStrings, bool withQuantities,
                      bool withIntegers, bool recursive) const;
  // The same into a file (replaced); ErrorRunTime "can not write to " + path.
  void printToFile(const std::string &path, bool withStrings, bool withQuantities,
                   bool withIntegers, bool recursive) const;
  // OpenDocument spreadsheet content ("content.xml"): one table "Tabella1"
  // with a heading row and one row per stream and per phase of every stream
  // of the tree (depth first, tag order; streams are the children whose type
  // name begins with "Stream", each with a "Tphase" child and quantities "P"
  // and "T").
  void printOds(std::ostream &stream) const;
  void printOdsToFile(const std::string &path) const;
  // The three steps of printOds; row is the running data-row number.
  static void printRecursiveStreamsToOds_(std::ostream &stream, const Model &model, int &row);
  static void printStreamsToOds_(std::ostream &stream, const Model &model, int &row);
  static void printStreamToOds_(std::ostream &stream, const Model &streamModel, int &row);
  // XML export: the file directory/<id>.xml of this model and, recursively,
  // of every model below it; preceding and following are the model's
  // neighbours in its parent's tag order, or null.
  virtual void printXml(const char *directory, const Model *preceding,
                        const Model *following) const;
  // Table-of-contents entries of the subtree, indented by indent blanks;
  // children are listed streams first, then flowsheets, then the others.
  void printXmlToc(std::ostream &stream, int indent) const;

  // --- SVG icons
  // Writes directory/<id + idOffset>.svg for this model and every model
  // below it (pre-order, tag order) and appends the file names (without the
  // directory) to names. Children that are not models are skipped.
  void printSvgAll(const char *directory, bool tiny, bool raster, unsigned idOffset,
                   std::vector<std::string> &names) const;
  // The drawing of this model: by default the icon document of its
  // category's icon ("phase", "stream", "option", else "other"), 100 x 100.
  // Flowsheets and units draw themselves. Raster is not used: every drawing
  // embeds its icons, so none refers to an image file.
  virtual void printSvg(const char *fileName, bool tiny, bool raster, unsigned idOffset) const;
  // The SVG document (SVG 1.1 Tiny when tiny, else SVG 1.1) that shows the
  // icon's artwork over the whole drawing of the icon's size.
  static std::ostream &printSvgIcon(std::ostream &stream, const Icon &icon, bool tiny);
  // Writes that document into fileName (replaced); a file that cannot be
  // written throws ErrorRunTime from function, naming the file.
  static void writeSvgIcon(const char *function, const char *fileName, const Icon &icon,
                           bool tiny);

  // --- helpers of derived models
  // Numbered sub-objects: a fresh model creates count children tagged
  // tagPrefix + "[" + i + "]", of the type named by its string option
  // optionKeyPrefix + "[" + i + "]" (ErrorRunTime "type unspecified for " +
  // tag when absent); a model read back (persistency given) finds them again
  // by those tags, in index order, whatever their type names (a missing one
  // is an ErrorRunTime, one that is not a T an ErrorDynamicCast). typeKey
  // names the kind of sub-object in the messages. Log lines are written when
  // verbosityGlobal + verbosity() + verbosityOffset > level.
  template <class T>
  void addSubObjects(int verbosityOffset, Defaults defaults, Persistency *persistency, int count,
                     const std::string &optionKeyPrefix, const std::string &typeKey,
                     const std::string &tagPrefix, const std::string &description,
                     std::vector<T *> &objects);
  // One quantity per component of the process-wide list, tagged tag[i] and
  // described as description + " of " + the component's name, each
  // registered in Q. A vector that already holds one per component is only
  // registered again; one of another size is rebuilt.
  void addComponentVector(std::vector<Quantity> &vector, const std::string &tag,
                          const std::string &description, Value value);
  // Pressure option of a unit, by its one-character text: "D" given deltaP
  // computes P and flowcoefficient, "P" given P computes deltaP and
  // flowcoefficient, "K" given flowcoefficient computes deltaP and P (Q is a
  // volumetric flow, flowcoefficient in kg/m7). Once the drop passes beta *
  // deltaPMax it is limited, with the warning "DeltaP clipped". Any other
  // option throws ErrorBrowsing naming the option and the caller.
  void pressureDrop(const std::string &option, Value &deltaP, const Value &deltaPMax,
                    const Value &beta, const Value &inP, Value &P, Value &flowcoefficient,
                    const Value &Q, const std::string &caller);

  // The stored variables of every model.
  Integer nCalculations;
  StringVector errors;
  StringVector warnings;

protected:
  // Component forms of the tag paths: the name is looked up in the
  // process-wide component list (ErrorNoComponent when absent).
  Value &componentQ(const std::string &tag, int i, std::string component) override;
  Value &componentQ(const std::string &tag, std::string component) override;

  // Local verbosity to pass to VELTA_LOG for a line under the model's
  // threshold (verbosityGlobal + verbosity() - 2 > level).
  int logVerbosity() const { return verbosity() - 1; }

private:
  // The child tagged tagPrefix + "[" + i + "]", or null.
  Node *subObjectChild(const std::string &tagPrefix, int i);
  // Creates the fresh sub-object i (see addSubObjects).
  Node &addSubObject(int verbosityOffset, const Defaults &defaults, int i,
                     const std::string &optionKeyPrefix, const std::string &typeKey,
                     const std::string &tagPrefix, const std::string &description);
  [[noreturn]] void throwSubObjectMismatch(const std::string &typeKey, int found, int count) const;

  double elapsedTime_ = 0.0;
  // Positions in errors and warnings of the messages recorded without being
  // logged: the root logs them when it reports (its parent logs the others).
  std::vector<std::size_t> unloggedErrors_, unloggedWarnings_;
};

template <class T>
void Model::addSubObjects(int verbosityOffset, Defaults defaults, Persistency *persistency,
                          int count, const std::string &optionKeyPrefix, const std::string &typeKey,
                          const std::string &tagPrefix, const std::string &description,
                          std::vector<T *> &objects) {
  const int local = verbosity() + verbosityOffset + 1;
  VELTA_LOG(local, 1, "Model::addSubObjects",
            "Entered with count = " << count << " and typeKey = " << typeKey);
  objects.resize(count > 0 ? static_cast<std::size_t>(count) : 0u, nullptr);
  if (persistency) {
    // By tag, not by type name: a sub-object type may have any name, and
    // the tags keep the index order past ten ("[10]" sorts before "[2]").
    for (int i = 0; i < count; ++i) {
      Node *child = subObjectChild(tagPrefix, i);
      if (!child)
        throwSubObjectMismatch(typeKey, i, count);
      objects[static_cast<std::size_t>(i)] = my_cast<T *>(child, "Model::addSubObjects");
    }
  } else {
    for (int i = 0; i < count; ++i)
      objects[static_cast<std::size_t>(i)] =
          my_cast<T *>(&addSubObject(verbosityOffset, defaults, i, optionKeyPrefix, typeKey,
                                     tagPrefix, description),
                       "Model::addSubObjects");
  }
  VELTA_LOG(local, 2, "Model::addSubObjects", "Done");
}
