#include "velta/persistency/fstring.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

int fstring::format(const char *format, ...) {
  std::size_t size = std::strlen(format) + 256;
  std::vector<char> buffer;
  for (;;) {
    try {
      buffer.resize(size);
    } catch (const std::bad_alloc &) {
      throw std::length_error("fstring::format");
    }
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    va_end(arguments);
    if (written >= 0 && static_cast<std::size_t>(written) < buffer.size()) {
      assign(buffer.data(), static_cast<std::size_t>(written));
      return written;
    }
    // The formatter reports the length it needs, or an error: then try a
    // buffer twice as large, up to what vsnprintf can report at all.
    size = written >= 0 ? static_cast<std::size_t>(written) + 1 : 2 * size;
    if (size > static_cast<std::size_t>(INT_MAX))
      throw std::length_error("fstring::format");
  }
}
