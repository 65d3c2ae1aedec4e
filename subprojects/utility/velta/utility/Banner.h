#pragma once
// The start-up banner: components announce themselves during start-up with
// addBannerEntry; the library initialisation prints the list once with
// printBanner, sorted by order.
//
// Every source file that includes this header holds one BannerInitializer.
// The first one constructed sets verbosityGlobal to 2, creates the banner
// list and the flow-pattern registry and adds the library's own entry (order
// 0, title libraryVersion); the last one destroyed releases them.

#include <string>
#include <vector>

struct BannerEntry {
  std::string title;
  std::string notice;
  int order;
};

// "VELTA <major.minor.patch> [<day> <month> <dd> <hh:mm:ss> <yyyy> <+hhmm>]",
// fixed when the build is configured.
extern const char *const libraryVersion;

// The process-wide list, in order of announcement until it is printed; null
// before start-up and after the last BannerInitializer is gone.
extern std::vector<BannerEntry> *bannerList;

// Appends {title, notice, order} to the banner list (no duplicate check).
void addBannerEntry(const char *title, const char *notice, int order);

// Sorts the list by order (stable: equal orders keep their order of
// announcement), leaves it sorted, and prints it to standard output.
void printBanner();

// The banner text of entries in the given order: per entry the title centred
// in 72 columns between runs of asterisks (" * *** title *** ") and the
// notice (" * notice"), then the closing asterisk and rights lines and an
// empty line.
std::string formatBanner(const std::vector<BannerEntry> &entries);

class BannerInitializer {
public:
  BannerInitializer();
  ~BannerInitializer();
  BannerInitializer(const BannerInitializer &) = delete;
  BannerInitializer &operator=(const BannerInitializer &) = delete;
};

static BannerInitializer bannerInitializer;
