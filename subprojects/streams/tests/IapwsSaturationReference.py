#!/usr/bin/env python3
"""Saturation temperature of IAPWS-95 water at 1 bar, independently of the
kernel: the residual Helmholtz energy from the published coefficient table
(shared/data/iapws95/residual.csv), R = 0.46151805 kJ/(kg K), Tc = 647.096 K,
rhoc = 322 kg/m3, and mpmath at 40 digits solving equal pressure (1e5 Pa) and
equal Gibbs energy of liquid and vapour:
  p = rho R T (1 + delta phir_delta),
  g / (R T) = 1 + phir + delta phir_delta + ln delta (+ terms equal in both)."""
import csv
import os
from mpmath import mp, mpf, exp, log, diff, findroot

mp.dps = 40
here = os.path.dirname(os.path.abspath(__file__))
table = os.path.join(here, "..", "..", "..", "..", "shared", "data", "iapws95", "residual.csv")
if not os.path.exists(table):
    table = "/work/shared/data/iapws95/residual.csv"
rows = list(csv.DictReader(open(table)))
R, Tc, rhoc, P = mpf("461.51805"), mpf("647.096"), mpf(322), mpf(100000)


def f(key, row):
    return mpf(row[key]) if row[key].strip() else None


def phir(d, t):
    s = mpf(0)
    for row in rows:
        i, n = int(row["i"]), f("n", row)
        if i <= 7:
            s += n * d**f("d", row) * t**f("t", row)
        elif i <= 51:
            s += n * d**f("d", row) * t**f("t", row) * exp(-d**f("c", row))
        elif i <= 54:
            s += n * d**f("d", row) * t**f("t", row) * exp(
                -f("alpha", row) * (d - f("epsilon", row))**2 - f("beta", row) * (t - f("gamma", row))**2)
        else:
            a, b, B, C, D, A, be = (f(k, row) for k in ("a", "b", "B", "C", "D", "A", "beta"))
            theta = (1 - t) + A * ((d - 1)**2)**(1 / (2 * be))
            Delta = theta**2 + B * ((d - 1)**2)**a
            psi = exp(-C * (d - 1)**2 - D * (t - 1)**2)
            s += n * Delta**b * d * psi
    return s


def dphir(d, t):
    return diff(lambda x: phir(x, t), d)


def pressure(d, T):
    return rhoc * d * R * T * (1 + d * dphir(d, Tc / T))


def gibbs(d, T):
    t = Tc / T
    return 1 + phir(d, t) + d * dphir(d, t) + log(d)


def equations(T, dl, dv):
    return [pressure(dl, T) / P - 1, pressure(dv, T) / P - 1, gibbs(dl, T) - gibbs(dv, T)]


T, dl, dv = findroot(equations, (mpf("372.76"), mpf("958.4") / 322, mpf("0.5898") / 322))
print("Tsat(1 bar) =", mp.nstr(T, 20), "K")
