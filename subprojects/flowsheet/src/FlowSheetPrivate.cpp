#include "velta/flowsheet/FlowSheetPrivate.h"

#include "velta/core/MyCast.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"
#include "velta/utility/StringEdits.h"

#include <cstdlib>

FlowSheet::Private::Private(FlowSheet *q)
    : q_(q), taskGraph_(std::make_unique<TaskGraph>()), solver_(0, q) {}

FlowSheet::Private::~Private() = default;

void FlowSheet::Private::build() {
  static const char *const name = "FlowSheet::Private::build";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  VELTA_LOG(verbosity(), 2, name, "Restoring Vertexes");
  for (const auto &[tag, child] : q_->children()) {
    VELTA_LOG(verbosity(), 2, name, "Looking at " << tag << " of type " << child->type());
    if (auto *vertex = dynamic_cast<VertexBase *>(child.get())) {
      VELTA_LOG(verbosity(), 2, name, "Restoring vertex " << tag);
      taskGraph_->addVertex(vertex);
      VELTA_LOG(verbosity(), 2, name, "Restored " << tag);
    }
  }
  VELTA_LOG(verbosity(), 2, name, "Connecting Edges");
  for (const auto &[tag, child] : q_->children()) {
    VELTA_LOG(verbosity(), 2, name, "Looking at " << tag << " of type " << child->type());
    auto *edge = dynamic_cast<EdgeBase *>(child.get());
    if (edge == nullptr)
      continue;
    const std::string fromTAG = edge->fromTAG.value(), toTAG = edge->toTAG.value();
    VELTA_LOG(verbosity(), 2, name, "Connecting edge " << tag);
    VELTA_LOG(verbosity(), 2, name,
              "fromTAG = " << fromTAG << " fromPort = " << edge->fromPort.value());
    VELTA_LOG(verbosity(), 2, name, "toTAG = " << toTAG << " toPort = " << edge->toPort.value());
    taskGraph_->addEdge(fromTAG, toTAG, edge);
    std::string fromPort = edge->fromPort.value();
    my_cast<VertexBase *>(&q_->child(fromTAG), name)->attach(edge, fromPort);
    if (fromTAG == "source") {
      VELTA_LOG(verbosity(), 2, name, "Setting as input stream");
      if (!replaceFirst(fromPort, "out", "in"))
        throw ErrorConnectivity(name, q_->tag().c_str(), "the from port does not contain out");
      q_->setInputConnection(fromPort, tag);
    }
    std::string toPort = edge->toPort.value();
    my_cast<VertexBase *>(&q_->child(toTAG), name)->attach(edge, toPort);
    if (toTAG == "sink") {
      VELTA_LOG(verbosity(), 2, name, "Setting as output stream");
      if (!replaceFirst(toPort, "in", "out"))
        throw ErrorConnectivity(name, q_->tag().c_str(), "the to port does not contain in");
      q_->setOutputConnection(toPort, tag);
    }
    VELTA_LOG(verbosity(), 2, name, "Connected " << tag);
  }
  VELTA_LOG(verbosity(), 2, name, "build complete");
}

