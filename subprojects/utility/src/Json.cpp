#include "velta/utility/Json.h"

namespace Velta::Utility {

void appendJsonEscaped(std::string &out, std::string_view text) {
  static const char hexDigits[] = "0123456789abcdef";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
    case '"':
      out += "\\\"";
      break;
    case '\\':
      out += "\\\\";
      break;
    case '\b':
      out += "\\b";
      break;
    case '\f':
      out += "\\f";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    default:
      if (byte < 0x20) {
        out += "\\u00";
        out += hexDigits[byte >> 4];
        out += hexDigits[byte & 0x0f];
      } else {
        out += c;
      }
    }
  }
}

std::string jsonEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendJsonEscaped(out, text);
  return out;
}

std::string jsonQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  appendJsonEscaped(out, text);
  out += '"';
  return out;
}

} // namespace Velta::Utility
