#pragma once
// The ports of a flowsheet vertex: which edge (by tag) is connected at which
// port, one edge per port and one port per edge, searchable from either
// side; and the synonyms under which a unit accepts a readable name
// ("vapor", "gasout") for one of its numbered ports ("out1").
//
// Failures are ErrorConnectivity errors of the vertex's operations, naming
// the vertex tag given by the caller; a failed operation changes nothing.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class PortTable {
public:
  PortTable();
  PortTable(const PortTable &other);
  PortTable &operator=(const PortTable &other);
  ~PortTable();

  // Connects the edge at the port. An edge tag that is already connected
  // throws "Duplicate connected edge"; a port that is already taken by
  // another edge leaves the table unchanged without an error (the unit
  // checks port occupancy itself).
  void attach(const std::string &edgeTag, const std::string &port, const std::string &vertexTag);
  // Removes the connection at the port; a free port throws "Port not
  // connected".
  void detach(const std::string &port, const std::string &vertexTag);

  // The edge at the port; a free port throws "port not connected".
  std::string edgeFromPort(const std::string &port, const std::string &vertexTag) const;
  // The port of the edge; an unknown edge throws "edge not connected".
  std::string portFromEdge(const std::string &edgeTag, const std::string &vertexTag) const;
  // The port of the edge, if it is connected.
  std::optional<std::string> findPort(const std::string &edgeTag) const;
  // Every (edge tag, port) pair in edge-tag order.
  std::vector<std::pair<std::string, std::string>> connections() const;

  // Registers synonym for port; a later registration of the same synonym
  // replaces the port. Synonyms starting with "in" or "out" (case-sensitive)
  // are refused, "in" being tested first.
  void registerSynonym(const std::string &synonym, const std::string &port,
                       const std::string &vertexTag);
  // Replaces a registered synonym by its port, in place; true when it did.
  bool translate(std::string &name) const;

  // Side of the icon on which a port is drawn by default: east for ports
  // whose name starts with "out", west for all others.
  static int defaultLocation(const std::string &port);

  // Side codes of an icon.
  static constexpr int north = 0;
  static constexpr int south = 1;
  static constexpr int east = 2;
  static constexpr int west = 3;

private:
  struct Connections;

  std::map<std::string, std::string> synonyms_;
  std::unique_ptr<Connections> connections_;
};
