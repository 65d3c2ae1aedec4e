#pragma once
// The tabular streams: two-phase streams (StreamTwo<FlashVl>) whose
// K-values are the constant component volatilities kVL of Tabular, copied
// into the flash at every estimate and constant within a solve.
//
//   "StreamTabularLiquidLiquid"  Vphase default "PhaseIdeal<liquid>"
//   "StreamTabularLiquidVapor"   Vphase default "PhaseIdeal<vapor>"
//
// Lphase defaults to "PhaseIdeal<liquid>"; types given in the option set win.

#include "velta/streams/StreamTwo.h"
#include "velta/streams/Tabular.h"

#include <memory>

template <bool vapor> class StreamTabular : public StreamTwo<FlashVl>, public Tabular {
public:
  StreamTabular(Defaults defaults, int id, Persistency *persistency, Node *parent, Node *root);
  ~StreamTabular() override;

  static const char *typeName();

  std::unique_ptr<Node> clone() const override;
  // kVL_ from kVL; P, T and all are ignored.
  void fillkvl(const Value &P, const Value &T, bool all) override;
};

template <> const char *StreamTabular<false>::typeName();
template <> const char *StreamTabular<true>::typeName();

extern template class StreamTabular<false>;
extern template class StreamTabular<true>;

using StreamTabularLiquidLiquid = StreamTabular<false>;
using StreamTabularLiquidVapor = StreamTabular<true>;
