#pragma once
// An intercooled compressor train of N compression stages in series (types
// "MultiCompressorIntercooled1" to "3"). Every pass it spreads the overall
// ratio cr = P / P(feed) evenly (cri = cr^(1/N)): stage i compresses to
// P(feed) cri^(i+1) and its intercooler flashes there at the train's T; the
// compressors get the train's theta, etaM and etaE. After the pass We and
// duty are the sums of the compressors' electrical powers and of the
// intercoolers' duties. Outlet "gasout" (out1) is the last stage's gas,
// "liqout" (out2) the mixed condensates.
//
// The stage count and the stage and stream types are the train's own: the
// options it is given cannot change them.

#include "velta/flowsheet/MultiStageOneTwo.h"
#include "velta/persistency/Quantity.h"

template <int N> class MultiCompressorIntercooled : public MultiStageOneTwo {
public:
  MultiCompressorIntercooled(Defaults defaults, int id, Persistency *persistency, Node *parent,
                             Node *root);
  ~MultiCompressorIntercooled() override;

  void pre(int mode, int level) override;
  void post(int mode, int level) override;
  // T and P inputs; We, duty, theta, etaM, etaE and cr outputs; then the
  // cascade's drawing and the children's set-up.
  void setup() override;

  static const char *const typeName;

  Quantity T;
  Quantity P;
  Quantity We;
  Quantity duty;
  Quantity cr;
  Quantity theta;
  Quantity etaM;
  Quantity etaE;
};

extern template class MultiCompressorIntercooled<1>;
extern template class MultiCompressorIntercooled<2>;
extern template class MultiCompressorIntercooled<3>;
