#pragma once
// The PC-SAFT equation of state of Gross and Sadowski (Ind. Eng. Chem. Res.
// 40 (2001) 1244): hard-sphere, hard-chain and dispersion terms with the
// published universal constants, no association and no polar term. Written
// once as a template over the number type N, instantiated with double (for
// speed and reference values) and with the derivative-carrying number of the
// engine, so that the flash receives the derivatives in beta, T and x.
//
// X is the number type of the quantities that depend on the composition
// only (x, mbar, a_n, b_n and their x derivatives, the dispersion pair
// sums): plain doubles when the composition carries no derivatives.
//
// Notation: eta the packing fraction, rho = eta / zeta3t the number density
// of molecules (1/angstrom^3), zeta_n = zeta_nt rho with
// zeta_nt = pi/6 sum x_i m_i d_i^n, mbar = sum x_i m_i, d_i the
// temperature-dependent segment diameter (angstrom). Mole fractions are used
// as given (not normalised). Only the diagonal hard-sphere contact values
// g_ii enter the chain term, so only they are kept (D_ii = d_i / 2);
// contact(i, j) gives any other one.
//
// Calling order: precompute at T and x, then pressure at eta, then
// helmholtz or lnphi, which read the state the two left.

#include "velta/phases/PcsaftParameters.h"

#include <cmath>

