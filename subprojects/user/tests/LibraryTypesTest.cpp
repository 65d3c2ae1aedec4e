// The types listing of the library's registration: the modules' blocks in
// the order flowsheet, unit, stream, phase and reaction types.

#include "velta/persistency/NodeFactory.h"
#include "velta/user/KernelInitialization.h"
#include "velta/user/Operations.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LibraryTypes, ModulesListedInOrder) {
  registerLibraryTypes();
  int error = 1;
  const std::string listing = Velta::User::types(error);
  EXPECT_EQ(error, 0);
  // The first entry of each block and the last of the module before it.
  const char *const order[] = {
      R"({"name":"Terminator",)",
      R"({"name":"MultiCompressorIntercooled3",)",
      R"({"name":"Divider",)",
      R"({"name":"MultiReactionTransfer",)",
      R"("category":"stream")",
      R"("category":"phase")",
      R"({"name":"ReactionYield",)",
  };
  std::size_t previous = 0;
  for (const char *entry : order) {
    const std::size_t at = listing.find(entry);
    ASSERT_NE(at, std::string::npos) << entry;
    EXPECT_GT(at, previous) << entry;
    previous = at;
  }
  // No stream entry after the first phase entry, no phase entry after the
  // reactions.
  EXPECT_LT(listing.rfind(R"("category":"stream")"), listing.find(R"("category":"phase")"));
  EXPECT_LT(listing.rfind(R"("category":"phase")"), listing.find(R"({"name":"ReactionYield",)"));
}

} // namespace
