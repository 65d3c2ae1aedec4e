#!/usr/bin/env python3
"""Molar volumes of single-phase cubic states of the kernel's components,
independently of the kernel: the roots of the cubic in v by mpmath at 40
digits, with the engines' constants (R = 8314.4 J/(kmol K); van der Waals
OmegaA = 27/64, OmegaB = 1/8; Soave-Redlich-Kwong 0.42747, 0.08664,
m = 0.48 + 1.574 w - 0.176 w^2; Peng-Robinson 0.4572355289, 0.0777960739,
m = 0.37464 + 1.54226 w - 0.26992 w^2), the one-fluid mixing rules with the
geometric mean and the critical constants of KernelComponents.cpp and
PureComponentsFluids.cpp. A liquid takes the smallest root above b, a
vapour the largest."""
from mpmath import mp, mpf, sqrt, polyroots

mp.dps = 40
R = mpf("8314.4")
# Tc (K), Pc (Pa), omega
comps = {
    "H2O": (mpf("647.13"), mpf("2.2055e7"), mpf("0.344861")),
    "H2": (mpf("33.19"), mpf("1313000"), mpf("-0.215993")),
    "Chemical1": (mpf("461.15"), mpf("6480000"), mpf("0.382283")),
    "Chemical2": (mpf("324.65"), mpf("8310000"), mpf("0.131544")),
}
engines = {
    "VanDerWaals": (mpf(27) / 64, mpf(1) / 8, None, 0, 0),
    "KwongRedlichSoave": (mpf("0.42747"), mpf("0.08664"),
                          lambda w: mpf("0.48") + mpf("1.574") * w - mpf("0.176") * w**2, 1, 0),
    "PengRobinson": (mpf("0.4572355289"), mpf("0.0777960739"),
                     lambda w: mpf("0.37464") + mpf("1.54226") * w - mpf("0.26992") * w**2,
                     1 + sqrt(2), 1 - sqrt(2)),
}


def volume(engine, phase, T, P, x):
    OA, OB, m, d1, d2 = engines[engine]
    T, P = mpf(T), mpf(P)
    sa, b = 0, 0
    for name, xi in x.items():
        Tc, Pc, w = comps[name]
        a = OA * R**2 * Tc**2 / Pc
        if m is not None:
            a *= (1 + m(w) * (1 - sqrt(T / Tc)))**2
        sa += mpf(xi) * sqrt(a)
        b += mpf(xi) * OB * R * Tc / Pc
    a = sa**2
    # P (v - b)(v + d1 b)(v + d2 b) = R T (v + d1 b)(v + d2 b) - a (v - b)
    s, p = (d1 + d2) * b, d1 * d2 * b * b
    c3 = P
    c2 = P * (s - b) - R * T
    c1 = P * (p - s * b) - R * T * s + a
    c0 = -P * p * b - R * T * p - a * b
    roots = sorted(r.real for r in polyroots([c3, c2, c1, c0], maxsteps=200, extraprec=200)
                   if abs(r.imag) < mpf(10)**-30 and r.real > b)
    return roots[0] if phase == "liquid" else roots[-1]


cases = [
    ("VanDerWaals", "liquid", 320, 5e5, {"Chemical1": 1}),
    ("VanDerWaals", "vapor", 400, 1e5, {"Chemical1": 1}),
    ("KwongRedlichSoave", "liquid", 300, 1e5, {"H2O": 1}),
    ("KwongRedlichSoave", "vapor", 400, 1e5, {"H2O": 1}),
    ("PengRobinson", "liquid", 250, 2e6, {"Chemical2": 1}),
    ("PengRobinson", "vapor", 300, 2e6, {"H2": "0.5", "Chemical2": "0.5"}),
]
for engine, phase, T, P, x in cases:
    print(engine, phase, T, P, x, mp.nstr(volume(engine, phase, T, P, x), 17))
