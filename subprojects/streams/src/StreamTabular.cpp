#include "velta/streams/StreamTabular.h"

#include "velta/components/ListComponents.h"

#include <string>

template <> const char *StreamTabular<false>::typeName() { return "StreamTabularLiquidLiquid"; }
template <> const char *StreamTabular<true>::typeName() { return "StreamTabularLiquidVapor"; }

namespace {

// The option set with the phase-type defaults of the tabular type.
Defaults withPhaseDefaults(Defaults defaults, bool vapor) {
  defaults.setString("embeddedTypePhase[0]", vapor ? "PhaseIdeal<vapor>" : "PhaseIdeal<liquid>");
  defaults.setString("embeddedTypePhase[1]", "PhaseIdeal<liquid>");
  return defaults;
}

} // namespace

template <bool vapor>
StreamTabular<vapor>::StreamTabular(Defaults defaults, int id, Persistency *persistency,
                                    Node *parent, Node *root)
    : Object(withPhaseDefaults(defaults, vapor), id, persistency, parent, root),
      Model(withPhaseDefaults(defaults, vapor), id, persistency, parent, root),
      StreamTwo<FlashVl>(withPhaseDefaults(defaults, vapor), id, persistency, parent, root),
      Tabular(withPhaseDefaults(defaults, vapor), id, persistency, parent, root) {
  setType(typeName());
}

template <bool vapor> StreamTabular<vapor>::~StreamTabular() = default;

template <bool vapor> std::unique_ptr<Node> StreamTabular<vapor>::clone() const {
  Defaults options = defaults();
  options.setString("embeddedTypePhase[0]", embeddedTypePhase[0].value());
  options.setString("embeddedTypePhase[1]", embeddedTypePhase[1].value());
  auto copy = std::make_unique<StreamTabular<vapor>>(options, 0, nullptr, nullptr, nullptr);
  copy->Object::operator=(static_cast<const Node &>(*this));
  copy->registerVariables();
  return copy;
}

template <bool vapor> void StreamTabular<vapor>::fillkvl(const Value &, const Value &, bool) {
  const std::string name = std::string(typeName()) + "::fillkvl";
  VELTA_LOG(streamVerbosity(), 1, name.c_str(), "Entered");
  for (int i = 0; i < NCOMPONENTS; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    kVL_[k] = kVL[k];
  }
  VELTA_LOG(streamVerbosity(), 2, name.c_str(), "Done");
}

template class StreamTabular<false>;
template class StreamTabular<true>;
