#include "StudyInputXml.h"

#include "velta/utility/Error.h"

#include <cstdio>

namespace StudyInputXml {

bool firstWord(mxml_node_t *element, std::string &text) {
  mxml_node_t *content = mxmlGetFirstChild(element);
  if (!content || mxmlGetType(content) != MXML_TEXT)
    return false;
  int whitespace = 0;
  const char *word = mxmlGetText(content, &whitespace);
  if (!word || !*word)
    return false;
  text = word;
  return true;
}

int getElementText(mxml_node_t *node, const char *name, std::string &text) {
  mxml_node_t *element = mxmlFindElement(node, node, name, nullptr, nullptr, MXML_DESCEND);
  if (!element) {
    std::fprintf(stderr, "error retrieving %s\n", name);
    return -1;
  }
  if (!firstWord(element, text)) {
    std::fprintf(stderr, "error retrieving %s content\n", name);
    return -1;
  }
  return 0;
}

int getAttribute(mxml_node_t *element, const char *name, std::string &value) {
  const char *found = mxmlElementGetAttr(element, name);
  value = found ? found : "";
  return 0;
}

Document load(const std::string &fileName, bool &opened) {
  std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(fileName.c_str(), "r"), &std::fclose);
  opened = file != nullptr;
  if (!opened)
    return nullptr;
  return Document(mxmlLoadFile(nullptr, file.get(), MXML_NO_CALLBACK));
}

mxml_node_t *loadRoot(const std::string &fileName, const char *rootName, const char *reader,
                      const char *missingRoot, Document &document) {
  const auto fail = [&](const std::string &message) {
    throw ErrorRunTime(reader, (message + ": " + fileName).c_str());
  };
  bool opened = false;
  document = load(fileName, opened);
  if (!opened)
    fail("error opening file");
  if (!document)
    fail("error opening tree");
  mxml_node_t *root = child(document.get(), rootName);
  if (!root)
    fail(missingRoot);
  return root;
}

mxml_node_t *child(mxml_node_t *node, const char *name) {
  return mxmlFindElement(node, node, name, nullptr, nullptr, MXML_DESCEND_FIRST);
}

mxml_node_t *firstVariable(mxml_node_t *list) { return child(list, "variable"); }

mxml_node_t *nextVariable(mxml_node_t *previous, mxml_node_t *list) {
  return mxmlFindElement(previous, list, "variable", nullptr, nullptr, MXML_DESCEND);
}

} // namespace StudyInputXml

#include <climits>
#include <cstdlib>

namespace StudyInputXml {

int toInt(const std::string &text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

double toDouble(const std::string &text) { return std::strtod(text.c_str(), nullptr); }

} // namespace StudyInputXml
