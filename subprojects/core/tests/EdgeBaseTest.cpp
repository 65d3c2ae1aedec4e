#include "velta/core/EdgeBase.h"

#include <gtest/gtest.h>

namespace {

class TestStream : public EdgeBase {
public:
  explicit TestStream(const Defaults &defaults)
      : Object(defaults, 0, nullptr, nullptr, nullptr),
        Model(defaults, 0, nullptr, nullptr, nullptr),
        EdgeBase(defaults, 0, nullptr, nullptr, nullptr) {}
  void go(int, int) override {}
  void calculate(int) override {}
  void setup() override {}
  void initializeNonPersistents() override {}
  ObjectiveNleAd *objectiveFunction() override { return nullptr; }
};

TEST(EdgeBase, StringsWithDefaultsAndDrawing) {
  TestStream stream(Defaults("S01", "a stream"));
  const struct {
    const char *tag;
    const char *description;
    const char *value;
  } expected[] = {
      {"fromTAG", "Tag of source Vertex", "source"},
      {"toTAG", "Tag of destination Vertex", "sink"},
      {"fromPort", "Tag of port description for source", "out"},
      {"toPort", "Tag of port description for destination", "in"},
      {"cutsource", "TAG of source of cut stream", ""},
      {"cutdest", "TAG of dest of cut stream", ""},
  };
  ASSERT_EQ(stream.strings().size(), 6u);
  for (const auto &e : expected) {
    const String &variable = stream.element<String>(e.tag);
    EXPECT_EQ(variable.description(), e.description) << e.tag;
    EXPECT_EQ(variable.value(), e.value) << e.tag;
    EXPECT_EQ(variable.parent(), &stream) << e.tag;
  }
  stream.toPort = "in2";
  EXPECT_EQ(stream.S("toPort"), "in2");

  EXPECT_EQ(stream.lineColor(), "blue");
  EXPECT_EQ(stream.lineWidth(), 2.0);
  EXPECT_EQ(stream.category(), 2);
  EXPECT_EQ(stream.lock(), 0);
}

} // namespace
