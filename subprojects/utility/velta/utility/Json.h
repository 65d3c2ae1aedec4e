#pragma once
// Escaping of text placed inside JSON string literals, shared by every JSON
// writer so that names and descriptions holding quotes, backslashes or control
// characters still give valid JSON. Text without such characters is returned
// byte for byte; bytes of 0x80 and above (UTF-8) pass unchanged.

#include <string>
#include <string_view>

namespace Velta::Utility {

// The text with '"' as \", '\' as \\, and control characters below 0x20 as
// \b, \f, \n, \r, \t or \u00XX (lower-case hex digits).
std::string jsonEscape(std::string_view text);

// jsonEscape(text) between double quotes.
std::string jsonQuote(std::string_view text);

// Appends jsonEscape(text) to out, without a temporary.
void appendJsonEscaped(std::string &out, std::string_view text);

} // namespace Velta::Utility
