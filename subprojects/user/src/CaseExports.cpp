#include "velta/user/Case.h"

#include "velta/core/Model.h"
#include "velta/utility/Banner.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/Timer.h"

#include <fstream>
#include <iostream>

namespace Velta::User {

namespace {

// The common road of the single-file exports: the overwrite notice, the
// file opened for writing (-84 without a message when it cannot be), the
// content, and any Error turned into -84 with its trace.
template <class Write>
int exportToFile(const Model *model, int withoutModel, const std::string &fileName,
                 const char *function, Write write) {
  if (!model)
    return withoutModel;
  if (std::ifstream(fileName))
    VELTA_LOG_FREE(-1, function, "The " << fileName << " file exists and will be overwritten");
  std::ofstream file(fileName, std::ios::out | std::ios::trunc);
  if (!file)
    return -84;
  try {
    write(*model, file);
    file.close();
    if (file.fail())
      throw ErrorRunTime(function, ("can not write to " + fileName).c_str());
    return 0;
  } catch (Error &error) {
    error.append(function);
    std::cerr << error.message() << std::endl;
    return -84;
  }
}

} // namespace

int Case::exportOds(const std::string &fileName) {
  return exportToFile(model(), withoutModel(), fileName, "Velta::User::Case::exportOds",
                      [](const Model &model, std::ostream &file) { model.printOds(file); });
}

int Case::exportTxt(const std::string &fileName) {
  return exportToFile(model(), withoutModel(), fileName, "Velta::User::Case::exportTxt",
                      [](const Model &model, std::ostream &file) {
                        model.print(file, true, true, true, true);
                      });
}

int Case::exportXml(const std::string &directory) {
  const char *const name = "Velta::User::Case::exportXml";
  const Model *model = this->model();
  if (!model)
    return withoutModel();
  try {
    const Timer timer;
    VELTA_LOG_FREE(-1, name, "Recursively dumping as xml");
    model->printXml(directory.c_str(), nullptr, nullptr);
    VELTA_LOG_FREE(-1, name, "Dumping toc as xml");
    const std::string path = directory + "/toc.xml";
    std::ofstream toc(path, std::ios::out | std::ios::trunc);
    toc << "<?xml version='1.0' encoding='UTF-8'?>\n"
        << "<?xml-stylesheet type=\"text/xsl\" href=\"flowsheet.xsl\"?>\n"
        << "<toc xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xsi:noNamespaceSchemaLocation=\"toc_new.xsd\">\n";
    model->printXmlToc(toc, 2);
    toc << "  <version>" << libraryVersion << "</version>\n"
        << "  <timestamp>" << timer.timestamp() << "</timestamp>\n"
        << "</toc>\n";
    toc.close();
    // A table of contents that could not be written fails the export.
    if (toc.fail())
      throw ErrorRunTime(name, ("can not write to " + path).c_str());
    return 0;
  } catch (Error &error) {
    error.append(name);
    std::cerr << error.message() << std::endl;
    return -84;
  }
}

} // namespace Velta::User
