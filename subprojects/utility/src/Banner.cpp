#include "velta/utility/Banner.h"

#include "velta/utility/Assert.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/FlowPatternRegistry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::vector<BannerEntry> *bannerList = nullptr;
std::map<std::string, FlowPatternCreator> *flowPatternRegistry = nullptr;

namespace {

// Constant-initialised, so it is 0 before any start-up initialiser runs.
int bannerInitializerCount = 0;

const char *const libraryRightsLine =
    "Process flowsheeting library - (C) the VELTA developers, all rights reserved";
const char *const closingRightsNotice =
    "Provided as is, without warranty of any kind - see the licence of your copy";

constexpr int titleColumns = 72;
constexpr std::size_t closingAsterisks = 76;

} // namespace

BannerInitializer::BannerInitializer() {
  if (bannerInitializerCount++ == 0) {
    verbosityGlobal = 2;
    bannerList = new std::vector<BannerEntry>;
    flowPatternRegistry = new std::map<std::string, FlowPatternCreator>;
    addBannerEntry(libraryVersion, libraryRightsLine, 0);
  }
}

BannerInitializer::~BannerInitializer() {
  if (--bannerInitializerCount == 0) {
    delete bannerList;
    bannerList = nullptr;
    delete flowPatternRegistry;
    flowPatternRegistry = nullptr;
  }
}

void addBannerEntry(const char *title, const char *notice, int order) {
  VELTA_ASSERT(bannerList != nullptr);
  bannerList->push_back(BannerEntry{title, notice, order});
}

std::string formatBanner(const std::vector<BannerEntry> &entries) {
  std::string text;
  for (const auto &entry : entries) {
    // The odd column, if any, goes to the right run; titles longer than the
    // columns lose their asterisks.
    const double half = (titleColumns - static_cast<double>(entry.title.size())) / 2.0;
    const int left = std::max(0, static_cast<int>(std::floor(half)) + 1);
    const int right = std::max(0, static_cast<int>(std::ceil(half)) + 1);
    text += " * ";
    text.append(static_cast<std::size_t>(left), '*');
    text += ' ';
    text += entry.title;
    text += ' ';
    text.append(static_cast<std::size_t>(right), '*');
    text += "\n * ";
    text += entry.notice;
    text += '\n';
  }
  const std::string asteriskLine = " * " + std::string(closingAsterisks, '*') + "\n";
  text += asteriskLine;
  text += " * ";
  text += closingRightsNotice;
  text += '\n';
  text += asteriskLine;
  text += '\n';
  return text;
}

void printBanner() {
  VELTA_ASSERT(bannerList != nullptr);
  std::stable_sort(bannerList->begin(), bannerList->end(),
                   [](const BannerEntry &a, const BannerEntry &b) { return a.order < b.order; });
  const std::string text = formatBanner(*bannerList);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}
