#include "ModelTestTypes.h"
#include "ScratchDirectory.h"

#include "velta/utility/Error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ModelSvg, EveryModelOfTheTreeWritesItsIconNamedAfterItsStoredId) {
  // ROOT (flowsheet) > B (phase, created first), A (option) > A1 (stream), and
  // a plain node N that is skipped. Ids follow creation: B 1, A 2, A1 3.
  auto root = createModel<ModelTestLeaf>("ModelTestLeaf",
                                         Defaults("ROOT", "Root").setInteger("category", 4));
  root->addChild("ModelTestLeaf", Defaults("B", "").setInteger("category", 1));
  Node &a = root->addChild("ModelTestLeaf", Defaults("A", "").setInteger("category", 5));
  a.addChild("ModelTestLeaf", Defaults("A1", "").setInteger("category", 2));
  root->addChild(std::make_unique<Node>(Defaults("N", "Plain node"), root->newId(), nullptr,
                                        root.get(), root.get()));

  ScratchDirectory scratch;
  std::vector<std::string> names{"kept.svg"};
  root->setVerbosity(3);
  testing::internal::CaptureStdout();
  root->printSvgAll(scratch.path().c_str(), true, true, 100, names);
  const std::string log = testing::internal::GetCapturedStdout();

  // Pre-order, children in tag order.
  EXPECT_EQ(names,
            (std::vector<std::string>{"kept.svg", "100.svg", "102.svg", "103.svg", "101.svg"}));
  EXPECT_FALSE(std::filesystem::exists(scratch.file("104.svg")));
  EXPECT_NE(log.find("Model::printSvgAll **** Looking at: N type = Node\n"), std::string::npos)
      << log;

  // Each file draws its category's icon (tiny: the Tiny document type) and
  // refers to no image file.
  EXPECT_EQ(readFile(scratch.file("101.svg")),
            R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.1 Tiny//EN" "http://www.w3.org/Graphics/SVG/1.1/DTD/svg11-tiny.dtd">
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="100" version="1.1" baseProfile="tiny">
  <g fill="#eef3f8" stroke="black" stroke-width="1">
    <circle cx="50" cy="50" r="40" />
  </g>
</svg>
)");
  const std::vector<std::pair<std::string, std::string>> artworks = {
      {"100.svg", "<rect x=\"8\" y=\"8\" width=\"84\" height=\"84\" />"},
      {"102.svg", "<polygon points=\"50,8 92,50 50,92 8,50\" />"},
      {"103.svg", "<line x1=\"8\" y1=\"50\" x2=\"74\" y2=\"50\" />"}};
  for (const auto &[name, shape] : artworks) {
    const std::string text = readFile(scratch.file(name));
    EXPECT_NE(text.find(shape), std::string::npos) << name << "\n" << text;
    EXPECT_EQ(text.find("href"), std::string::npos) << name;
  }
  ASSERT_EQ(xmllint("--version"), 0) << "xmllint (libxml2-utils) is needed";
  EXPECT_EQ(xmllint("--noout --valid --nonet " + scratch.file("100.svg") + " " +
                    scratch.file("101.svg") + " " + scratch.file("102.svg") + " " +
                    scratch.file("103.svg")),
            0);

  // Not tiny: SVG 1.1, valid too.
  std::vector<std::string> vector;
  my_cast<Model *>(&root->child("B"), "test")
      ->printSvgAll(scratch.path().c_str(), false, false, 0, vector);
  EXPECT_EQ(vector, std::vector<std::string>{"1.svg"});
  EXPECT_NE(readFile(scratch.file("1.svg")).find("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\""),
            std::string::npos);
  EXPECT_EQ(xmllint("--noout --valid --nonet " + scratch.file("1.svg")), 0);
}

TEST(ModelSvg, AnIconThatCannotBeWrittenIsAnError) {
  auto leaf = createModel<ModelTestLeaf>("ModelTestLeaf", Defaults("L", "Leaf"));
  ScratchDirectory scratch;
  const std::string missing = scratch.file("missing");
  std::vector<std::string> names;
  try {
    leaf->printSvgAll(missing.c_str(), true, true, 7, names);
    FAIL() << "no error";
  } catch (const ErrorRunTime &error) {
    EXPECT_EQ(error.message(), "Error was thrown by function: Model::printSvg\n"
                               "Generic Run-Time error: can not write to " +
                                   missing + "/7.svg\n");
  }
  EXPECT_TRUE(names.empty());
}
