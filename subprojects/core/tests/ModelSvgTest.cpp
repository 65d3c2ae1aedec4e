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

  EXPECT_EQ(readFile(scratch.file("101.svg")),
            R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="100" height="100" version="1.1">
  <image xlink:href="/static/phase.png" width="100" height="100"/>
</svg>
)");
  const std::vector<std::pair<std::string, std::string>> references = {
      {"100.svg", "/static/other.png"},
      {"102.svg", "/static/option.png"},
      {"103.svg", "/static/stream.png"}};
  for (const auto &[name, href] : references)
    EXPECT_NE(readFile(scratch.file(name)).find("xlink:href=\"" + href + "\""), std::string::npos)
        << name;
  ASSERT_EQ(xmllint("--version"), 0) << "xmllint (libxml2-utils) is needed";
  EXPECT_EQ(xmllint("--noout " + scratch.file("100.svg") + " " + scratch.file("101.svg") + " " +
                    scratch.file("102.svg") + " " + scratch.file("103.svg")),
            0);

  std::vector<std::string> vector;
  my_cast<Model *>(&root->child("B"), "test")
      ->printSvgAll(scratch.path().c_str(), false, false, 0, vector);
  EXPECT_EQ(vector, std::vector<std::string>{"1.svg"});
  EXPECT_NE(readFile(scratch.file("1.svg")).find("xlink:href=\"/static/phase.svg\""),
            std::string::npos);
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
