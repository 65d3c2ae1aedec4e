#pragma once
// Parses JSON text with jsoncpp for the tests of the JSON writers; a text
// that is not valid JSON fails the calling test.

#include <gtest/gtest.h>
#include <json/json.h>

#include <memory>
#include <string>

inline Json::Value parseJson(const std::string &text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors))
      << errors << " in " << text;
  return value;
}
