// The kernel's own data: handles' UUID test, the component set, the
// command-line helpers, and the descriptor.
#include "velta/components/ComponentGeneric.h"
#include "velta/components/ListComponents.h"
#include "velta/user/CommandLine.h"
#include "velta/user/Handle.h"
#include "velta/user/KernelComponents.h"
#include "velta/user/KernelDescriptor.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using Velta::User::Handle;

TEST(Handle, UuidFormat) {
  EXPECT_TRUE(Handle::isValidUuid("f4b84305-8240-4650-b5e4-e7f8995694ae"));
  for (const char *uuid :
       {"f4b84305-8240x4650-b5e4-e7f8995694ae", "F4B84305-8240-4650-B5E4-E7F8995694AE",
        "invalid", "", "f4b84305-8240-4650-b5e4-e7f8995694a", "f4b84305-8240-4650-b5e4-e7f8995694aeb",
        "g4b84305-8240-4650-b5e4-e7f8995694ae"}) {
    SCOPED_TRACE(uuid);
    EXPECT_FALSE(Handle::isValidUuid(uuid));
  }
}

TEST(Handle, CopiesAreIndependent) {
  auto original = std::make_unique<Handle>(7, "u", "T", "tag", "d", 1.0, 2.0);
  Handle copy(*original);
  original.reset();
  EXPECT_EQ(copy.id(), 7);
  EXPECT_EQ(copy.uuid(), "u");
  EXPECT_EQ(Handle::invalid().id(), -1);
  EXPECT_FALSE(Handle::invalid().isValid());
}

TEST(KernelComponents, ElevenInOrder) {
  addKernelComponents();
  const std::vector<std::string> names = {"H2O",   "H2",     "Chemical1", "Chemical2",
                                          "Chemical3", "Chemical4", "Inert", "Metal1",
                                          "Metal2", "Salt1", "Salt2"};
  ASSERT_EQ(components.count(), 11);
  ASSERT_EQ(NCOMPONENTS, 11);
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(components[i]->name(), names[static_cast<std::size_t>(i)]);
  EXPECT_EQ(components.lookup("Salt1"), 9);
  EXPECT_EQ(components.lookup("H2O"), 0);
  // Molar masses as given; Chemical3 and Chemical4 differ only there.
  EXPECT_DOUBLE_EQ(components["Chemical3"]->MW().value(), 144.0915);
  EXPECT_DOUBLE_EQ(components["Chemical4"]->MW().value(), 34.01468);
  EXPECT_DOUBLE_EQ(components["Salt1"]->MW().value(), 104.079);
  // Filling again replaces the list rather than adding to it.
  addKernelComponents();
  EXPECT_EQ(components.count(), 11);
  components.clear();
}

TEST(CommandLine, Ids) {
  EXPECT_EQ(Velta::User::parseId("0"), 0);
  EXPECT_EQ(Velta::User::parseId("12"), 12);
  EXPECT_EQ(Velta::User::parseId("2147483647"), 2147483647);
  for (const char *text : {"", "abc", "-3", "12x", "+4", " 5", "2147483648", "1e3"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(Velta::User::parseId(text).has_value());
  }
}

TEST(CommandLine, TextDumpFileNames) {
  EXPECT_EQ(Velta::User::txtFileName("12"), "12.txt");
  EXPECT_EQ(Velta::User::txtFileName("dump"), "dump.txt");
  EXPECT_EQ(Velta::User::txtFileName("a.txt"), "a.txt");
  EXPECT_EQ(Velta::User::txtFileName("a.txt.bak"), "a.txt.bak");
}

TEST(KernelDescriptor, Fields) {
  EXPECT_EQ(kernelDescriptor.name_, "Inorganic");
  EXPECT_EQ(kernelDescriptor.defaultType_, "Inorganic");
  EXPECT_EQ(kernelDescriptor.version2_, "0.1");
  EXPECT_TRUE(Handle::isValidUuid(kernelDescriptor.uuid_));
  EXPECT_EQ(kernelDescriptor.uuid_[14], '4');
  EXPECT_EQ(kernelDescriptor.version_.size(), 30u);
  EXPECT_TRUE(std::regex_match(kernelDescriptor.version_,
                               std::regex(R"(\d\d\.\d\d\.\d\d \[\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\])")))
      << kernelDescriptor.version_;
  EXPECT_TRUE(kernelDescriptor.enumerators_.empty());
}

} // namespace
