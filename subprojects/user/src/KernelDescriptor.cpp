// The banner list must exist before the descriptor announces itself: the
// banner header's initializer is constructed first in this file.
#include "velta/utility/Banner.h"

#include "velta/user/KernelDescriptor.h"

KernelDescriptor::KernelDescriptor(std::string name, std::string description, std::string notice,
                                   std::string version, std::string defaultType, std::string uuid)
    : name_(std::move(name)), description_(std::move(description)), notice_(std::move(notice)),
      version_(std::move(version)), version2_("0.1"), defaultType_(std::move(defaultType)),
      uuid_(std::move(uuid)) {
  addBannerEntry(name_.c_str(), notice_.c_str(), 20);
}

KernelDescriptor::~KernelDescriptor() = default;

void KernelDescriptor::addLanguage(const std::string &language) {
  languages_.push_back(language);
}

KernelDescriptor kernelDescriptor(
    "Inorganic",
    "Process modeling demo for an inorganic purification process based on multi-stage "
    "counter-current acid washings",
    "Copyright (C) 2026 the Velta developers", "01.00.00 [" VELTA_KERNEL_BUILD_TIME "]",
    "Inorganic", "f4b84305-8240-4650-b5e4-e7f8995694ae");
