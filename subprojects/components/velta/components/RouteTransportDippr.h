#pragma once
// Transport properties from one DIPPR correlation each, continued beyond
// each record's [Tmin, Tmax] with value and slope matched at the bound:
//   kl    DIPPR 100  C1 + C2 T + C3 T^2 + C4 T^3 + C5 T^4           W/(m*K)
//   kv    DIPPR 102  C1 T^C2 / (1 + C3/T + C4/T^2)                  W/(m*K)
//   mul   DIPPR 101  exp(C1 + C2/T + C3 ln T + C4 T^C5)             Pa*s
//   muv   DIPPR 102  C1 T^C2 / (1 + C3/T + C4/T^2)                  Pa*s
//   sigma DIPPR 106  C1 (1 - Tr)^(C2 + C3 Tr + C4 Tr^2 + C5 Tr^3)   N/m, Tr = T/Tc
// Results are plain values without derivatives.

#include "velta/components/ComponentInterface.h"
#include "velta/components/ParametersDippr.h"
#include "velta/components/RouteTransport.h"

class RouteTransportDippr : public virtual RouteTransport {
public:
  RouteTransportDippr(const ParametersDippr &kl, const ParametersDippr &kv,
                      const ParametersDippr &mul, const ParametersDippr &muv,
                      const ParametersDippr &sigma);

  Value muv(const Value &T) const override;
  Value mul(const Value &T) const override;
  Value kv(const Value &T) const override;
  Value kl(const Value &T) const override;
  Value sigma(const Value &T) const override;

  // Continuation of a correlation with value fb and slope sb at Tb: below the
  // range linear when falling, exponential otherwise; above it linear when
  // rising, a power law otherwise. A positive fb stays positive.
  static double extrapolateLow(double T, double Tb, double fb, double sb);
  static double extrapolateHigh(double T, double Tb, double fb, double sb);

private:
  ParametersDippr kldip_;
  ParametersDippr kvdip_;
  ParametersDippr muldip_;
  ParametersDippr muvdip_;
  ParametersDippr sigmadip_;
};
