#include "velta/persistency/Object.h"

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/NodeFactory.h"
#include "velta/persistency/Persistency.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"
#include "velta/utility/Json.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <locale>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

namespace {

constexpr const char *sourceFile = "subprojects/persistency/src/Object";

// ------------------------------------------------------------ tag paths

// "x[inner]" split into the text before the bracket and the text inside. A
// "[" belongs to the variable only after the first "." (or anywhere when the
// path has none); before it, it is part of a child tag.
struct BracketForm {
  std::string name;
  std::string inner;
};

std::optional<BracketForm> splitBracket(const std::string &path, const char *function) {
  const std::size_t dot = path.find('.');
  const std::size_t from = dot == std::string::npos ? 0 : dot + 1;
  const std::size_t open = path.find('[', from);
  if (open == std::string::npos)
    return std::nullopt;
  const std::size_t close = path.find(']', from);
  if (close == std::string::npos)
    throw ErrorRunTime(function, "incorrect square bracket syntax: missing closing bracket");
  if (close < open)
    throw ErrorRunTime(function, "incorrect square bracket syntax: wrong bracket order");
  if (close + 1 != path.size())
    throw ErrorRunTime(
        function,
        ("incorrect square bracket syntax: text after closing bracket in " + path).c_str());
  return BracketForm{path.substr(0, open), path.substr(open + 1, close - open - 1)};
}

// An index: an optional sign and at least one digit, within the int range.
int parseIndex(const std::string &text, const std::string &path, const char *function) {
  std::size_t position = 0;
  if (!text.empty() && (text[0] == '+' || text[0] == '-'))
    position = 1;
  bool valid = position < text.size();
  long long value = 0;
  for (std::size_t k = position; valid && k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') {
      valid = false;
      break;
    }
    value = value * 10 + (text[k] - '0');
    if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
      valid = false;
  }
  if (valid && text[0] == '-')
    value = -value;
  if (!valid || value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    throw ErrorRunTime(function, ("incorrect square bracket syntax: index \"" + text +
                                  "\" is not an integer in " + path)
                                     .c_str());
  return static_cast<int>(value);
}

bool onlySignsAndDigits(const std::string &text) {
  return text.find_first_not_of("0123456789+-") == std::string::npos;
}

std::string indexedKey(const std::string &rest, int i) {
  return rest + "[" + std::to_string(i) + "]";
}

// An int index widened with its sign, so that a negative one fails the
// vector's range test.
std::size_t widen(int i) { return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i)); }

// Ids in log lines are written as unsigned 32-bit numbers.
std::uint32_t logId(int id) { return static_cast<std::uint32_t>(id); }

// ------------------------------------------------------------ output helpers

std::ostringstream classicStream() {
  std::ostringstream stream;
  stream.imbue(std::locale::classic());
  return stream;
}

template <class Printable> std::string printed(const Printable &printable) {
  std::ostringstream stream = classicStream();
  printable.print(stream);
  return stream.str();
}

std::string printedJson(const StringVector &vector) {
  std::ostringstream stream = classicStream();
  vector.printJson(stream);
  return stream.str();
}

// The checked downcast of a child for the walks over the tree.
Object &asObject(Node &node, const char *caller) {
  if (auto *object = dynamic_cast<Object *>(&node))
    return *object;
  throw ErrorDynamicCast(caller, node.type().c_str(), "Object *", node.tag().c_str());
}

} // namespace

// ---------------------------------------------------------------- lifetime

Object::Object(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root)
    : Node(std::move(defaults), id, persistency, parent, root), type_("Object") {}

Object::~Object() = default;

std::string Object::type() const { return type_; }

// ---------------------------------------------------------------- registries

template <> IntegerRegistry &Object::registry<Integer>() { return I_; }
template <> IntegerVectorRegistry &Object::registry<IntegerVector>() { return IV_; }
template <> QuantityRegistry &Object::registry<Quantity>() { return Q_; }
template <> QuantityVectorRegistry &Object::registry<QuantityVector>() { return QV_; }
template <> QuantityMatrixRegistry &Object::registry<QuantityMatrix>() { return QM_; }
template <> StringRegistry &Object::registry<String>() { return S_; }
template <> StringVectorRegistry &Object::registry<StringVector>() { return SV_; }

template <class V> const std::map<std::string, V *> &Object::registry() const {
  return const_cast<Object *>(this)->registry<V>();
}

template <class V> V *Object::find(const std::string &tag) const {
  const auto &entries = registry<V>();
  auto found = entries.find(tag);
  return found == entries.end() ? nullptr : found->second;
}

