#pragma once
// Which characters tags and descriptions may hold. A text is admitted when it
// is empty, or when it begins with a letter and every further character is a
// letter, an ASCII digit or one of the rule's punctuation characters:
//   checkDescription, checkTag: blank , - . : < > [ ] _ { }
//   checkTagStrict:             blank , - < > [ ] _ { }   (no '.' and no ':')
// The walk stops at the first zero byte. A malformed UTF-8 sequence prints
// "UtfConverter error: <result text>" on standard error and rejects the text.
// The checks only test; callers raise ErrorInvalidCharacter.

#include <string>

// True when the code point lies in one of the letter ranges.
bool isLetter(char32_t codePoint);

bool checkDescription(const std::string &text);
bool checkTag(const std::string &text);
bool checkTagStrict(const std::string &text);
