#pragma once
// A string that can be filled by printf-style formatting.

#include <string>

class fstring : public std::string {
public:
  using std::string::string;
  fstring() = default;

  // Replaces the content with the formatted text and returns its length.
  // Starts with a buffer of the format's length plus 256 bytes and grows it
  // until the text fits. Throws std::length_error("fstring::format") when
  // memory runs out or the text cannot be formatted at all.
  int format(const char *format, ...) __attribute__((format(printf, 2, 3)));
};
