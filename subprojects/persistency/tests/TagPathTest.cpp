// Tag paths: one table of paths with their results or errors.

#include "ErrorText.h"

#include "velta/persistency/Integer.h"
#include "velta/persistency/IntegerVector.h"
#include "velta/persistency/Object.h"
#include "velta/persistency/Quantity.h"
#include "velta/persistency/QuantityMatrix.h"
#include "velta/persistency/QuantityVector.h"
#include "velta/persistency/String.h"
#include "velta/persistency/StringVector.h"
#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A child object with the variables of a phase.
struct Leaf : Object {
  Leaf(const std::string &tag, Node &parent)
      : Object(Defaults(tag), parent.newId(), nullptr, &parent, parent.root()) {
    addVariable(mdot);
    addVariable(mdotcomps);
    for (int i = 0; i < 3; ++i)
      mdotcomps.at(i) = Value(1.0 + i, "kg/s");
  }
  Quantity mdot{"mdot", "", 8.0, "kg/s", nullptr};
  QuantityVector mdotcomps{"mdotcomps", "", 3, Value(), nullptr};
};

// The root of the table's paths. Like a model, it resolves component names,
// here by recording the call and handing out a value of its own.
struct Probe : Object {
  Probe() : Object(Defaults("P"), 0, nullptr, nullptr, nullptr) {
    for (int i = 0; i < 5; ++i)
      v.at(i) = Value(10.0 + i, "m");
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j)
        m(i, j) = 100.0 + 10 * i + j;
    n.value() = {1, 2, 3};
    s.value() = {"a", "b"};
    addVariable(x);
    addVariable(v);
    addVariable(v3);
    addVariable(m);
    addVariable(m10);
    addVariable(n);
    addVariable(s);
    addVariable(label);
    addVector(w, "w", "Width", 2, Value(20.0, "m"));
    w[1] = Value(21.0, "m");
  }
  Value &componentQ(const std::string &tag, int i, std::string component) override {
    call = tag + "|" + std::to_string(i) + "|" + component;
    return resolved;
  }
  Value &componentQ(const std::string &tag, std::string component) override {
    call = tag + "|" + component;
    return resolved;
  }

  Quantity x{"x", "", 5.0, "K", nullptr};
  QuantityVector v{"v", "", 5, Value(), nullptr};
  Quantity v3{"v[3]", "", 99.0, "m", nullptr};
  QuantityMatrix m{"m", "", 2, 3, Value(0.0), nullptr};
  Quantity m10{"m[1][0]", "", 77.0, "m", nullptr};
  IntegerVector n{"n", "", 3, 0, nullptr};
  StringVector s{"s", "", 2, "", nullptr};
  String label{"label", "", "text", nullptr};
  std::vector<Quantity> w;
  std::string call;
  Value resolved{-1.0};
};

Object &addObject(Node &parent, const std::string &tag) {
  auto child =
      std::make_unique<Object>(Defaults(tag), parent.newId(), nullptr, &parent, parent.root());
  return dynamic_cast<Object &>(parent.addChild(std::move(child)));
}

Leaf &addLeaf(Node &parent, const std::string &tag) {
  return dynamic_cast<Leaf &>(parent.addChild(std::make_unique<Leaf>(tag, parent)));
}

//   P: x, v (QV 10..14 m), v[3] (scalar 99 m), m (QM 2 x 3, 100 + 10 i + j),
//      m[1][0] (scalar 77 m),
//      n (IV 1 2 3), s (SV a b), label, w[0] w[1] (scalars 20 21 m)
//     S01 -> Tphase (mdot 8 kg/s, mdotcomps 1 2 3 kg/s)
//     A2 -> A -> S04 -> Sphase[0] (the same)
//     plain (a node that is no object), obj (a plain object with a leaf's variables)
std::unique_ptr<Probe> buildProbe() {
  auto probe = std::make_unique<Probe>();
  addLeaf(addObject(*probe, "S01"), "Tphase");
  addLeaf(addObject(addObject(addObject(*probe, "A2"), "A"), "S04"), "Sphase[0]");
  probe->addChild(std::make_unique<Node>(Defaults("plain"), probe->newId(), nullptr, probe.get(),
                                         probe->root()));
  addLeaf(*probe, "obj");
  return probe;
}

std::string error(const std::string &function, const std::string &message) {
  return runTimeError(function, message);
}

std::string bracket(const std::string &function, const std::string &problem) {
  return error(function, "incorrect square bracket syntax: " + problem);
}

std::string badIndex(const std::string &function, const std::string &index,
                     const std::string &path) {
  return bracket(function, "index \"" + index + "\" is not an integer in " + path);
}

// What a lookup gave: the value, the component call it made, or its error.
std::string lookUp(Probe &probe, char kind, const std::string &path) {
  probe.call.clear();
  try {
    std::ostringstream result;
    if (kind == 'Q')
      result << probe.Q(path).value();
    else if (kind == 'I')
      result << probe.I(path);
    else
      result << probe.S(path);
    if (!probe.call.empty())
      return "component " + probe.call;
    return result.str();
  } catch (const Error &e) {
    return e.message();
  }
}

} // namespace

