#!/usr/bin/env python3
"""Excess enthalpy, entropy and heat capacity of the UNIFAC worked example
(ethanol as CH3 + CH2 + OH, and water; x = (0.4, 0.6), T = 350 K) from the
published group parameters, independently of the kernel: gE/RT =
sum x_i ln gamma_i, differentiated in T with mpmath at 30 digits.
  HE = -R T^2 d(gE/RT)/dT, SE = (HE - R T gE/RT)/T, CpE = dHE/dT."""
from mpmath import mp, mpf, exp, log, diff

mp.dps = 30
R = mpf("8314.4")
Rk = {1: mpf("0.9011"), 2: mpf("0.6744"), 14: mpf("1.0"), 16: mpf("0.92")}
Qk = {1: mpf("0.848"), 2: mpf("0.54"), 14: mpf("1.2"), 16: mpf("1.4")}
main = {1: 1, 2: 1, 14: 5, 16: 7}
a = {(1, 5): mpf("986.5"), (5, 1): mpf("156.4"), (1, 7): mpf("1318"), (7, 1): mpf("300"),
     (5, 7): mpf("353.5"), (7, 5): mpf("-229.1")}
comps = [{1: 1, 2: 1, 14: 1}, {16: 1}]
groups = [1, 2, 14, 16]


def psi(m, k, T):
    return exp(-a.get((main[m], main[k]), mpf(0)) / T)


def lnGAMMA(theta, T):
    out = {}
    for k in groups:
        s1 = sum(theta[m] * psi(m, k, T) for m in groups)
        s2 = sum(theta[m] * psi(k, m, T) / sum(theta[n] * psi(n, m, T) for n in groups)
                 for m in groups)
        out[k] = Qk[k] * (1 - log(s1) - s2)
    return out


def areas(counts):
    total = sum(counts.values())
    X = {k: counts.get(k, 0) / total for k in groups}
    den = sum(Qk[k] * X[k] for k in groups)
    return {k: Qk[k] * X[k] / den for k in groups}


def gE(T, x):
    r = [sum(n * Rk[k] for k, n in c.items()) for c in comps]
    q = [sum(n * Qk[k] for k, n in c.items()) for c in comps]
    sr = sum(xi * ri for xi, ri in zip(x, r))
    sq = sum(xi * qi for xi, qi in zip(x, q))
    counts = {k: sum(x[i] * comps[i].get(k, 0) for i in range(2)) for k in groups}
    mix = lnGAMMA(areas(counts), T)
    g = 0
    for i, c in enumerate(comps):
        V, F = r[i] / sr, q[i] / sq
        lnC = 1 - V + log(V) - 5 * q[i] * (1 - V / F + log(V / F))
        pure = lnGAMMA(areas(c), T)
        lnR = sum(n * (mix[k] - pure[k]) for k, n in c.items())
        g += x[i] * (lnC + lnR)
    return g


T, x = mpf(350), [mpf("0.4"), mpf("0.6")]
g = gE(T, x)
HE = -R * T**2 * diff(lambda t: gE(t, x), T)
SE = (HE - R * T * g) / T
CpE = diff(lambda t: -R * t**2 * diff(lambda s: gE(s, x), t), T)
print("gE/RT", mp.nstr(g, 15))
print("HE", mp.nstr(HE, 15), "SE", mp.nstr(SE, 15), "CpE", mp.nstr(CpE, 15))
