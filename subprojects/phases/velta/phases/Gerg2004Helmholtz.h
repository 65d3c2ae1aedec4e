#pragma once
// The GERG-2004 reduced Helmholtz energy of a mixture of the 18 GERG-2004
// components (Kunz, Klimeck, Wagner, Jaeschke 2007), over the process-wide
// coefficient set: the reducing functions of density and temperature, the
// ideal-gas part, the residual part (pure-fluid terms plus departure
// functions) and the total functions N alpha(V, T, n_0 ... n_17), each with
// its gradient of 20 entries (d/dV, d/dT, d/dn_i).
//
// Every function is written once over the number type N of its gradient
// records: Active for the property model (the flowsheet derivatives ride
// along), double for plain evaluations. A component takes part only when
// its fraction is above zero and a pair only when both are, so a zero
// fraction never reaches a logarithm. Inputs are not validated: a
// non-positive density or temperature gives non-finite results.
//
// Units: rho in kmol/m3, V in m3/kmol, T in K; fractions and amounts are
// dimensionless.

#include "velta/core/Vector.h"
#include "velta/phases/Deriv.h"
#include "velta/phases/Gerg2004Parameters.h"

#include <array>
#include <span>

namespace Phase::Gerg2004Helmholtz {

// The gas constant of the equation, J/(kmol*K), and the ratio R*/R of the
// constant of the ideal-gas fits to it.
inline constexpr double gasConstant = 8314.472;
inline constexpr double idealFitGasConstant = 8.31451;
inline constexpr double equationGasConstant = 8.314472;
inline constexpr double idealFitRatio = 1.000004570344334;

template <class N> using Fractions = std::array<GenericDeriv<N>, gerg2004Components>;

// rho_r and T_r of the first 18 fractions of x, taken as they are.
Active reducingDensity(Vector x);
Active reducingTemperature(Vector x);

template <class N> GenericDeriv<N> reducingDensityDeriv(const Fractions<N> &x);
template <class N> GenericDeriv<N> reducingTemperatureDeriv(const Fractions<N> &x);

// cosh x = (exp x + exp(-x)) / 2 with the factor (exp x - exp(-x)) / 2.
template <class N> GenericDeriv<N> coshDeriv(const GenericDeriv<N> &x);

// alpha0_i at the component's own delta_i = rho / rhoc_i, tau_i = Tc_i / T.
template <class N>
GenericDeriv<N> helmholtzIdealPure(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                   const Gerg2004Pure &component);
template <class N>
GenericDeriv<N> helmholtzIdeal(const GenericDeriv<N> &rho, const GenericDeriv<N> &T,
                               const Fractions<N> &x);
template <class N>
GenericDeriv<N> helmholtzIdealTotal(const GenericDeriv<N> &V, const GenericDeriv<N> &T,
                                    const Fractions<N> &n);

template <class N>
GenericDeriv<N> polynomialTerms(std::span<const Gerg2004PolTerm> terms,
                                const GenericDeriv<N> &delta, const GenericDeriv<N> &tau);
template <class N>
GenericDeriv<N> exponentialTerms(std::span<const Gerg2004ExpTerm> terms,
                                 const GenericDeriv<N> &delta, const GenericDeriv<N> &tau);
template <class N>
GenericDeriv<N> departureExponentialTerms(std::span<const Gerg2004DepartureExpTerm> terms,
                                          const GenericDeriv<N> &delta, const GenericDeriv<N> &tau);

// alphar at the mixture's delta and tau.
template <class N>
GenericDeriv<N> helmholtzResidual(const GenericDeriv<N> &delta, const GenericDeriv<N> &tau,
                                  const Fractions<N> &x);
template <class N>
GenericDeriv<N> helmholtzResidualTotal(const GenericDeriv<N> &V, const GenericDeriv<N> &T,
                                       const Fractions<N> &n);

} // namespace Phase::Gerg2004Helmholtz
