#include "velta/core/PortTable.h"

#include "velta/utility/Error.h"

#include <boost/bimap.hpp>
#include <boost/bimap/set_of.hpp>

// Left: edge tag, right: port name; both sides ordered and unique.
struct PortTable::Connections {
  using Map = boost::bimap<boost::bimaps::set_of<std::string>, boost::bimaps::set_of<std::string>>;
  Map map;
};

namespace {

bool startsWith(const std::string &text, const char *prefix) { return text.rfind(prefix, 0) == 0; }

} // namespace

PortTable::PortTable() : connections_(std::make_unique<Connections>()) {}

PortTable::PortTable(const PortTable &other)
    : synonyms_(other.synonyms_), connections_(std::make_unique<Connections>(*other.connections_)) {}

PortTable &PortTable::operator=(const PortTable &other) {
  if (this != &other) {
    synonyms_ = other.synonyms_;
    *connections_ = *other.connections_;
  }
  return *this;
}

PortTable::~PortTable() = default;

void PortTable::attach(const std::string &edgeTag, const std::string &port,
                       const std::string &vertexTag) {
  if (connections_->map.left.count(edgeTag) != 0)
    throw ErrorConnectivity("VertexBase::attach", vertexTag.c_str(), "Duplicate connected edge");
  connections_->map.insert(Connections::Map::value_type(edgeTag, port));
}

void PortTable::detach(const std::string &port, const std::string &vertexTag) {
  const auto found = connections_->map.right.find(port);
  if (found == connections_->map.right.end())
    throw ErrorConnectivity("VertexBase::detach", vertexTag.c_str(), "Port not connected");
  connections_->map.right.erase(found);
}

std::string PortTable::edgeFromPort(const std::string &port, const std::string &vertexTag) const {
  const auto found = connections_->map.right.find(port);
  if (found == connections_->map.right.end())
    throw ErrorConnectivity("VertexBase::edgeFromPort", vertexTag.c_str(), "port not connected");
  return found->second;
}

std::string PortTable::portFromEdge(const std::string &edgeTag,
                                    const std::string &vertexTag) const {
  const auto found = connections_->map.left.find(edgeTag);
  if (found == connections_->map.left.end())
    throw ErrorConnectivity("VertexBase::portFromEdge", vertexTag.c_str(), "edge not connected");
  return found->second;
}

std::optional<std::string> PortTable::findPort(const std::string &edgeTag) const {
  const auto found = connections_->map.left.find(edgeTag);
  if (found == connections_->map.left.end())
    return std::nullopt;
  return found->second;
}

std::vector<std::pair<std::string, std::string>> PortTable::connections() const {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto &connection : connections_->map.left)
    pairs.emplace_back(connection.first, connection.second);
  return pairs;
}

void PortTable::registerSynonym(const std::string &synonym, const std::string &port,
                                const std::string &vertexTag) {
  if (startsWith(synonym, "in"))
    throw ErrorConnectivity("VertexBase::registerSynonym", vertexTag.c_str(),
                            "synonyms are not allowed to start with 'in'");
  if (startsWith(synonym, "out"))
    throw ErrorConnectivity("VertexBase::registerSynonym", vertexTag.c_str(),
                            "synonyms are not allowed to start with 'out'");
  synonyms_[synonym] = port;
}

bool PortTable::translate(std::string &name) const {
  const auto found = synonyms_.find(name);
  if (found == synonyms_.end())
    return false;
  name = found->second;
  return true;
}

int PortTable::defaultLocation(const std::string &port) {
  return startsWith(port, "out") ? east : west;
}
