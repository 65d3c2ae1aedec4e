// The textual outputs of a model tree: the text dump, the OpenDocument
// spreadsheet content and the XML export with its table-of-contents entries.

#include "velta/core/Model.h"

#include "velta/persistency/Quantity.h"
#include "velta/persistency/String.h"
#include "velta/utility/Banner.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/utility/StringEdits.h"
#include "velta/utility/Timer.h"
#include "velta/utility/Xml.h"

#include <cstdint>
#include <fstream>
#include <locale>
#include <ostream>
#include <sstream>

using Velta::Utility::xmlEscape;

namespace {

std::ostream &endLine(std::ostream &stream) { return stream << '\n' << std::flush; }

// A double in the default format (six significant digits), locale-free.
std::string number(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

std::string unsignedId(int id) { return std::to_string(static_cast<std::uint32_t>(id)); }

// Free text in XML: angle brackets replaced by parentheses, then escaped.
std::string replaced(const std::string &text) { return xmlEscape(replaceAngleBrackets(text)); }

// The pieces that name a model (or any node) in the XML export and its table
// of contents.
std::string identity(const Node &node) {
  return " tag=\"" + replaced(node.tag()) + "\"" + " description=\"" +
         replaced(node.description()) + "\"" + " type =\"" + replaced(node.type()) + "\"" +
         " id =\"" + unsignedId(node.id()) + "\"" + " fullpath =\"" + replaced(node.fullTag()) +
         "\"";
}

void requireWritten(const std::ostream &stream, const char *function, const std::string &what) {
  if (!stream)
    throw ErrorRunTime(function, ("can not write to " + what).c_str());
}

// Opens path for writing (replacing it) or throws ErrorRunTime naming it.
std::ofstream openForWriting(const std::string &path, const char *function) {
  std::ofstream file(path, std::ios::out | std::ios::trunc);
  if (!file)
    throw ErrorRunTime(function, ("can not write to " + path).c_str());
  file.imbue(std::locale::classic());
  return file;
}

// Closes a file and throws ErrorRunTime naming it when anything failed.
void closeWritten(std::ofstream &file, const char *function, const std::string &path) {
  file.close();
  requireWritten(file, function, path);
}

// --- spreadsheet cells
void numberCell(std::ostream &stream, double value) {
  stream << "      <table:table-cell office:value-type=\"float\" office:value=\"" << number(value)
         << "\"/>";
  endLine(stream);
}

void textCell(std::ostream &stream, const std::string &escapedText) {
  stream << "      <table:table-cell><text:p>" << escapedText << "</text:p></table:table-cell>";
  endLine(stream);
}

void emptyCell(std::ostream &stream) {
  stream << "      <table:table-cell/>";
  endLine(stream);
}

// Text that stands for the value of a quantity that holds no computed value.
const char *const notComputedText = "not computed";

// A quantity's cell: its number, or the text cell "not computed" for a value
// that was not computed (a 0 in the store is no result).
void quantityCell(std::ostream &stream, const Model &model, const Quantity &quantity) {
  if (model.notComputed(quantity))
    textCell(stream, notComputedText);
  else
    numberCell(stream, quantity.value());
}

void quantityCells(std::ostream &stream, const Model &model) {
  for (const auto &[tag, quantity] : model.quantities())
    quantityCell(stream, model, *quantity);
}

} // namespace

// ---------------------------------------------------------------- text dump

std::ostream &Model::print(std::ostream &stream, bool withStrings, bool withQuantities,
                           bool withIntegers, bool recursive) const {
  VELTA_TRACE_BEGIN
  stream << "****** type = " << type() << " TAG = " << tag() << " << DESCRIPTION " << description();
  endLine(stream);
  if (withStrings) {
    endLine(stream << "*** Begin String attributes");
    for (const auto &[tag, variable] : strings())
      endLine(stream << tag << " = " << variable->value() << " " << variable->description());
    endLine(stream << "*** Begin StringVector attributes");
    for (const auto &[tag, variable] : stringVectors()) {
      stream << tag << " = [";
      for (const std::string &element : variable->value())
        stream << element << ", ";
      endLine(stream << "] " << variable->description());
    }
  }
  if (withQuantities) {
    endLine(stream << "*** Begin Quantity attributes");
    for (const auto &[tag, quantity] : quantities()) {
      std::ostringstream value;
      value.imbue(std::locale::classic());
      if (notComputed(*quantity))
        value << notComputedText << " " << quantity->uom();
      else
        quantity->print(value);
      endLine(stream << tag << " = " << value.str() << " " << quantity->description());
    }
  }
  if (withIntegers) {
    endLine(stream << "*** Begin Integer  attributes");
    for (const auto &[tag, variable] : integers())
      if (variable)
        endLine(stream << tag << " = " << std::to_string(variable->value()) << " "
                       << variable->description());
  }
  if (recursive) {
    for (const auto &[tag, node] : children()) {
      const Model *child = my_cast<const Model *>(node.get(), "Model::print");
      endLine(stream << "*** Begin " << child->tag() << " " << child->description());
      child->print(stream, withStrings, withQuantities, withIntegers, recursive);
      endLine(stream << "*** End " << child->tag() << " " << child->description());
    }
  }
  endLine(stream);
  requireWritten(stream, "Model::print", "output stream");
  return stream;
  VELTA_TRACE_END("Model::print")
}

void Model::printToFile(const std::string &path, bool withStrings, bool withQuantities,
                        bool withIntegers, bool recursive) const {
  std::ofstream file = openForWriting(path, "Model::printToFile");
  try {
    print(file, withStrings, withQuantities, withIntegers, recursive);
  } catch (Error &) {
    if (file)
      throw;
    // The stream failed: name the file rather than the stream.
    throw ErrorRunTime("Model::printToFile", ("can not write to " + path).c_str());
  }
  closeWritten(file, "Model::printToFile", path);
}

// ---------------------------------------------------------------- spreadsheet

void Model::printOds(std::ostream &stream) const {
  VELTA_LOG(logVerbosity(), 1, "Model::printOds", "Entered for " << fullTag());
  endLine(stream << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  endLine(stream << "<office:document-content ");
  endLine(stream << "    xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"");
  endLine(stream << "    xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"");
  endLine(stream << "    xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"");
  endLine(stream << "    office:version=\"1.1\">");
  endLine(stream << " <office:body>");
  endLine(stream << "  <office:spreadsheet>");
  endLine(stream << "   <table:table table:name=\"Tabella1\" table:print=\"false\">");
  int row = 1;
  printRecursiveStreamsToOds_(stream, *this, row);
  endLine(stream << "   </table:table>");
  endLine(stream << "  </office:spreadsheet>");
  endLine(stream << " </office:body>");
  endLine(stream << "</office:document-content>");
  requireWritten(stream, "Model::printOds", "output stream");
}

void Model::printOdsToFile(const std::string &path) const {
  std::ofstream file = openForWriting(path, "Model::printOdsToFile");
  try {
    printOds(file);
  } catch (Error &) {
    if (file)
      throw;
    throw ErrorRunTime("Model::printOdsToFile", ("can not write to " + path).c_str());
  }
  closeWritten(file, "Model::printOdsToFile", path);
}

void Model::printRecursiveStreamsToOds_(std::ostream &stream, const Model &model, int &row) {
  printStreamsToOds_(stream, model, row);
  for (const auto &[tag, child] : model.children())
    printRecursiveStreamsToOds_(
        stream, *my_cast<const Model *>(child.get(), "Model::printRecursiveStreamsToOds_"), row);
}

void Model::printStreamsToOds_(std::ostream &stream, const Model &model, int &row) {
  for (const auto &[tag, child] : model.children())
    if (child->type().compare(0, 6, "Stream") == 0)
      printStreamToOds_(stream, *my_cast<const Model *>(child.get(), "Model::printStreamsToOds_"),
                        row);
}

void Model::printStreamToOds_(std::ostream &stream, const Model &streamModel, int &row) {
  const Model &phase =
      *my_cast<const Model *>(&streamModel.at("Tphase"), "Model::printStreamToOds_");
  if (row == 1) {
    endLine(stream << "    <table:table-row>");
    for (const char *heading : {"Id", "Row", "Complete tag", "Description", "Type", "Pressure [Pa]",
                                "Temperature [K]", "Phase tag"})
      textCell(stream, heading);
    for (const auto &[tag, quantity] : phase.quantities())
      textCell(stream, xmlEscape(tag + " [" + quantity->uom() + "]"));
    endLine(stream << "    </table:table-row>");
  }
  endLine(stream << "    <table:table-row>");
  numberCell(stream, static_cast<std::uint32_t>(streamModel.id()));
  numberCell(stream, row);
  textCell(stream, replaced(streamModel.fullTag()));
  textCell(stream, xmlEscape(streamModel.description()));
  textCell(stream, replaced(streamModel.type()));
  quantityCell(stream, streamModel, streamModel.element<Quantity>("P"));
  quantityCell(stream, streamModel, streamModel.element<Quantity>("T"));
  textCell(stream, xmlEscape(phase.tag()));
  quantityCells(stream, phase);
  for (const auto &[tag, node] : streamModel.children()) {
    if (tag == "Tphase")
      continue;
    const Model &child = *my_cast<const Model *>(node.get(), "Model::printStreamToOds_");
    endLine(stream << "    </table:table-row>");
    ++row;
    endLine(stream << "    <table:table-row>");
    numberCell(stream, static_cast<std::uint32_t>(child.id()));
    numberCell(stream, row);
    textCell(stream, replaced(child.fullTag()));
    for (int k = 0; k < 4; ++k)
      emptyCell(stream);
    textCell(stream, xmlEscape(child.tag()));
    quantityCells(stream, child);
  }
  endLine(stream << "    </table:table-row>");
  ++row;
}

// ---------------------------------------------------------------- XML export

void Model::printXml(const char *directory, const Model *preceding, const Model *following) const {
  VELTA_LOG(logVerbosity(), 1, "Model::printXml", "Entered with " << unsignedId(id()));
  const std::string path = std::string(directory) + "/" + unsignedId(id()) + ".xml";
  std::ofstream file = openForWriting(path, "Model::printXml");

  endLine(file << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  endLine(file << "<?xml-stylesheet type=\"text/xsl\" href=\"model.xsl\"?>");
  endLine(file << "<model xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
               << " xsi:noNamespaceSchemaLocation=\"model_new.xsd\"" << identity(*this) << ">");

  endLine(file << "  <breadcrumbs>");
  for (const Node *ancestor = parentNode(); ancestor; ancestor = ancestor->parentNode())
    endLine(file << "    <breadcrumb" << identity(*ancestor) << "/>");
  endLine(file << "  </breadcrumbs>");
  if (preceding)
    endLine(file << "  <preceding-sibling" << identity(*preceding) << "/>");
  if (following)
    endLine(file << "  <following-sibling" << identity(*following) << "/>");

  endLine(file << "  <strings>");
  for (const auto &[tag, variable] : strings())
    endLine(file << "    <string tag=\"" << replaced(variable->tag()) << "\" description=\""
                 << replaced(variable->description()) << "\" value=\""
                 << replaced(variable->value()) << "\"/>");
  endLine(file << "  </strings>");

  endLine(file << "  <integers>");
  for (const auto &[tag, variable] : integers())
    if (variable)
      endLine(file << "    <integer tag=\"" << replaced(variable->tag()) << "\" description=\""
                   << replaced(variable->description()) << "\" value=\""
                   << std::to_string(variable->value()) << "\"/>");
  endLine(file << "  </integers>");

  endLine(file << "  <quantities>");
  // A value not computed is written NaN (a valid XML Schema double), not the
  // 0 that the store keeps in its place.
  for (const auto &[tag, quantity] : quantities())
    endLine(file << "    <quantity "
                 << "tag=\"" << replaced(quantity->tag()) << "\" "
                 << "description=\"" << replaced(quantity->description()) << "\" "
                 << "value=\"" << (notComputed(*quantity) ? "NaN" : number(quantity->value()))
                 << "\" "
                 << "unit=\"" << xmlEscape(quantity->uom()) << "\" "
                 << "input=\"" << (quantity->input() ? "true" : "false") << "\" "
                 << "output=\"" << (quantity->output() ? "true" : "false") << "\" />");
  endLine(file << "  </quantities>");

  endLine(file << "  <submodels>");
  std::vector<const Model *> submodels;
  for (const auto &[tag, child] : children())
    submodels.push_back(my_cast<const Model *>(child.get(), "Model::printXml"));
  for (std::size_t k = 0; k < submodels.size(); ++k) {
    endLine(file << "    <submodel" << identity(*submodels[k]) << "/>");
    submodels[k]->printXml(directory, k > 0 ? submodels[k - 1] : nullptr,
                           k + 1 < submodels.size() ? submodels[k + 1] : nullptr);
  }
  endLine(file << "  </submodels>");

  endLine(file << "  <version>" << xmlEscape(libraryVersion) << "</version>");
  endLine(file << "  <timestamp>" << xmlEscape(Timer().timestamp()) << "</timestamp>");
  endLine(file << "</model>");
  closeWritten(file, "Model::printXml", path);
  VELTA_LOG(logVerbosity(), 2, "Model::printXml", "Done");
}

void Model::printXmlToc(std::ostream &stream, int indent) const {
  VELTA_LOG(logVerbosity(), 1, "Model::printXmlToc", "Entered with " << unsignedId(id()));
  const std::string pad(indent > 0 ? static_cast<std::size_t>(indent) : 0u, ' ');
  const std::string &name = Velta::Utility::categoryEntry(category()).name;
  stream << pad << "<" << name << identity(*this);
  if (children().empty()) {
    endLine(stream << "/>");
  } else {
    endLine(stream << ">");
    std::vector<const Model *> models;
    for (const auto &[tag, child] : children())
      models.push_back(my_cast<const Model *>(child.get(), "Model::printXmlToc"));
    for (const Model *child : models)
      if (child->category() == static_cast<int>(Velta::Utility::Category::stream))
        child->printXmlToc(stream, indent + 2);
    for (const Model *child : models)
      if (child->category() == static_cast<int>(Velta::Utility::Category::flowsheet))
        child->printXmlToc(stream, indent + 2);
    for (const Model *child : models)
      if (child->category() != static_cast<int>(Velta::Utility::Category::stream) &&
          child->category() != static_cast<int>(Velta::Utility::Category::flowsheet))
        child->printXmlToc(stream, indent + 2);
    endLine(stream << pad << "</" << name << ">");
  }
  requireWritten(stream, "Model::printXmlToc", "output stream");
}
