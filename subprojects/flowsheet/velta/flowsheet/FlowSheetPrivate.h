#pragma once
// What a flowsheet keeps apart from its interface: its task graph (with the
// graph of its units and streams), its Newton solver, the equation systems
// it includes, and the maps between its own ports and its internal feed and
// product streams.

#include "velta/core/SolverNleRecipes.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/TaskGraph.h"
#include "velta/utility/Diagnostic.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class FlowSheet::Private : public Diagnostic {
public:
  explicit Private(FlowSheet *q);
  ~Private() override;

  // Vertices from the unit children, then edges, ports and port maps from
  // each stream's connection strings (children in tag order).
  void build();
  // Adds the stream's edge, attaches it at both units (synonyms
  // translated; generic port names come back numbered) and stores the
  // connection strings in the stream.
  void postMakeEdge_(Node &stream, const std::string &fromTAG, std::string &fromPort,
                     const std::string &toTAG, std::string &toPort);
  void addCut_(const std::string &sin, const std::string &sout);
  void removeCut_(const std::string &sin, const std::string &sout);
  void checkConnection_(const std::map<std::string, std::string> &map, const std::string &port);
  void checkInputConnection_(const std::string &port, const std::string &streamTag);
  void checkOutputConnection_(const std::string &port, const std::string &streamTag);
  void copyInlets();
  void copyOutlets();
  void include(ObjectiveNleAd *objective);

  FlowSheet *q_;
  std::unique_ptr<TaskGraph> taskGraph_;
  std::vector<ObjectiveNleAd *> objectives_;
  int maxIterations_ = 5;
  int nEquations_ = 0;
  int nObjectives_ = 0;
  SolverNleRecipesAutomatic solver_;
  std::map<std::string, std::string> inletMap_;
  std::map<std::string, std::string> outletMap_;
  std::map<std::string, std::string> reverseInletMap_;
  std::map<std::string, std::string> reverseOutletMap_;

private:
  // Number after the port's prefix, as atoi reads it, less one.
  static int portIndex(const std::string &port, std::size_t prefix);
  // Brings from's state into to and leaves to ready for a PH flash.
  static void takeOver(Stream &to, const Stream &from);
  static void attachAt(VertexBase &vertex, EdgeBase *edge, std::string &port);
};
