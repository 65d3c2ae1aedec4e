#pragma once
// A node that owns named variables. Derived classes register their member
// variables in seven registries (I, IV, Q, QV, QM, S, SV, always visited in
// this order and each in byte-wise tag order); the registries do not own the
// variables. Variables are addressed by tag paths:
//
//   "T"                        a variable of this object
//   "S01:Tphase.mdotcomps"     ":" joins child tags, the first "." ends the
//                              child path
//   "x[3]", "x[1][2]", "x[1,2]" an element of a vector or matrix (a scalar
//                              registered under that very tag comes first)
//   "x[Inert]", "x[2,Inert]"   an element by component name (models only)
//   "A2:Sphase[0].mdot"        a "[" before the first "." is part of a tag
//
// Indices are strict: an optional sign and digits; anything else, and any
// text after the closing bracket, is an ErrorRunTime naming the path.

#include "velta/persistency/Node.h"
#include "velta/persistency/Registries.h"
#include "velta/value/Value.h"

#include <functional>
#include <iosfwd>
#include <map>
#include <stack>
#include <string>
#include <vector>

class Object : public Node {
public:
  Object(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  // The registries point into the derived object's own members.
  Object(const Object &) = delete;
  ~Object() override;

  std::string type() const override;

  // --- assignment: the node part, the type name when this object has none
  // yet, and the values of the
  // quantities (Q, QV, QM) whose tags both objects have registered. A derived
  // class's implicit copy assignment would copy its member variables whole
  // (tags and parents included): assign derived objects through Object&.
  Object &operator=(const Node &other) override;
  Object &operator=(Node &&other) override;
  Object &operator=(const Object &other);

  // --- registration by derived constructors: the variable becomes this
  // object's child item; a second variable of the same tag replaces the first.
  void addVariable(Integer &variable);
  void addVariable(IntegerVector &variable);
  void addVariable(Quantity &variable);
  void addVariable(QuantityVector &variable);
  void addVariable(QuantityMatrix &variable);
  void addVariable(String &variable);
  void addVariable(StringVector &variable);
  // Fills the vector with n scalars tagged tag[0] .. tag[n-1] (described as
  // description + " of item " + i) and registers each. A vector that already
  // holds n elements is only registered again; one holding another number is
  // rebuilt with exactly n, so registered addresses never dangle. The vector
  // must not grow afterwards.
  void addVector(std::vector<Integer> &vector, const std::string &tag,
                 const std::string &description, unsigned n, int value);
  void addVector(std::vector<Quantity> &vector, const std::string &tag,
                 const std::string &description, unsigned n, const Value &value);
  void addVector(std::vector<String> &vector, const std::string &tag,
                 const std::string &description, unsigned n, const std::string &value);

  const IntegerRegistry &integers() const { return I_; }
  const IntegerVectorRegistry &integerVectors() const { return IV_; }
  const QuantityRegistry &quantities() const { return Q_; }
  const QuantityVectorRegistry &quantityVectors() const { return QV_; }
  const QuantityMatrixRegistry &quantityMatrices() const { return QM_; }
  // Calls visit on every value of the quantities (Q, QV, QM) of this object
  // and of the objects below it, depth first in tag order.
  void forEachQuantityValue(const std::function<void(Value &)> &visit);
  const StringRegistry &strings() const { return S_; }
  const StringVectorRegistry &stringVectors() const { return SV_; }

  // --- lookups
  // The variable of kind V (Integer, IntegerVector, Quantity, QuantityVector,
  // QuantityMatrix, String or StringVector) at a path without element
  // selection; ErrorRunTime from "Object::element" ("non-existant tag ...").
  template <class V> V &element(const std::string &path);
  template <class V> const V &element(const std::string &path) const;
  // The child at a path of tags, as an Object; ErrorRunTime from "Object::at"
  // ("Node is not an Object") when it is a plain node.
  Object &at(const std::string &path);
  const Object &at(const std::string &path) const;
  // The child tagged tag + "[" + i + "]".
  Object &at(const std::string &tag, int i);

  int &I(const std::string &path);
  int &I(const std::string &tag, int i);
  std::string &S(const std::string &path);
  std::string &S(const std::string &tag, int i);
  Value &Q(const std::string &path);
  Value &Q(const std::string &tag, int i);
  Value &Q(const std::string &tag, int i, int j);
  Value &Q(const std::string &tag, int i, std::string component);
  Value &Q(const std::string &tag, std::string component);

  // --- storage of the registries
  void insertStuff(Persistency &persistency, int offset) override;
  void updateStuff(Persistency &persistency, int offset) override;
  void retrieveQuantities(Persistency &persistency) override;
  void retrieveIntegersAndStrings(Persistency *persistency) override;
  bool integersAndStringsRead() const override;

  // --- options of a derived constructor: the stored value of the variable
  // name when the object is read back (persistency given, id the stored id),
  // else the option of the set. A negative value means defaultValue; the
  // result must lie strictly between lower and upper (ErrorRunTime from
  // "Object::retrieveInteger").
  int retrieveInteger(const Defaults &defaults, int id, Persistency *persistency, std::string name,
                      int lower, int upper, int defaultValue);
  // Likewise for strings; an empty value means defaultValue. No validation.
  std::string retrieveString(const Defaults &defaults, int id, Persistency *persistency,
                             std::string name, std::string defaultValue);
  // Tag, description and the present values of the options that the type's
  // registered descriptor lists.
  Defaults defaults() const;

  // --- snapshots of the SI values of every quantity of the subtree
  void push();
  // Restores and drops the top snapshot (values only: derivatives cleared,
  // units and flags kept); nothing happens without one.
  void pop();
  // Drops every snapshot.
  void clear();

  // JSON dump with the registries and children.
  std::ostream &printJson(std::ostream &stream, int level) const override;

protected:
  void setType(std::string type) { type_ = std::move(type); }

  // Element of the vector or matrix tag that belongs to a component. A plain
  // object has no components: it hands out a dimensionless zero of its own,
  // reset on every call, so a value written through it is never seen by a
  // later caller. Models resolve the component name.
  virtual Value &componentQ(const std::string &tag, int i, std::string component);
  virtual Value &componentQ(const std::string &tag, std::string component);

private:
  template <class V> std::map<std::string, V *> &registry();
  template <class V> const std::map<std::string, V *> &registry() const;
  template <class V> V *find(const std::string &tag) const;
  template <class V, class T>
  void fillVector(std::vector<V> &vector, const std::string &tag, const std::string &description,
                  unsigned n, const T &value);
  // The object that holds the last segment of a dotted tag, and that segment.
  Object &owner(const std::string &tag, std::string &rest);

  std::string type_;
  std::stack<std::map<std::string, double>> snapshots_;
  IntegerRegistry I_;
  IntegerVectorRegistry IV_;
  QuantityRegistry Q_;
  QuantityVectorRegistry QV_;
  QuantityMatrixRegistry QM_;
  StringRegistry S_;
  StringVectorRegistry SV_;
  // Changes of the integer and string registries (registrations, rebuilt
  // vectors), and their count when they were last read back.
  long integersAndStringsChanges_ = 0;
  long integersAndStringsReadAt_ = -1;
};
