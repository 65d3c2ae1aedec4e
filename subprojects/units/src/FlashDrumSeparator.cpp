#include "velta/units/FlashDrumSeparator.h"

#include "velta/persistency/NodeFactory.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"
#include "velta/utility/SharedEnumerations.h"

using Velta::Utility::PhaseIndex;

FlashDrumSeparator::FlashDrumSeparator(Defaults defaults, int id, Persistency *persistency,
                                       const Kind &kind)
    : FlashDrumBase(defaults, id, persistency), Connectivity(defaults, id, persistency),
      Tavg("Tavg", "Mass-weighted average inlet temperature", 298.15, "K", nullptr),
      embeddedTypeStream("embeddedTypeStream", "Type of the internal mixed stream",
                         kind.defaultStreamType, nullptr),
      kind_(kind) {
  const std::string name = std::string(kind.typeName) + "::" + kind.typeName;
  VELTA_TRACE_BEGIN
  setType(kind.typeName);
  addVariable(Tavg);
  addVariable(embeddedTypeStream);
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered with " << id);
  embeddedTypeStream = retrieveString(defaults, id, persistency, "embeddedTypeStream",
                                      kind.defaultStreamType);
  if (persistency)
    retrieveIntegersAndStrings(persistency);
  VELTA_LOG(verbosity(), 2, name.c_str(), "Now making subobjects");

  NodeFactory factory;
  std::unique_ptr<Node> node = factory.create(embeddedTypeStream.value(),
                                              Defaults(kind.streamTag, ""), 0, nullptr, nullptr,
                                              nullptr);
  auto *stream = dynamic_cast<Stream *>(node.get());
  if (!stream)
    throw ErrorDynamicCast(name.c_str(), node->type().c_str(), "Stream", node->tag().c_str());
  node.release();
  stream_.reset(stream);
  bindOutlet_(stream);

  node = factory.create(kind.separatorType, defaults.relay(kind.separatorTag, ""), 0, nullptr,
                        nullptr, nullptr);
  auto *separator = dynamic_cast<SimpleUnit *>(node.get());
  if (!separator)
    throw ErrorDynamicCast(name.c_str(), node->type().c_str(), kind.separatorType,
                           node->tag().c_str());
  node.release();
  separator_.reset(separator);
  VELTA_TRACE_END(name.c_str())
}

FlashDrumSeparator::~FlashDrumSeparator() = default;

bool FlashDrumSeparator::connectSeparator_() {
  if (separator_->nIn.value() == 0) {
    std::string port = "in";
    separator_->attach(stream_.get(), port);
  }
  if (separator_->nOut.value() == 0)
    return attachOutlets_();
  return true;
}

void FlashDrumSeparator::fileSeparatorMessages_() {
  for (const std::string &e : separator_->errors.value())
    setError(e);
  for (const std::string &w : separator_->warnings.value())
    setWarning(w);
}

void FlashDrumSeparator::go(int mode, int level) {
  const std::string name = std::string(kind_.typeName) + "::go";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name.c_str(),
            "Entered for " << fullTag() << " with option = " << option.value());
  resetErrors();
  if (nIn.value() == 0) {
    setError("no inlet connected, nothing to do");
    return;
  }
  if (!connectSeparator_())
    return;
  setup_of();
  VELTA_LOG(verbosity(), 2, name.c_str(), "Summing Phases");
  if (mixInlets_(connectedInlets(), Tavg, mode, name.c_str())) {
    FlashDrumBase::go(mode, level + kind_.flashLevelOffset);
  } else {
    setWarning("Empty inlet stream, bypassing block");
    if (mode >= 2)
      zeroResiduals_();
  }
  separator_->go(mode, level + 1);
  fileSeparatorMessages_();
  incrementCalculations();
  VELTA_TRACE_END(name.c_str())
}

void FlashDrumSeparator::initializeNonPersistents() {
  const std::string name = std::string(kind_.typeName) + "::initializeNonPersistents";
  VELTA_TRACE_BEGIN
  VELTA_LOG(verbosity(), 1, name.c_str(), "Entered for " << fullTag());
  stream_->T = T;
  stream_->P = P;
  if (!connectSeparator_())
    return;
  revert_();
  fileSeparatorMessages_();
  if (stream_->findPhase(static_cast<int>(PhaseIndex::vapor)))
    stream_->phases()[0]->fraction = alfa;
  setFlash_();
  stream_->initializeNonPersistents();
  VELTA_LOG(verbosity(), 2, name.c_str(), "Done");
  VELTA_TRACE_END(name.c_str())
}