TEST(TagPath, EveryFormGivesItsResultOrItsError) {
  const std::string outside =
      error("TypeVector::at", "index is outside range: index larger than vector size");
  struct Case {
    char kind;
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      // scalars and elements; a scalar registered under the element's tag first
      {'Q', "x", "5"},
      {'Q', "v[3]", "99"},
      {'Q', "v[2]", "12"},
      {'Q', "v[+2]", "12"},
      {'Q', "w[1]", "21"},
      {'Q', "v[5]", outside},
      {'Q', "v[-1]", outside},
      {'Q', "m[1][2]", "112"},
      {'Q', "m[1,2]", "112"},
      {'Q', "m[0,+1]", "101"},
      {'Q', "m[1][0]", "77"},
      {'Q', "m[1,0]", "77"},
      {'Q', "m[2,0]",
       error("QuantityMatrix::operator()",
             "row index is outside range: index larger than number of rows")},
      {'Q', "m[1,3]", outside},
      // component names go to the model's resolution
      {'Q', "v[Inert]", "component v|Inert"},
      {'Q', "v[2,Inert]", "component v|2|Inert"},
      {'Q', "v[]", "component v|"},
      {'Q', "v[2,]", "component v|2|"},
      {'Q', "v[ 2]", "component v| 2"},
      // the object asked resolves them, also for a child's variable
      {'Q', "obj.mdotcomps[Inert]", "component obj.mdotcomps|Inert"},
      {'Q', "obj.mdotcomps[2,Inert]", "component obj.mdotcomps|2|Inert"},
      // nested children; brackets before the first "." belong to a tag
      {'Q', "S01:Tphase.mdotcomps[2]", "3"},
      {'Q', "S01:Tphase.mdot", "8"},
      {'Q', "A2:A:S04:Sphase[0].mdot", "8"},
      {'Q', "A2:A:S04:Sphase[0].mdotcomps[1]", "2"},
      {'Q', "S01.Tphase.mdot", "8"},
      // strict indices and bracket syntax
      {'Q', "v[2-]", badIndex("Object::Q", "2-", "v[2-]")},
      {'Q', "v[--2]", badIndex("Object::Q", "--2", "v[--2]")},
      {'Q', "v[a,2]", badIndex("Object::Q", "a", "v[a,2]")},
      {'Q', "m[1,2-]", badIndex("Object::Q", "2-", "m[1,2-]")},
      {'Q', "v[99999999999]", badIndex("Object::Q", "99999999999", "v[99999999999]")},
      {'Q', "m[1][2][3]", bracket("Object::Q", "text after closing bracket in m[1,2][3]")},
      {'Q', "v[1]x", bracket("Object::Q", "text after closing bracket in v[1]x")},
      {'Q', "v]1[", bracket("Object::Q", "wrong bracket order")},
      {'Q', "v[1", bracket("Object::Q", "missing closing bracket")},
      {'Q', "a.b[", bracket("Object::Q", "missing closing bracket")},
      // missing tags and children
      {'Q', "", error("Object::element", "non-existant tag ")},
      {'Q', "S01.", error("Object::element", "non-existant tag ")},
      {'Q', ".x", error("Node::child", "non-existant tag ")},
      {'Q', "S02.x", error("Node::child", "non-existant tag S02")},
      {'Q', "plain.x", error("Object::at", "Node is not an Object")},
      {'Q', "S01:Tphase.T", error("Object::element", "non-existant tag T")},
      // integers and strings have no component form
      {'I', "n[1]", "2"},
      {'I', "n[+0]", "1"},
      {'I', "n[-1]", outside},
      {'I', "n[a]", badIndex("Object::I", "a", "n[a]")},
      {'I', "n[2-]", badIndex("Object::I", "2-", "n[2-]")},
      {'I', "n[]", badIndex("Object::I", "", "n[]")},
      {'I', "n[1][2]", bracket("Object::I", "text after closing bracket in n[1][2]")},
      {'I', "n]1[", bracket("Object::I", "wrong bracket order")},
      {'S', "s[1]", "b"},
      {'S', "label", "text"},
      {'S', "s[x]", badIndex("Object::S", "x", "s[x]")},
      {'S', "s[0", bracket("Object::S", "missing closing bracket")},
  };
  auto probe = buildProbe();
  for (const Case &c : cases)
    EXPECT_EQ(lookUp(*probe, c.kind, c.path), c.expected) << c.kind << " " << c.path;
}

TEST(TagPath, ValuesAreWrittenThroughTheLookups) {
  auto probe = buildProbe();
  probe->Q("S01:Tphase.mdotcomps[1]") = Value(6.0, "kg/s");
  probe->I("n[2]") = 30;
  probe->S("s[0]") = "z";
  EXPECT_EQ(probe->at("S01:Tphase").element<QuantityVector>("mdotcomps").at(1).value(), 6.0);
  EXPECT_EQ(probe->n.at(2), 30);
  EXPECT_EQ(probe->s.at(0), "z");
  EXPECT_EQ(&probe->at("A2:A:S04:Sphase", 0), &probe->at("A2:A:S04:Sphase[0]"));
}

TEST(TagPath, APlainObjectHasNoComponentsAndItsZeroIsNeverSeenChanged) {
  auto probe = buildProbe();
  Object &plain = probe->at("obj");
  for (const char *path : {"mdotcomps[Inert]", "mdotcomps[2,Inert]", "mdotcomps[]"}) {
    Value &zero = plain.Q(path);
    EXPECT_EQ(zero.value(), 0.0) << path;
    EXPECT_EQ(zero.uom(), Value(0.0).uom()) << path;
    zero = 5.0;
    zero.setInput();
    const Value &again = plain.Q(path);
    EXPECT_EQ(again.value(), 0.0) << path;
    EXPECT_FALSE(again.input()) << path;
  }
  EXPECT_EQ(plain.Q("mdotcomps", 1, "Inert").value(), 0.0);
}
