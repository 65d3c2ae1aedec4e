#include "velta/flowsheet/MultiCompressorIntercooled.h"

#include "velta/core/MyCast.h"
#include "velta/flowsheet/CompressionStage.h"
#include "velta/flowsheet/OptionPresets.h"
#include "velta/flowsheet/StageTag.h"
#include "velta/streams/Stream.h"
#include "velta/utility/Diagnostic.h"
#include "velta/utility/Error.h"

#include <string>

using Velta::Flowsheet::stageTag;

template <>
const char *const MultiCompressorIntercooled<1>::typeName = "MultiCompressorIntercooled1";
template <>
const char *const MultiCompressorIntercooled<2>::typeName = "MultiCompressorIntercooled2";
template <>
const char *const MultiCompressorIntercooled<3>::typeName = "MultiCompressorIntercooled3";

namespace {

// "MultiCompressorIntercooled<N>::" + function.
template <int N> std::string qualified(const char *function) {
  return "MultiCompressorIntercooled<" + std::to_string(N) + ">::" + function;
}

// The cascade's options: the train's stage count and types, whatever the
// caller gave under these names.
template <int N> Defaults trainOptions(const Defaults &given) {
  Defaults presets;
  presets.setInteger("nStage", N)
      .setString("typeT", "CompressionStage")
      .setString("typeU", "StreamVapor")
      .setString("typeV", "StreamLiquid");
  return Velta::Flowsheet::withPresets(given, presets);
}

// The stage pressure ratio's exponent 1/N.
template <int N> constexpr double stageExponent() {
  if constexpr (N == 1)
    return 1.0;
  else if constexpr (N == 2)
    return 0.5;
  else
    return 1.0 / 3.0;
}

} // namespace

template <int N>
MultiCompressorIntercooled<N>::MultiCompressorIntercooled(Defaults defaults, int id,
                                                          Persistency *persistency, Node *parent,
                                                          Node *root)
    : Object(defaults, id, persistency, parent, root),
      Model(defaults, id, persistency, parent, root),
      VertexBase(defaults, id, persistency, parent, root),
      MultiStageOneTwo(trainOptions<N>(defaults), id, persistency, parent, root),
      T("T", "Intercooler temperature", 373.15, "K", nullptr),
      P("P", "Discharge pressure", 10.0, "barg", nullptr),
      We("We", "Total electrical power requirement", 0.0, "W", nullptr),
      duty("duty", "Sum of intercooler duties", 0.0, "W", nullptr),
      cr("cr", "Compression ratio", Value(1.0), nullptr),
      theta("theta", "Isentropic yield of all stages", Value(1.0), nullptr),
      etaM("etaM", "Mechanical efficiency of all stages", Value(0.9), nullptr),
      etaE("etaE", "Electrical efficiency of all stages", Value(0.9), nullptr) {
  const std::string qualifiedName = qualified<N>("MultiCompressorIntercooled");
  const char *const name = qualifiedName.c_str();
  VELTA_TRACE_BEGIN
  this->setType(typeName);
  VELTA_LOG(this->verbosity(), 1, name, "Entered");
  for (Quantity *q : {&T, &P, &We, &duty, &cr, &theta, &etaM, &etaE})
    this->addVariable(*q);
  this->registerSynonym("gasout", "out1");
  this->registerSynonym("liqout", "out2");
  VELTA_TRACE_END(name)
}

template <int N> MultiCompressorIntercooled<N>::~MultiCompressorIntercooled() = default;

template <int N> void MultiCompressorIntercooled<N>::setup() {
  const std::string qualifiedName = qualified<N>("setup");
  const char *const name = qualifiedName.c_str();
  VELTA_TRACE_BEGIN
  VELTA_LOG(this->verbosity(), 2, name, "Setting input variables");
  T.setInput();
  P.setInput();
  VELTA_LOG(this->verbosity(), 2, name, "Setting output variables");
  for (Quantity *q : {&We, &duty, &theta, &etaM, &etaE, &cr})
    q->setOutput();
  MultiStageOneTwo::setup();
  VELTA_TRACE_END(name)
}

template <int N> void MultiCompressorIntercooled<N>::pre(int, int) {
  const std::string qualifiedName = qualified<N>("pre");
  const char *const name = qualifiedName.c_str();
  VELTA_TRACE_BEGIN
  VELTA_LOG(this->verbosity(), 1, name, "Entered for " << this->fullTag());
  const Value Pin = my_cast<Stream *>(static_cast<Node *>(this->inlet(0)), name)->P;
  cr = P / Pin;
  const Value cri = pow(cr, stageExponent<N>());
  VELTA_LOG(this->verbosity(), 2, name, "P in = " << Pin << " P = " << P);
  VELTA_LOG(this->verbosity(), 2, name, "cr  = " << cr << " cri = " << cri);
  Value p = Pin;
  for (int i = 0; i < N; ++i) {
    auto *stage = my_cast<CompressionStage *>(&this->at(stageTag(i)), name);
    stage->Q("COOL.T") = T;
    p = p * cri;
    VELTA_LOG(this->verbosity(), 2, name, "P[" << i << " ] = " << p);
    stage->Q("C.P") = p;
    stage->Q("COOL.P") = p;
    stage->S("C.option") = "P";
    stage->Q("C.theta") = theta;
    stage->Q("C.etaM") = etaM;
    stage->Q("C.etaE") = etaE;
  }
  VELTA_TRACE_END(name)
}

template <int N> void MultiCompressorIntercooled<N>::post(int, int) {
  const std::string qualifiedName = qualified<N>("post");
  const char *const name = qualifiedName.c_str();
  VELTA_TRACE_BEGIN
  VELTA_LOG(this->verbosity(), 1, name, "Entered for " << this->fullTag());
  We.setZero();
  duty.setZero();
  for (int i = 0; i < N; ++i) {
    auto *stage = my_cast<CompressionStage *>(&this->at(stageTag(i)), name);
    We += stage->Q("C.We");
    duty += stage->Q("COOL.duty");
  }
  VELTA_LOG(this->verbosity(), 2, name, "Done");
  this->incrementCalculations();
  VELTA_TRACE_END(name)
}

template class MultiCompressorIntercooled<1>;
template class MultiCompressorIntercooled<2>;
template class MultiCompressorIntercooled<3>;
