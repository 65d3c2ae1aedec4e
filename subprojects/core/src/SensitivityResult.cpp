#include "velta/core/SensitivityResult.h"

#include <charconv>
#include <string>

namespace {

// Shortest round-trip text ("nan", "inf" and "-inf" for the others).
std::string number(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void writeValues(std::ostream &stream, const char *element, const std::vector<double> &values) {
  stream << "    <" << element << ">" << std::endl;
  for (double value : values)
    stream << "      <variable>" << number(value) << "</variable>" << std::endl;
  stream << "    </" << element << ">" << std::endl;
}

} // namespace

std::ostream &SensitivityResultRow::write(std::ostream &stream) const {
  stream << "  <result>" << std::endl;
  stream << "    <round>" << round << "</round>" << std::endl;
  stream << "    <time>" << number(time) << "</time>" << std::endl;
  stream << "    <errors>" << errors << "</errors>" << std::endl;
  stream << "    <warnings>" << warnings << "</warnings>" << std::endl;
  stream << "    <iterations>" << iterations << "</iterations>" << std::endl;
  writeValues(stream, "controlled", controlled);
  writeValues(stream, "monitored", monitored);
  stream << "  </result>" << std::endl;
  return stream;
}

std::ostream &SensitivityResult::write(std::ostream &stream) const {
  stream << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" << std::endl;
  stream << "<results xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
            " xsi:noNamespaceSchemaLocation=\"SensitivityResult_schema.xsd\">"
         << std::endl;
  for (const SensitivityResultRow &row : rows)
    row.write(stream);
  stream << "</results>" << std::endl;
  return stream;
}
