#pragma once
// The record that describes this calculation kernel as a product of the
// library: name, description, notice, version, the type that "new" creates
// when none is given, the build's identity, the supported languages and the
// enumerators the kernel publishes. One process-wide instance, built at
// start-up; its construction adds the kernel's entry (order 20) to the
// start-up banner.

#include "velta/utility/Enumerator.h"

#include <memory>
#include <string>
#include <vector>

class KernelDescriptor {
public:
  KernelDescriptor(std::string name, std::string description, std::string notice,
                   std::string version, std::string defaultType, std::string uuid);
  KernelDescriptor(const KernelDescriptor &) = delete;
  KernelDescriptor &operator=(const KernelDescriptor &) = delete;
  ~KernelDescriptor();

  // Appends the code (no duplicate check).
  void addLanguage(const std::string &language);

  std::string name_;
  std::string description_;
  std::string notice_;
  // "01.00.00 [YYYY/MM/DD HH:MM:SS]"
  std::string version_;
  std::string version2_;
  std::string defaultType_;
  std::string uuid_;
  std::vector<std::string> languages_;
  std::vector<std::unique_ptr<Velta::Core::Enumerator>> enumerators_;
};

// The process-wide descriptor of this kernel.
extern KernelDescriptor kernelDescriptor;