void Object::addVariable(Integer &variable) {
  ++integersAndStringsChanges_;
  I_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(IntegerVector &variable) {
  ++integersAndStringsChanges_;
  IV_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(Quantity &variable) {
  Q_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(QuantityVector &variable) {
  QV_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(QuantityMatrix &variable) {
  QM_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(String &variable) {
  ++integersAndStringsChanges_;
  S_[variable.tag()] = &variable;
  variable.setParent(this);
}
void Object::addVariable(StringVector &variable) {
  ++integersAndStringsChanges_;
  SV_[variable.tag()] = &variable;
  variable.setParent(this);
}

template <class V, class T>
void Object::fillVector(std::vector<V> &vector, const std::string &tag,
                        const std::string &description, unsigned n, const T &value) {
  auto &entries = registry<V>();
  ++integersAndStringsChanges_;
  if (vector.size() != n) {
    // Rebuilt rather than grown: growing would move elements that the
    // registry already points to.
    for (V &old : vector) {
      auto found = entries.find(old.tag());
      if (found != entries.end() && found->second == &old)
        entries.erase(found);
    }
    vector.clear();
    vector.reserve(n);
    for (unsigned i = 0; i < n; ++i)
      vector.emplace_back(tag + "[" + std::to_string(i) + "]",
                          description + " of item " + std::to_string(i), value, this);
  }
  for (V &element : vector)
    entries[element.tag()] = &element;
}

void Object::addVector(std::vector<Integer> &vector, const std::string &tag,
                       const std::string &description, unsigned n, int value) {
  fillVector(vector, tag, description, n, value);
}

void Object::addVector(std::vector<Quantity> &vector, const std::string &tag,
                       const std::string &description, unsigned n, const Value &value) {
  fillVector(vector, tag, description, n, value);
}

void Object::addVector(std::vector<String> &vector, const std::string &tag,
                       const std::string &description, unsigned n, const std::string &value) {
  fillVector(vector, tag, description, n, value);
}

// ---------------------------------------------------------------- lookups

template <class V> V &Object::element(const std::string &path) {
  return const_cast<V &>(static_cast<const Object &>(*this).element<V>(path));
}

template <class V> const V &Object::element(const std::string &path) const {
  const std::size_t dot = path.find('.');
  if (!path.empty() && dot != std::string::npos)
    return at(path.substr(0, dot)).element<V>(path.substr(dot + 1));
  if (V *variable = find<V>(path))
    return *variable;
  throw ErrorRunTime("Object::element", ("non-existant tag " + path).c_str());
}

template Integer &Object::element<Integer>(const std::string &);
template IntegerVector &Object::element<IntegerVector>(const std::string &);
template Quantity &Object::element<Quantity>(const std::string &);
template QuantityVector &Object::element<QuantityVector>(const std::string &);
template QuantityMatrix &Object::element<QuantityMatrix>(const std::string &);
template String &Object::element<String>(const std::string &);
template StringVector &Object::element<StringVector>(const std::string &);
template const Integer &Object::element<Integer>(const std::string &) const;
template const IntegerVector &Object::element<IntegerVector>(const std::string &) const;
template const Quantity &Object::element<Quantity>(const std::string &) const;
template const QuantityVector &Object::element<QuantityVector>(const std::string &) const;
template const QuantityMatrix &Object::element<QuantityMatrix>(const std::string &) const;
template const String &Object::element<String>(const std::string &) const;
template const StringVector &Object::element<StringVector>(const std::string &) const;

Object &Object::at(const std::string &path) {
  return const_cast<Object &>(static_cast<const Object &>(*this).at(path));
}

const Object &Object::at(const std::string &path) const {
  const auto *object = dynamic_cast<const Object *>(&child(path));
  if (!object)
    throw ErrorRunTime("Object::at", "Node is not an Object");
  return *object;
}

Object &Object::at(const std::string &tag, int i) { return at(indexedKey(tag, i)); }

Object &Object::owner(const std::string &tag, std::string &rest) {
  Object *holder = this;
  rest = tag;
  for (std::size_t dot = rest.find('.'); dot != std::string::npos; dot = rest.find('.')) {
    holder = &holder->at(rest.substr(0, dot));
    rest = rest.substr(dot + 1);
  }
  return *holder;
}

int &Object::I(const std::string &path) {
  if (auto bracket = splitBracket(path, "Object::I"))
    return I(bracket->name, parseIndex(bracket->inner, path, "Object::I"));
  return element<Integer>(path).value();
}

int &Object::I(const std::string &tag, int i) {
  std::string rest;
  Object &holder = owner(tag, rest);
  if (Integer *scalar = holder.find<Integer>(indexedKey(rest, i)))
    return scalar->value();
  return holder.element<IntegerVector>(rest).at(widen(i));
}

std::string &Object::S(const std::string &path) {
  if (auto bracket = splitBracket(path, "Object::S"))
    return S(bracket->name, parseIndex(bracket->inner, path, "Object::S"));
  return element<String>(path).value();
}

std::string &Object::S(const std::string &tag, int i) {
  std::string rest;
  Object &holder = owner(tag, rest);
  if (String *scalar = holder.find<String>(indexedKey(rest, i)))
    return scalar->value();
  return holder.element<StringVector>(rest).at(widen(i));
}

Value &Object::Q(const std::string &path) {
  // x[1][2] reads as x[1,2].
  std::string rewritten = path;
  const std::size_t dot = rewritten.find('.');
  const std::size_t pair = rewritten.find("][", dot == std::string::npos ? 0 : dot + 1);
  if (pair != std::string::npos) {
    // Drop the "]" and turn the "[" into ",": the same as replacing "]["
    // by ",", without GCC 12's false -Wrestrict report on that replace.
    rewritten.erase(pair, 1);
    rewritten[pair] = ',';
  }

  auto bracket = splitBracket(rewritten, "Object::Q");
  if (!bracket)
    return element<Quantity>(rewritten);
  const std::string &name = bracket->name;
  const std::string &inner = bracket->inner;
  if (inner.empty())
    return componentQ(name, std::string());
  const std::size_t comma = inner.find(',');
  if (comma != std::string::npos) {
    const int first = parseIndex(inner.substr(0, comma), path, "Object::Q");
    const std::string second = inner.substr(comma + 1);
    if (second.empty() || !onlySignsAndDigits(second))
      return componentQ(name, first, second);
    return Q(name, first, parseIndex(second, path, "Object::Q"));
  }
  if (onlySignsAndDigits(inner))
    return Q(name, parseIndex(inner, path, "Object::Q"));
  return componentQ(name, inner);
}

Value &Object::Q(const std::string &tag, int i) {
  std::string rest;
  Object &holder = owner(tag, rest);
  if (Quantity *scalar = holder.find<Quantity>(indexedKey(rest, i)))
    return *scalar;
  return holder.element<QuantityVector>(rest).at(widen(i));
}

Value &Object::Q(const std::string &tag, int i, int j) {
  std::string rest;
  Object &holder = owner(tag, rest);
  const std::string key = rest + "[" + std::to_string(i) + "][" + std::to_string(j) + "]";
  if (Quantity *scalar = holder.find<Quantity>(key))
    return *scalar;
  return holder.element<QuantityMatrix>(rest)(widen(i), widen(j));
}

Value &Object::Q(const std::string &tag, int i, std::string component) {
  return componentQ(tag, i, std::move(component));
}

Value &Object::Q(const std::string &tag, std::string component) {
  return componentQ(tag, std::move(component));
}

Value &Object::componentQ(const std::string &, int, std::string) {
  static Value zero(0.0);
  std::destroy_at(&zero);
  std::construct_at(&zero, 0.0);
  return zero;
}

Value &Object::componentQ(const std::string &, std::string) {
  static Value zero(0.0);
  std::destroy_at(&zero);
  std::construct_at(&zero, 0.0);
  return zero;
}

// ---------------------------------------------------------------- assignment

Object &Object::operator=(const Node &other) {
  if (this == &other)
    return *this;
  Node::operator=(other);
  if (type_.empty())
    type_ = other.type();
  const auto *source = dynamic_cast<const Object *>(&other);
  if (!source)
    return *this;
  for (const auto &[tag, quantity] : source->Q_)
    if (Quantity *target = find<Quantity>(tag)) {
      *target = *quantity;
      target->setParent(this);
    }
  for (const auto &[tag, vector] : source->QV_)
    if (QuantityVector *target = find<QuantityVector>(tag)) {
      target->assignName(*vector);
      std::vector<Value> elements(vector->value());
      target->value().swap(elements);
      target->input() = vector->input();
      target->output() = vector->output();
      target->setParent(this);
    }
  for (const auto &[tag, matrix] : source->QM_)
    if (QuantityMatrix *target = find<QuantityMatrix>(tag)) {
      target->assignName(*matrix);
      std::vector<Value> elements(matrix->value());
      target->value().swap(elements);
      target->setRows(matrix->rows());
      target->input() = matrix->input();
      target->output() = matrix->output();
      target->setParent(this);
    }
  return *this;
}

Object &Object::operator=(Node &&other) { return operator=(static_cast<const Node &>(other)); }

void Object::forEachQuantityValue(const std::function<void(Value &)> &visit) {
  for (const auto &[tag, quantity] : Q_)
    visit(*quantity);
  for (const auto &[tag, vector] : QV_)
    for (std::size_t i = 0; i < vector->size(); ++i)
      visit((*vector)[i]);
  for (const auto &[tag, matrix] : QM_)
    for (std::size_t i = 0; i < matrix->size(); ++i)
      visit((*matrix)[i]);
  for (const auto &[tag, child] : children())
    if (auto *inner = dynamic_cast<Object *>(child.get()))
      inner->forEachQuantityValue(visit);
}

Object &Object::operator=(const Object &other) {
  return operator=(static_cast<const Node &>(other));
}

// ---------------------------------------------------------------- storage

void Object::insertStuff(Persistency &persistency, int offset) {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 2, "Object::insertStuff",
            "Inserting persistent variables for " << fullTag() << " with offset = " << offset);
  persistency.insert(I_, offset);
  persistency.insert(IV_, offset);
  persistency.insert(Q_, offset);
  persistency.insert(QV_, offset);
  persistency.insert(QM_, offset);
  persistency.insert(S_, offset);
  persistency.insert(SV_, offset);
  VELTA_LOG(verbosity(), 2, "Object::insertStuff",
            "Done with inserting persistent variables for " << fullTag());
  VELTA_TRACE_END("Object::insertStuff")
}

void Object::updateStuff(Persistency &persistency, int offset) {
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 2, "Object::updateStuff",
            "Updating persistent variables for " << fullTag() << " with offset = " << offset);
  const int storedId = id() - offset;
  persistency.update(storedId);
  persistency.update(storedId, I_);
  persistency.updateVector(storedId, IV_);
  persistency.update(storedId, Q_);
  persistency.updateVector(storedId, QV_);
  persistency.updateVector(storedId, QM_);
  persistency.update(storedId, S_);
  persistency.updateVector(storedId, SV_);
  VELTA_LOG(verbosity(), 2, "Object::updateStuff",
            "Done with updating persistent variables for " << fullTag());
  VELTA_TRACE_END("Object::updateStuff")
}

void Object::retrieveQuantities(Persistency &persistency) {
  const int stored = storedId();
  persistency.read(stored, Q_);
  persistency.read(stored, QV_);
  persistency.read(stored, QM_);
}

void Object::retrieveIntegersAndStrings(Persistency *persistency) {
  if (!persistency)
    return;
  const int stored = storedId();
  persistency->read(stored, I_);
  persistency->read(stored, IV_);
  persistency->read(stored, S_);
  persistency->read(stored, SV_);
  integersAndStringsReadAt_ = integersAndStringsChanges_;
}

bool Object::integersAndStringsRead() const {
  return integersAndStringsReadAt_ == integersAndStringsChanges_;
}

int Object::retrieveInteger(const Defaults &defaults, int id, Persistency *persistency,
                            std::string name, int lower, int upper, int defaultValue) {
  VELTA_LOG(verbosity(), 1, "Object::retrieveInteger",
            "Parsing integer " << name << " with id " << logId(id) << " between " << lower
                               << " and " << upper << " default = " << defaultValue);
  int value;
  if (persistency) {
    value = persistency->readInteger(id, name);
    VELTA_LOG(verbosity(), 2, "Object::retrieveInteger", "value read from persistency = " << value);
  } else {
    value = defaults.getInteger(name);
    VELTA_LOG(verbosity(), 2, "Object::retrieveInteger", "value read from defaults = " << value);
  }
  if (value < 0)
    value = defaultValue;
  if (!(lower < value))
    throw ErrorRunTime("Object::retrieveInteger",
                       ("Integer parameter " + name + " = " + std::to_string(value) +
                        " must be stricly greater than " + std::to_string(lower))
                           .c_str());
  if (!(value < upper))
    throw ErrorRunTime("Object::retrieveInteger",
                       ("Integer parameter " + name + " = " + std::to_string(value) +
                        " must be stricly smaller than " + std::to_string(upper))
                           .c_str());
  VELTA_LOG(verbosity(), 2, "Object::retrieveInteger", "Done, value = " << value);
  return value;
}

std::string Object::retrieveString(const Defaults &defaults, int id, Persistency *persistency,
                                   std::string name, std::string defaultValue) {
  VELTA_LOG(verbosity(), 1, "Object::retrieveString",
            "Parsing string " << name << " with id " << logId(id) << " default = " << defaultValue);
  std::string value;
  if (persistency) {
    value = persistency->readString(id, name);
    VELTA_LOG(verbosity(), 2, "Object::retrieveString", "value read from persistency = " << value);
  } else {
    value = defaults.getString(name);
    VELTA_LOG(verbosity(), 2, "Object::retrieveString", "value read from defaults = " << value);
  }
  if (value.empty())
    value = std::move(defaultValue);
  VELTA_LOG(verbosity(), 2, "Object::retrieveString", "Done, value = " << value);
  return value;
}

Defaults Object::defaults() const {
  Defaults result(tag(), description());
  const TypeDescriptor &descriptor = NodeFactory().typeDescriptor(type());
  auto *self = const_cast<Object *>(this);
  for (const IntegerOption &option : descriptor.integerOptions)
    result.setInteger(option.name, self->I(option.name));
  for (const StringOption &option : descriptor.stringOptions)
    result.setString(option.name, self->S(option.name));
  return result;
}

// ---------------------------------------------------------------- snapshots

void Object::push() {
  VELTA_LOG(verbosity(), 1, "Object::push", "Entered for " << tag() << " with id " << logId(id()));
  auto &snapshot = snapshots_.emplace();
  for (const auto &[tag, quantity] : Q_) {
    VELTA_LOG(verbosity(), 2, "Object::push",
              "Saving " << quantity->fullTag() << " = " << quantity->value());
    snapshot[tag] = quantity->value();
  }
  for (const auto &entry : children())
    asObject(*entry.second, "Object::push").push();
  VELTA_LOG(verbosity(), 2, "Object::push", "Done");
}

void Object::pop() {
  VELTA_LOG(verbosity(), 1, "Object::pop", "Entered for " << tag() << " with id " << logId(id()));
  if (!snapshots_.empty()) {
    auto &snapshot = snapshots_.top();
    for (const auto &[tag, quantity] : Q_) {
      const double saved = snapshot[tag];
      VELTA_LOG(verbosity(), 2, "Object::pop",
                "Retrieving " << quantity->fullTag() << " = " << saved);
      quantity->activeValue() = saved;
    }
    for (const auto &entry : children())
      asObject(*entry.second, "Object::pop").pop();
    snapshots_.pop();
  }
  VELTA_LOG(verbosity(), 2, "Object::pop", "Done");
}

void Object::clear() {
  VELTA_LOG(verbosity(), 1, "Object::clear", "Entered for " << tag() << " with id " << logId(id()));
  snapshots_ = {};
  for (const auto &entry : children())
    asObject(*entry.second, "Object::clear").clear();
  VELTA_LOG(verbosity(), 2, "Object::clear", "Done");
}

// ---------------------------------------------------------------- output

std::ostream &Object::printJson(std::ostream &stream, int level) const {
  using Velta::Utility::jsonQuote;
  VELTA_ASSERT_AS(level >= 0, "level >= 0", sourceFile, __LINE__);
  const std::string indent(2 * static_cast<std::size_t>(level), ' ');
  printJsonHead(stream, indent);

  // One registry section; QM closes on the line of its last entry.
  auto section = [&](const char *name, const auto &entries, auto valueText, bool closeInline) {
    if (entries.empty())
      return;
    stream << "," << std::endl << indent << "  \"" << name << "\": {" << std::endl;
    bool first = true;
    for (const auto &[tag, variable] : entries) {
      if (!first)
        stream << "," << std::endl;
      first = false;
      stream << indent << "    " << jsonQuote(tag) << ": " << valueText(*variable);
    }
    if (closeInline)
      stream << "}";
    else
      stream << std::endl << indent << "  }";
  };
  section(
      "I", I_, [](const Integer &v) { return jsonQuote(std::to_string(v.value())); }, false);
  section(
      "IV", IV_, [](const IntegerVector &v) { return printed(v); }, false);
  section(
      "Q", Q_, [](const Quantity &v) { return jsonQuote(printed(v)); }, false);
  section(
      "QV", QV_, [](const QuantityVector &v) { return jsonQuote(printed(v)); }, false);
  section(
      "QM", QM_, [](const QuantityMatrix &v) { return printed(v); }, true);
  section(
      "S", S_, [](const String &v) { return jsonQuote(v.value()); }, false);
  section(
      "SV", SV_, [](const StringVector &v) { return printedJson(v); }, false);

  printJsonChildren(stream, level, "  }");
  return stream << std::endl << indent << "}";
}
