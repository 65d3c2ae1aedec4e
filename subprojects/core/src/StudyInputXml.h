#pragma once
// Reading helpers shared by the sensitivity and homotopy input readers, over
// documents that Mini-XML loaded without a type callback (element content
// stored as text split into words).

#include <mxml.h>

#include <memory>
#include <string>

namespace StudyInputXml {

// 0 with the first word of the first element called name inside node (at
// any depth, in document order); -1, after "error retrieving <name>" on
// standard error, when there is none, and after "error retrieving <name>
// content" when its first content is not a non-empty text.
int getElementText(mxml_node_t *node, const char *name, std::string &text);

// The attribute's value, or the empty text when it is absent; returns 0.
int getAttribute(mxml_node_t *element, const char *name, std::string &value);

// The first word of an element's text, or false when its first content is
// not a non-empty text.
bool firstWord(mxml_node_t *element, std::string &text);

struct DocumentDeleter {
  void operator()(mxml_node_t *node) const { mxmlDelete(node); }
};
using Document = std::unique_ptr<mxml_node_t, DocumentDeleter>;

// The whole document of the file, or null when the file cannot be opened
// (opened = false) or parsed (Mini-XML reports why on standard error).
Document load(const std::string &fileName, bool &opened);

// The element called rootName at the top of the file's document, which is
// kept in document. A file that cannot be opened or parsed, or has no such
// element, is an ErrorRunTime from reader whose message ends in ": " and
// the file name; missingRoot is the message of the last case.
mxml_node_t *loadRoot(const std::string &fileName, const char *rootName, const char *reader,
                      const char *missingRoot, Document &document);

// The element called name among the direct children of node, or null.
mxml_node_t *child(mxml_node_t *node, const char *name);
// The "variable" elements of a list, in document order.
mxml_node_t *firstVariable(mxml_node_t *list);
mxml_node_t *nextVariable(mxml_node_t *previous, mxml_node_t *list);

} // namespace StudyInputXml

namespace StudyInputXml {
// The standard library's atoi and atof, but a number beyond the int range
// saturates instead of overflowing.
int toInt(const std::string &text);
double toDouble(const std::string &text);
} // namespace StudyInputXml
