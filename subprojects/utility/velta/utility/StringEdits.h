#pragma once
// Small edits of 8-bit strings.

#include <string>

// A copy with every '<' replaced by '(' and every '>' by ')'.
std::string replaceAngleBrackets(const std::string &text);

// Replaces the first occurrence of pattern in text and returns true; returns
// false and leaves text unchanged when pattern does not occur (or is longer
// than text). An empty pattern occurs at the front.
bool replaceFirst(std::string &text, const std::string &pattern, const std::string &replacement);

// Removes the character ' ' (no other white space) from both ends, in place.
void trimSpaces(std::string &text);

// The one-letter string at position index of "ABCDEFGHIJKLMNOPQRS"; index
// must lie in 0..16 (fatal assertion otherwise).
std::string indexToLetter(int index);