void FlowSheet::Private::postMakeEdge_(Node &node, const std::string &fromTAG,
                                       std::string &fromPort, const std::string &toTAG,
                                       std::string &toPort) {
  static const char *const name = "FlowSheet::Private::postMakeEdge_";
  VELTA_LOG(verbosity(), 1, name,
            "Entered for edge " << node.tag() << " from = " << fromTAG << "[" << fromPort
                                << "] to = " << toTAG << "[" << toPort << "]");
  auto *edge = my_cast<EdgeBase *>(&node, name);
  taskGraph_->addEdge(fromTAG, toTAG, edge);
  auto *from = my_cast<VertexBase *>(&q_->child(fromTAG), name);
  from->translate(fromPort);
  attachAt(*from, edge, fromPort);
  auto *to = my_cast<VertexBase *>(&q_->child(toTAG), name);
  to->translate(toPort);
  attachAt(*to, edge, toPort);
  edge->fromTAG = fromTAG;
  edge->toTAG = toTAG;
  edge->fromPort = fromPort;
  edge->toPort = toPort;
  VELTA_LOG(verbosity(), 2, name, "from = " << fromTAG << " from.id = " << from->id());
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void FlowSheet::Private::attachAt(VertexBase &vertex, EdgeBase *edge, std::string &port) {
  // Units number generic port names in place; other vertices keep the name.
  if (auto *unit = dynamic_cast<Connectivity *>(&vertex))
    unit->attach(edge, port);
  else
    vertex.attach(edge, port);
}

void FlowSheet::Private::addCut_(const std::string &sin, const std::string &sout) {
  static const char *const name = "FlowSheet::Private::addCut_";
  VELTA_LOG(verbosity(), 1, name, "Adding sin = " << sin << " sout = " << sout);
  auto *in = my_cast<Stream *>(&q_->child(sin), name);
  auto *out = my_cast<Stream *>(&q_->child(sout), name);
  q_->insertCut(sout, in, out);
  in->cutsource = sout;
}

void FlowSheet::Private::removeCut_(const std::string &sin, const std::string &sout) {
  static const char *const name = "FlowSheet::Private::removeCut_";
  VELTA_LOG(verbosity(), 1, name, "Removing sin = " << sin << " sout = " << sout);
  if (!q_->hasChild(sin) || !q_->hasChild(sout))
    throw ErrorConnectivity(name, sout.c_str(), "is not cut");
  auto *in = my_cast<Stream *>(&q_->child(sin), name);
  auto *out = my_cast<Stream *>(&q_->child(sout), name);
  VELTA_LOG(verbosity(), 2, name, "sout[cutdest] = " << out->cutdest.value());
  VELTA_LOG(verbosity(), 2, name, "sin[cutsource] = " << in->cutsource.value());
  // A stream that is not cut: nothing changes.
  if (out->cutdest.value() != sin || in->cutsource.value() != sout)
    throw ErrorConnectivity(name, sout.c_str(), "is not cut");
  out->cutdest = std::string();
  in->cutsource = std::string();
  q_->eraseCut(sout);
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void FlowSheet::Private::checkConnection_(const std::map<std::string, std::string> &map,
                                          const std::string &port) {
  if (map.count(port) > 0)
    throw ErrorRunTime("FlowSheet::Private::checkConnection_",
                       ("port " + port + " already connected").c_str());
}

void FlowSheet::Private::checkInputConnection_(const std::string &port,
                                               const std::string &streamTag) {
  static const char *const name = "FlowSheet::Private::checkInputConnection_";
  checkConnection_(inletMap_, port);
  if (reverseInletMap_.count(streamTag) > 0)
    throw ErrorRunTime(name, ("stream " + streamTag + " already connected").c_str());
  if (my_cast<EdgeBase *>(&q_->child(streamTag), name)->fromTAG.value() != "source")
    throw ErrorRunTime(name, ("stream " + streamTag + " is not coming from source").c_str());
}

void FlowSheet::Private::checkOutputConnection_(const std::string &port,
                                                const std::string &streamTag) {
  static const char *const name = "FlowSheet::Private::checkOutputConnection_";
  checkConnection_(outletMap_, port);
  if (reverseOutletMap_.count(streamTag) > 0)
    throw ErrorRunTime(name, ("stream " + streamTag + " already connected").c_str());
  if (my_cast<EdgeBase *>(&q_->child(streamTag), name)->toTAG.value() != "sink")
    throw ErrorRunTime(name, ("stream " + streamTag + " is not going to sink").c_str());
}

int FlowSheet::Private::portIndex(const std::string &port, std::size_t prefix) {
  return std::atoi(port.c_str() + std::min(prefix, port.size())) - 1;
}

void FlowSheet::Private::takeOver(Stream &to, const Stream &from) {
  to.assign(from);
  to.setFlash(static_cast<int>(Velta::Utility::FlashMode::PH));
  to.estimate(to.P, to.T);
  to.estimateFlash();
}

void FlowSheet::Private::copyInlets() {
  static const char *const name = "FlowSheet::Private::copyInlets";
  if (inletMap_.empty())
    throw ErrorRunTime(name, "no inlets connected");
  VELTA_LOG(verbosity(), 2, name, "Copying inlet streams");
  for (const auto &[port, streamTag] : inletMap_) {
    const int i = portIndex(port, 2);
    auto *internal = my_cast<Stream *>(&q_->child(streamTag), name);
    if (i >= 0 && q_->inletConnected(static_cast<unsigned>(i))) {
      auto *external = my_cast<Stream *>(static_cast<Node *>(q_->inlet(static_cast<unsigned>(i))), name);
      VELTA_LOG(verbosity(), 2, name,
                "Now copying external stream " << external->fullTag() << " to internal stream "
                                               << internal->fullTag());
      takeOver(*internal, *external);
    } else if (internal->cutsource.value().empty()) {
      q_->setWarning("source stream " + streamTag +
                     " is not connected to any external inlet stream nor is it a cut stream");
    }
  }
}

void FlowSheet::Private::copyOutlets() {
  static const char *const name = "FlowSheet::Private::copyOutlets";
  if (outletMap_.empty())
    throw ErrorRunTime(name, "no outlets connected");
  VELTA_LOG(verbosity(), 2, name, "Copying outlet streams");
  for (const auto &[port, streamTag] : outletMap_) {
    const int i = portIndex(port, 3);
    auto *internal = my_cast<Stream *>(&q_->child(streamTag), name);
    if (i >= 0 && q_->outletConnected(static_cast<unsigned>(i))) {
      auto *external = my_cast<Stream *>(static_cast<Node *>(q_->outlet(static_cast<unsigned>(i))), name);
      VELTA_LOG(verbosity(), 2, name,
                "Now copying internal stream " << internal->fullTag() << " to external stream "
                                               << external->fullTag());
      takeOver(*external, *internal);
    } else if (internal->cutdest.value().empty()) {
      q_->setWarning("destination stream " + streamTag +
                     " is not connected to any external inlet stream nor is it a cut stream");
    }
  }
}

void FlowSheet::Private::include(ObjectiveNleAd *objective) {
  VELTA_LOG(verbosity(), 1, "FlowSheet::Private::include", "Entered for " << objective->name());
  objectives_.push_back(objective);
  q_->addObjectiveFunction(*objective);
  ++nObjectives_;
}
