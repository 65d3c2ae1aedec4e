#include "velta/utility/Xml.h"

namespace Velta::Utility {

void appendXmlEscaped(std::string &out, std::string_view text) {
  for (char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&apos;";
      break;
    case '\t':
      out += "&#9;";
      break;
    case '\n':
      out += "&#10;";
      break;
    case '\r':
      out += "&#13;";
      break;
    default:
      if (static_cast<unsigned char>(c) < 0x20)
        out += "\xEF\xBF\xBD";
      else
        out += c;
    }
  }
}

std::string xmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  appendXmlEscaped(out, text);
  return out;
}

} // namespace Velta::Utility