namespace Phase {

// The engine's constants: pi carried with twelve significant digits, the
// gas constant in J/(mol K), Avogadro's number and k = R / NA.
namespace pcsaft {
inline constexpr double pi = 3.14159265359;
inline constexpr double R = 8.31441;
inline constexpr double NA = 6.022045e+23;
inline constexpr double kB = R / NA;
// Angstrom^3 per m^3.
inline constexpr double cubicAngstrom = 1e-30;

// The universal constants a_0n, a_1n, a_2n, b_0n, b_1n, b_2n (n = 0 to 6),
// Table 1 of the publication.
inline constexpr double a0[7] = {0.91056314451539,  0.63612814494991, 2.68613478913903,
                                 -26.5473624914884, 97.7592087835073, -159.5915408656,
                                 91.2977740839123};
inline constexpr double a1[7] = {-0.3084016918272, 0.18605311591713,  -2.50300472586548,
                                 21.4197936296668, -65.2558853303492, 83.3186804808856,
                                 -33.7469229297323};
inline constexpr double a2[7] = {-0.09061483509767, 0.4527842806392,   0.59627007280101,
                                 -1.72418291311787, -4.13021125311661, 13.7766318697211,
                                 -8.67284703679646};
inline constexpr double b0[7] = {0.72409469413165,   2.2382791860938,  -4.0025849484634195,
                                 -21.00357681484648, 26.8556413626615, 206.5513384066188,
                                 -355.60235612207947};
inline constexpr double b1[7] = {-0.5755498075345,   0.69950955214436,  3.8925673389530697,
                                 -17.21547164777212, 192.6722644652495, -161.8264616487648,
                                 -165.2076934555607};
inline constexpr double b2[7] = {0.09768831158356,  -0.255757498161,    -9.155856152973211,
                                 20.64207597439724, -38.80443005206285, 93.6267740770146,
                                 -29.66690558514725};
} // namespace pcsaft

template <class N, class X = N> class PcsaftEquations {
public:
  // --- state of the last precompute
  int n = 0;        // components taken into account
  N T;              // K
  X x[NC];          // mole fractions as given
  N d[NC];          // segment diameters, angstrom
  N zetat[4];       // pi/6 sum x_i m_i d_i^n
  X mbar;           // sum x_i m_i
  X a[7], b[7];     // a_n(mbar), b_n(mbar)
  X qa[7], qb[7];   // d a_n / d x_k = m_k qa_n, likewise b
  X e1[NC], e2[NC]; // sum_j x_j c1_kj and sum_j x_j c2_kj
  N S1, S2;         // sum_ij x_i x_j m_i m_j (eps_ij/T)^(1,2) sigma_ij^3
  // --- state of the last pressure
  N eta;
  N rho;    // 1/angstrom^3
  N Z;      // compressibility factor
  N P;      // Pa; the engine may replace it by a regularised value
  N dPdeta; // Pa
  N g[NC];  // contact values g_ii
  // --- state of the last helmholtz / lnphi
  N ares;       // reduced residual Helmholtz energy per molecule, A_res / (N k T)
  N hardSphere; // its hard-sphere part per segment

  // Takes T, x[0..n) as they are and computes every T- and x-dependent sum.
  void precompute(const PcsaftParameters &p) {
    using std::exp;
    n = p.n;
    for (int k = 0; k < 4; ++k)
      zetat[k] = 0.0;
    mbar = 0.0;
    for (int i = 0; i < n; ++i) {
      d[i] = p.sigmai[i] * (1.0 - 0.12 * exp(-3.0 * p.epsiloni[i] / T));
      const X xm = x[i] * p.m[i];
      mbar += xm;
      N term = xm;
      for (int k = 0; k < 4; ++k) {
        zetat[k] += term;
        if (k < 3)
          term *= d[i];
      }
    }
    for (int k = 0; k < 4; ++k)
      zetat[k] *= pcsaft::pi / 6.0;
    const X r1 = (mbar - 1.0) / mbar;
    const X r2 = r1 * ((mbar - 2.0) / mbar);
    const X inverse2 = 1.0 / (mbar * mbar);
    const X slope2 = 3.0 * inverse2 - 4.0 * inverse2 / mbar;
    for (int k = 0; k < 7; ++k) {
      a[k] = pcsaft::a0[k] + r1 * pcsaft::a1[k] + r2 * pcsaft::a2[k];
      b[k] = pcsaft::b0[k] + r1 * pcsaft::b1[k] + r2 * pcsaft::b2[k];
      qa[k] = inverse2 * pcsaft::a1[k] + slope2 * pcsaft::a2[k];
      qb[k] = inverse2 * pcsaft::b1[k] + slope2 * pcsaft::b2[k];
    }
    X sum1 = 0.0, sum2 = 0.0;
    for (int k = 0; k < n; ++k) {
      e1[k] = 0.0;
      e2[k] = 0.0;
      for (int j = 0; j < n; ++j) {
        e1[k] += p.c1[k][j] * x[j];
        e2[k] += p.c2[k][j] * x[j];
      }
      sum1 += x[k] * e1[k];
      sum2 += x[k] * e2[k];
    }
    S1 = sum1 / T;
    S2 = sum2 / (T * T);
  }

  // Z, P (Pa) and dP/deta at the packing fraction, with the last precompute.
  void pressure(const PcsaftParameters &p, const N &packing) {
    eta = packing;
    rho = eta / zetat[3];
    const N u = 1.0 / (1.0 - eta);
    // zeta2 / eta, and zeta1 zeta2 / (zeta0 eta), zeta2^3 / (zeta0 eta^2):
    // the ratios of the hard-sphere terms, finite as eta goes to 0.
    const N r = zetat[2] / zetat[3];
    const N h1 = zetat[1] * r / zetat[0];
    const N h2 = r * r * zetat[2] / zetat[0];
    const N u2 = u * u, u3 = u2 * u, u4 = u3 * u;
    const N Zhs = mbar * (eta * u + 3.0 * h1 * eta * u2 + h2 * eta * eta * (3.0 - eta) * u3);
    const N dZhs = mbar * (u2 + 3.0 * h1 * (1.0 + eta) * u3 + 6.0 * h2 * eta * u4);
    N Zchain = 0.0, dZchain = 0.0;
    for (int i = 0; i < n; ++i) {
      const N D = d[i] * 0.5;
      const N Dr = D * r, Dr2 = Dr * Dr;
      g[i] = u + 3.0 * Dr * eta * u2 + 2.0 * Dr2 * eta * eta * u3;
      const N g1 = u2 + 3.0 * Dr * (1.0 + eta) * u3 + 2.0 * Dr2 * eta * (2.0 + eta) * u4;
      const N g2 =
          2.0 * u3 + 6.0 * Dr * (2.0 + eta) * u4 + 4.0 * Dr2 * (1.0 + eta * (4.0 + eta)) * u4 * u;
      const X w = x[i] * (1.0 - p.m[i]);
      const N ratio = g1 / g[i];
      Zchain += w * eta * ratio;
      dZchain += w * (ratio + eta * g2 / g[i] - eta * ratio * ratio);
    }
    disp = dispersion(eta);
    const Dispersion &c = disp;
    // Z_disp / rho and its derivative less Z_disp / eta.
    const N Zd = -2.0 * pcsaft::pi * c.deI1 * S1 -
                 pcsaft::pi * mbar * (c.C1 * c.deI2 + c.C2 * eta * c.I2) * S2;
    const N dZd =
        -2.0 * pcsaft::pi * c.d2eI1 * S1 -
        pcsaft::pi * mbar * (c.C3 * eta * c.I2 + 2.0 * c.C2 * c.deI2 + c.C1 * c.d2eI2) * S2;
    Z = 1.0 + Zhs + Zchain + rho * Zd;
    const N dZ = dZhs + dZchain + Zd / zetat[3] + rho * dZd;
    const N kT = pcsaft::kB / pcsaft::cubicAngstrom * T;
    P = Z * rho * kT;
    dPdeta = (rho * dZ + Z / zetat[3]) * kT;
  }

  // The contact value g_ij at the last pressure (any pair).
  N contact(int i, int j) const {
    const N D = d[i] * d[j] / (d[i] + d[j]);
    const N zeta2 = zetat[2] * rho;
    const N u = 1.0 / (1.0 - eta);
    return u + 3.0 * D * zeta2 * u * u + 2.0 * D * D * zeta2 * zeta2 * u * u * u;
  }

  // The mixture's molar density at the packing fraction, kmol/m3.
  N density(const N &packing) const {
    return packing / (zetat[3] * (pcsaft::cubicAngstrom * pcsaft::NA * 1000.0));
  }

  // The dispersion integrals and the compressibility factors C1, C2 = dC1/deta
  // and C3 = dC2/deta at eta.
  struct Dispersion {
    N I1, I2;       // sum a_n eta^n, sum b_n eta^n
    N dI1, dI2;     // their eta derivatives
    N deI1, deI2;   // (eta I)' = sum (n + 1) a_n eta^n
    N d2eI1, d2eI2; // (eta I)'' = sum n (n + 1) a_n eta^(n - 1)
    N C1, C2, C3;
    N hsPart; // (8 eta - 2 eta^2)/(1 - eta)^4 - (20 eta - ...)/((1 - eta)(2 - eta))^2
  };

  Dispersion dispersion(const N &e) const {
    Dispersion c;
    c.I1 = a[6], c.I2 = b[6];
    c.dI1 = 6.0 * a[6], c.dI2 = 6.0 * b[6];
    c.deI1 = 7.0 * a[6], c.deI2 = 7.0 * b[6];
    c.d2eI1 = 42.0 * a[6], c.d2eI2 = 42.0 * b[6];
    for (int k = 5; k >= 0; --k) {
      c.I1 = c.I1 * e + a[k];
      c.I2 = c.I2 * e + b[k];
      c.deI1 = c.deI1 * e + (k + 1.0) * a[k];
      c.deI2 = c.deI2 * e + (k + 1.0) * b[k];
      if (k >= 1) {
        c.dI1 = c.dI1 * e + double(k) * a[k];
        c.dI2 = c.dI2 * e + double(k) * b[k];
        c.d2eI1 = c.d2eI1 * e + double(k * (k + 1)) * a[k];
        c.d2eI2 = c.d2eI2 * e + double(k * (k + 1)) * b[k];
      }
    }
    const N one = 1.0 - e, two = 2.0 - e;
    const N u = 1.0 / one;
    const N u2 = u * u, u4 = u2 * u2;
    const N w = 1.0 / (one * two);
    const N w2 = w * w;
    const N e2 = e * e, e3 = e2 * e, e4 = e2 * e2;
    const N single = (8.0 * e - 2.0 * e2) * u4;
    const N pair = (20.0 * e - 27.0 * e2 + 12.0 * e3 - 2.0 * e4) * w2;
    c.hsPart = single - pair;
    c.C1 = 1.0 / (1.0 + mbar * single + (1.0 - mbar) * pair);
    const N C1sq = c.C1 * c.C1;
    c.C2 = -C1sq * (mbar * (-4.0 * e2 + 20.0 * e + 8.0) * u4 * u +
                    (1.0 - mbar) * (2.0 * e3 + 12.0 * e2 - 48.0 * e + 40.0) * w2 * w);
    c.C3 =
        2.0 * c.C2 * c.C2 / c.C1 -
        C1sq * (mbar * (-12.0 * e2 + 72.0 * e + 60.0) * u4 * u2 +
                (1.0 - mbar) * (-6.0 * e4 - 48.0 * e3 + 288.0 * e2 - 480.0 * e + 264.0) * w2 * w2);
    return c;
  }
  Dispersion disp; // at the eta of the last pressure

  // Reduced residual Helmholtz energy per molecule at the last pressure;
  // also kept in ares.
  N helmholtz(const PcsaftParameters &p) {
    using std::log;
    const Dispersion &c = disp;
    const N u = 1.0 / (1.0 - eta);
    const N r = zetat[2] / zetat[3];
    const N h1 = zetat[1] * r / zetat[0];
    const N h2 = r * r * zetat[2] / zetat[0];
    hardSphere = 3.0 * h1 * eta * u + h2 * eta * u * u + (h2 - 1.0) * log(1.0 - eta);
    N achain = 0.0;
    for (int i = 0; i < n; ++i)
      achain += x[i] * (1.0 - p.m[i]) * log(g[i]);
    const N adisp =
        -2.0 * pcsaft::pi * rho * c.I1 * S1 - pcsaft::pi * rho * mbar * c.C1 * c.I2 * S2;
    ares = mbar * hardSphere + achain + adisp;
    return ares;
  }

  // ln phi_k of the first n components into lnphi, at the last pressure,
  // with Z from the (possibly regularised) P:
  //   ln phi_k = a_res + (Z - 1) + da_res/dx_k - sum_j x_j da_res/dx_j - ln Z,
  // the x derivatives at constant T and number density. Also sets ares.
  void lnphi(const PcsaftParameters &p, N *out) {
    using std::log;
    const Dispersion &c = disp;
    helmholtz(p);
    const N zeta[4] = {zetat[0] * rho, zetat[1] * rho, zetat[2] * rho, eta};
    const N u = 1.0 / (1.0 - eta);
    const N u2 = u * u, u3 = u2 * u, u4 = u2 * u2;
    const N lnOne = log(1.0 - eta);
    const N z2sq = zeta[2] * zeta[2];
    const N z2cu = z2sq * zeta[2];
    const N &hs = hardSphere;
    // The contact-value derivatives are linear in zeta2,k and zeta3,k:
    //   sum_i x_i (1 - m_i) (dg_ii/dx_k) / g_ii = zeta3,k A3 + zeta2,k A2.
    N A2 = 0.0, A3 = 0.0;
    for (int i = 0; i < n; ++i) {
      const N D = d[i] * 0.5;
      const N w = x[i] * (1.0 - p.m[i]) / g[i];
      A3 += w * (u2 + D * 6.0 * zeta[2] * u3 + D * D * 6.0 * z2sq * u4);
      A2 += w * (D * 3.0 * u2 + D * D * 4.0 * zeta[2] * u3);
    }
    N QA = qa[6], QB = qb[6];
    for (int k = 5; k >= 0; --k) {
      QA = QA * eta + qa[k];
      QB = QB * eta + qb[k];
    }
    const N Zp = P * pcsaft::cubicAngstrom / (pcsaft::kB * T * rho);
    const double piRho6 = pcsaft::pi / 6.0;
    N sumx = 0.0;
    for (int k = 0; k < n; ++k) {
      const N dk2 = d[k] * d[k];
      const N zk0 = piRho6 * p.m[k] * rho;
      const N zk1 = zk0 * d[k], zk2 = zk0 * dk2, zk3 = zk2 * d[k];
      const N dhs =
          -(zk0 / zeta[0]) * hs +
          (3.0 * (zk1 * zeta[2] + zeta[1] * zk2) * u + 3.0 * zeta[1] * zeta[2] * zk3 * u2 +
           3.0 * z2sq * zk2 / zeta[3] * u2 +
           z2cu * zk3 * (3.0 * zeta[3] - 1.0) / (zeta[3] * zeta[3]) * u3 +
           ((3.0 * z2sq * zk2 * zeta[3] - 2.0 * z2cu * zk3) / (zeta[3] * zeta[3] * zeta[3]) - zk0) *
               lnOne +
           (zeta[0] - z2cu / (zeta[3] * zeta[3])) * zk3 * u) /
              zeta[0];
      const N H = p.m[k] * hs + mbar * dhs;
      const N Ch = zk3 * A3 + zk2 * A2 + (1.0 - p.m[k]) * log(g[k]);
      const N I1k = zk3 * c.dI1 + p.m[k] * QA;
      const N I2k = zk3 * c.dI2 + p.m[k] * QB;
      const N S1k = 2.0 * e1[k] / T;
      const N S2k = 2.0 * e2[k] / (T * T);
      const N C1k = c.C2 * zk3 - c.C1 * c.C1 * p.m[k] * c.hsPart;
      const N Disp =
          -2.0 * pcsaft::pi * rho * (I1k * S1 + c.I1 * S1k) -
          pcsaft::pi * rho *
              ((C1k * c.I2 + c.C1 * I2k) * mbar * S2 + c.C1 * c.I2 * (p.m[k] * S2 + mbar * S2k));
      out[k] = H + Ch + Disp;
      sumx += x[k] * out[k];
    }
    const N common = ares + (Zp - 1.0) - sumx - log(Zp);
    for (int k = 0; k < n; ++k)
      out[k] += common;
  }
};

} // namespace Phase
