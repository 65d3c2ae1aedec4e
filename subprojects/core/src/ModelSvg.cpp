// SVG drawings of the objects of a tree: the walk that writes one file per
// model and the icon document of models that do not draw themselves, which
// embeds the artwork of their category's icon.

#include "velta/core/Model.h"

#include "velta/persistency/Icon.h"
#include "velta/utility/Error.h"

#include <cstdint>
#include <fstream>
#include <locale>
#include <ostream>
#include <sstream>

namespace {

// Icon of a category in the default drawing.
const char *iconName(int category) {
  switch (category) {
  case 1:
    return "phase";
  case 2:
    return "stream";
  case 5:
    return "option";
  default:
    return "other";
  }
}

std::string number(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << value;
  return text.str();
}

} // namespace

void Model::printSvgAll(const char *directory, bool tiny, bool raster, unsigned idOffset,
                        std::vector<std::string> &names) const {
  VELTA_LOG(logVerbosity(), 1, "Model::printSvgAll",
            "Entered with tiny = " << (tiny ? "true" : "false")
                                   << " raster = " << (raster ? "true" : "false"));
  VELTA_LOG(logVerbosity(), 2, "Model::printSvgAll", "Print current model");
  const std::uint32_t storedId = static_cast<std::uint32_t>(id()) + idOffset;
  const std::string name = std::to_string(storedId) + ".svg";
  const std::string path = std::string(directory) + "/" + name;
  printSvg(path.c_str(), tiny, raster, idOffset);
  names.push_back(name);
  for (const auto &[tag, child] : children()) {
    VELTA_LOG(logVerbosity(), 2, "Model::printSvgAll",
              "Looking at: " << child->tag() << " type = " << child->type());
    if (const auto *model = dynamic_cast<const Model *>(child.get())) {
      VELTA_LOG(logVerbosity(), 2, "Model::printSvgAll", "Print model " << model->fullTag());
      model->printSvgAll(directory, tiny, raster, idOffset, names);
    }
  }
  VELTA_LOG(logVerbosity(), 2, "Model::printSvgAll", "Done");
}

void Model::printSvg(const char *fileName, bool tiny, bool, unsigned) const {
  writeSvgIcon("Model::printSvg", fileName, Icon(iconName(category()), 100, 100), tiny);
}

void Model::writeSvgIcon(const char *function, const char *fileName, const Icon &icon,
                         bool tiny) {
  std::ofstream file(fileName, std::ios::out | std::ios::trunc);
  if (!file)
    throw ErrorRunTime(function, (std::string("can not write to ") + fileName).c_str());
  printSvgIcon(file, icon, tiny);
  file.close();
  if (!file)
    throw ErrorRunTime(function, (std::string("can not write to ") + fileName).c_str());
}

std::ostream &Model::printSvgIcon(std::ostream &stream, const Icon &icon, bool tiny) {
  stream << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n";
  stream << svgDocumentType(tiny) << ">\n";
  stream << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
         << " width=\"" << number(icon.width()) << "\" height=\"" << number(icon.height())
         << "\" version=\"1.1\"" << (tiny ? " baseProfile=\"tiny\"" : "") << ">\n";
  icon.printSvg(stream, 0.0, 0.0, "  ");
  stream << "</svg>\n";
  return stream;
}
