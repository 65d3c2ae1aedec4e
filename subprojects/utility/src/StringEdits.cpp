#include "velta/utility/StringEdits.h"

#include "velta/utility/Assert.h"

std::string replaceAngleBrackets(const std::string &text) {
  std::string result(text);
  for (char &c : result) {
    if (c == '<') {
      c = '(';
    } else if (c == '>') {
      c = ')';
    }
  }
  return result;
}

bool replaceFirst(std::string &text, const std::string &pattern, const std::string &replacement) {
  const auto position = text.find(pattern);
  if (position == std::string::npos)
    return false;
  text.replace(position, pattern.size(), replacement);
  return true;
}

void trimSpaces(std::string &text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
    return;
  }
  text.erase(text.find_last_not_of(' ') + 1);
  text.erase(0, first);
}

std::string indexToLetter(int value) {
  VELTA_ASSERT_AS(value >= 0 && value < ('S' - 'A' - 1), "value < ('S' - 'A' - 1)",
                  "subprojects/utility/src/utility", 74);
  return std::string(1, "ABCDEFGHIJKLMNOPQRS"[value]);
}
