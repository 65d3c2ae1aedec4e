// Cuts of a flowsheet: tearing a recycle stream S (A -> B) into S (A ->
// "sink") and S + "bis" ("source" -> B), undoing it, and rebuilding the
// record of the cuts of a restored flowsheet.

#include "velta/core/MyCast.h"
#include "velta/flowsheet/FlowSheet.h"
#include "velta/flowsheet/FlowSheetPrivate.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Assert.h"
#include "velta/utility/Error.h"

void FlowSheet::addCut(const std::string &s) {
  static const char *const name = "FlowSheet::addCut";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with s = " << s);
  auto *S = my_cast<Stream *>(&child(s), name);
  VELTA_LOG(verbosity(), 2, name, "Calculating " << S->tag());
  S->calculate(0);
  S->unSetInput();
  VELTA_LOG(verbosity(), 2, name, "Adding cut " << S->tag());
  VELTA_LOG(verbosity(), 2, name, "stream->fromTAG = " << S->fromTAG.value());
  VELTA_LOG(verbosity(), 2, name, "stream->toTAG = " << S->toTAG.value());
  VELTA_ASSERT(S->fromTAG.value() != "source");
  VELTA_ASSERT(S->toTAG.value() != "sink");
  const std::string bisTag = s + "bis";
  const std::string description = S->description().empty() ? "cut" : S->description() + " cut";
  auto *T = my_cast<Stream *>(&addChild(S->type(), S->defaults().relay(bisTag, description)),
                              name);
  T->assign(*S);
  S->cutdest = bisTag;
  const std::string B = S->toTAG.value();
  VELTA_LOG(verbosity(), 2, name, "Adding edge source -> " << B);
  taskGraph().addEdge("source", B, T);
  auto *source = my_cast<Connectivity *>(&child("source"), name);
  auto *sink = my_cast<Connectivity *>(&child("sink"), name);
  auto *b = my_cast<Connectivity *>(&child(B), name);
  std::string p = "out";
  source->attach(T, p);
  std::string bPort = S->toPort.value();
  b->detach(bPort);
  b->attach(T, bPort);
  S->toPort = bPort;
  std::string q = "in";
  sink->attach(S, q);
  VELTA_LOG(verbosity(), 2, name, "Removing edge " << S->fromTAG.value() << " -> " << B);
  // Only the edge of S: other streams from A to B keep their precedence.
  taskGraph().removeEdge(s);
  T->fromTAG = std::string("source");
  T->toTAG = B;
  T->fromPort = p;
  T->toPort = S->toPort.value();
  S->toTAG = std::string("sink");
  S->toPort = q;
  taskGraph().addEdge(S->fromTAG.value(), "sink", S);
  private_->addCut_(bisTag, s);
}

void FlowSheet::removeCut(const std::string &s) {
  static const char *const name = "FlowSheet::removeCut";
  VELTA_LOG(verbosity(), 1, name, "Entered for " << tag() << " with s = " << s);
  const std::string bisTag = s + "bis";
  private_->removeCut_(bisTag, s);
  auto *S = my_cast<Stream *>(&child(s), name);
  VELTA_ASSERT_AS(S->tag() == s, "stream->tag() == s", __FILE__, __LINE__);
  VELTA_LOG(verbosity(), 2, name, "Removing edge " << S->fromTAG.value() << "-> sink");
  taskGraph().removeEdge(s);
  VELTA_LOG(verbosity(), 2, name,
            "Detaching port " << S->fromPort.value() << " in " << S->fromTAG.value());
  my_cast<VertexBase *>(&child(S->fromTAG.value()), name)->detach(S->fromPort.value());
  VELTA_LOG(verbosity(), 2, name, "Detaching port " << S->toPort.value() << " in sink");
  my_cast<VertexBase *>(&child("sink"), name)->detach(S->toPort.value());
  auto *T = my_cast<Stream *>(&child(bisTag), name);
  VELTA_ASSERT_AS(T->tag() == bisTag, "stream_bis->tag() == s + \"bis\"", __FILE__, __LINE__);
  VELTA_LOG(verbosity(), 2, name, "Removing edge source -> " << T->toTAG.value());
  taskGraph().removeEdge(bisTag);
  VELTA_LOG(verbosity(), 2, name, "Detaching port " << T->fromPort.value() << " in source");
  my_cast<VertexBase *>(&child("source"), name)->detach(T->fromPort.value());
  VELTA_LOG(verbosity(), 2, name,
            "Detaching port " << T->toPort.value() << " in " << T->toTAG.value());
  my_cast<VertexBase *>(&child(T->toTAG.value()), name)->detach(T->toPort.value());
  std::string fromPort = S->fromPort.value(), toPort = T->toPort.value();
  private_->postMakeEdge_(*S, S->fromTAG.value(), fromPort, T->toTAG.value(), toPort);
  prune(bisTag);
  VELTA_LOG(verbosity(), 2, name, "Done");
}

void FlowSheet::restoreCuts() {
  static const char *const name = "FlowSheet::restoreCuts";
  VELTA_LOG(verbosity(), 1, name, "Entered");
  for (const auto &[tag, child] : children()) {
    if (auto *stream = dynamic_cast<Stream *>(child.get());
        stream != nullptr && !stream->cutsource.value().empty()) {
      VELTA_LOG(verbosity(), 2, name,
                "Restoring cut(" << tag << ", " << stream->cutsource.value() << ")");
      private_->addCut_(tag, stream->cutsource.value());
      VELTA_LOG(verbosity(), 2, name, "Estimating cut");
      stream->setFlash(0);
      stream->estimate(stream->P, stream->T);
    }
    if (auto *nested = dynamic_cast<FlowSheet *>(child.get()))
      nested->restoreCuts();
  }
}
