#include "velta/utility/Banner.h"

#include "velta/utility/Diagnostic.h"
#include "velta/utility/FlowPatternRegistry.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines(const std::string &text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    result.push_back(line);
  return result;
}

struct StarCase {
  std::size_t titleLength;
  int left;
  int right;
};

TEST(Banner, TitleIsCentredBetweenAsteriskRuns) {
  const std::vector<StarCase> cases = {
      {0, 37, 37}, {30, 22, 22}, {31, 21, 22}, {71, 1, 2}, {72, 1, 1}, {73, 0, 1}, {80, 0, 0},
  };
  for (const auto &c : cases) {
    const std::string title(c.titleLength, 'T');
    const auto text = lines(formatBanner({{title, "notice", 0}}));
    ASSERT_GE(text.size(), 2u);
    const std::string expected =
        " * " + std::string(c.left, '*') + " " + title + " " + std::string(c.right, '*');
    EXPECT_EQ(text[0], expected) << "title of " << c.titleLength << " bytes";
    if (c.titleLength <= 72) {
      EXPECT_EQ(text[0].size(), 79u);
    }
    EXPECT_EQ(text[1], " * notice");
  }
}

TEST(Banner, LayoutOfTheWholeBanner) {
  const std::string stars = " * " + std::string(76, '*');
  const std::string text = formatBanner({{"VELTA", "", 0}});
  const auto all = lines(text);
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(all[0], " * " + std::string(34, '*') + " VELTA " + std::string(35, '*'));
  EXPECT_EQ(all[1], " * "); // an empty notice still prints its prefix
  EXPECT_EQ(all[2], stars);
  EXPECT_EQ(all[3].substr(0, 3), " * ");
  EXPECT_GT(all[3].size(), 3u);
  EXPECT_EQ(all[4], stars);
  EXPECT_EQ(all[5], "");
  EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
}

TEST(Banner, StartUpStateAndVersionText) {
  EXPECT_EQ(verbosityGlobal, 2);
  ASSERT_NE(bannerList, nullptr);
  ASSERT_FALSE(bannerList->empty());
  EXPECT_EQ(bannerList->front().title, libraryVersion);
  EXPECT_EQ(bannerList->front().order, 0);
  ASSERT_NE(flowPatternRegistry, nullptr);
  EXPECT_TRUE(flowPatternRegistry->empty());
  EXPECT_TRUE(std::regex_match(
      libraryVersion, std::regex("VELTA [0-9]+\\.[0-9]+\\.[0-9]+ \\[(Mon|Tue|Wed|Thu|Fri|Sat|Sun) "
                                 "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-3][0-9] "
                                 "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4} [+-][0-9]{4}\\]")))
      << libraryVersion;
}

TEST(Banner, PrintSortsStablyByOrder) {
  const auto saved = *bannerList;
  addBannerEntry("kernel", "kernel notice", 20);
  addBannerEntry("late library part", "", 0);
  addBannerEntry("second kernel", "", 20);
  addBannerEntry("first", "", -5);
  testing::internal::CaptureStdout();
  printBanner();
  const auto printed = lines(testing::internal::GetCapturedStdout());
  std::vector<std::string> titles;
  for (const auto &entry : *bannerList)
    titles.push_back(entry.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"first", libraryVersion, "late library part",
                                              "kernel", "second kernel"}));
  // Two lines per entry, then the closing lines and the empty line.
  ASSERT_EQ(printed.size(), 2 * titles.size() + 4);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    EXPECT_NE(printed[2 * i].find(" " + titles[i] + " "), std::string::npos) << printed[2 * i];
  }
  EXPECT_EQ(printed[7], " * kernel notice");
  *bannerList = saved;
}

} // namespace
