#pragma once
// Escaping of text placed in XML character data and attribute values, shared
// by every XML writer (spreadsheet content, XML export, SVG drawings), so
// that descriptions, tags and values holding markup characters still give
// well-formed documents. Text without such characters is returned byte for
// byte; bytes of 0x80 and above (UTF-8) pass unchanged.

#include <string>
#include <string_view>

namespace Velta::Utility {

// The text with '&' as &amp;, '<' as &lt;, '>' as &gt;, '"' as &quot; and
// '\'' as &apos;; tab, line feed and carriage return as character references
// (&#9;, &#10;, &#13;, so that attribute values keep them); any other control
// character below 0x20, which XML 1.0 cannot hold at all, as U+FFFD.
std::string xmlEscape(std::string_view text);

// Appends xmlEscape(text) to out, without a temporary.
void appendXmlEscaped(std::string &out, std::string_view text);

} // namespace Velta::Utility
