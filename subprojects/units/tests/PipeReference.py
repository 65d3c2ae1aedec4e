# Reference values of the pipe tests (PipeTest.cpp), written from the
# published correlations, independent of the C++ code:
#   - Darcy friction factor: the Colebrook equation solved by brentq
#     (64/Re below Re 2300);
#   - Beggs and Brill (J. Pet. Technol. 25 (1973) 607-617): flow-pattern
#     boundaries L1, L2, horizontal holdup a lambda^b / Fr^c, inclination
#     coefficient C = (1 - lambda) ln(e lambda^f NLv^g Fr^h), psi = 1 +
#     C (sin 1.8 theta - sin^3 1.8 theta / 3), friction ratio exp(S);
#   - the two-phase inlet of the inclined pipe from a Rachford-Rice split
#     with constant K values and the test components' constant properties.
# Run: /usr/bin/python3 PipeReference.py
from math import log, log10, exp, sin, sqrt, pi, asin
from scipy.optimize import brentq

g = 9.806
R = 8314.4

def colebrook(Re, ed):
    if Re < 2300:
        return 64.0 / Re
    x = brentq(lambda x: x + 2 * log10(ed / 3.7 + 2.51 * x / Re), 0.1, 100, xtol=1e-15)
    return 1 / x**2

# (pattern, a, b, c, uphill (e, f, g, h) or None for C = 0)
PATTERNS = {
    "segregated": (0.98, 0.4846, 0.0868, (0.011, -3.768, 3.539, -1.614)),
    "intermittent": (0.845, 0.5351, 0.0173, (2.96, 0.305, -0.4473, 0.0978)),
    "distributed": (1.065, 0.5824, 0.0609, None),
}
DOWNHILL = (4.70, -0.3692, 0.1244, -0.5056)

def beggs_brill(lam, Fr, NLv, theta):
    X = log(lam)
    L1 = exp(-4.62 - 3.757 * X - 0.481 * X**2 - 0.0207 * X**3)
    L2 = exp(1.061 - 4.602 * X - 1.609 * X**2 - 0.179 * X**3 + 0.635e-3 * X**5)
    if Fr < L1:
        p = "segregated"
    elif Fr > L1 and Fr > L2:
        p = "distributed"
    else:
        p = "intermittent"
    a, b, c, up = PATTERNS[p]
    hL0 = max(a * lam**b / Fr**c, lam)
    coeff = DOWNHILL if theta < 0 else up
    C = 0.0 if coeff is None else (1 - lam) * log(coeff[0] * lam**coeff[1] * NLv**coeff[2] * Fr**coeff[3])
    C = max(C, 0.0)
    s = sin(1.8 * theta)
    psi = 1 + C * (s - s**3 / 3)
    hL = min(max(hL0 * psi, 0.0), 1.0)
    return p, L1, L2, hL0, C, psi, hL

def friction_exponent(y):
    if 1 < y < 1.2:
        return log(2.2 * y - 1.2)
    if abs(y) < 0.01:
        return 16 * y
    l = log(y)
    return l / (-0.0523 + 3.182 * l - 0.8725 * l**2 + 0.01853 * l**4)

print("# Beggs-Brill points: lambda Fr NLv theta -> pattern hL0 C psi hL")
for lam, Fr, NLv, th in [(0.1, 0.05, 0.5, 0.0), (0.1, 0.05, 0.5, 0.2), (0.3, 20.0, 1.0, pi / 6),
                         (0.5, 100.0, 2.0, 0.3), (0.9, 5.0, 2.0, -0.3), (0.9, 1e6, 2.0, 0.0),
                         (0.6, 0.5, 0.01, pi / 4)]:
    p, L1, L2, hL0, C, psi, hL = beggs_brill(lam, Fr, NLv, th)
    print(f"{{{lam}, {Fr}, {NLv}, {th!r}, \"{p}\", {hL0:.15g}, {C:.15g}, {psi:.15g}, {hL:.15g}}},")
print("# S(y)")
for y in [1.0, 1.1, 0.005, 0.5, 2.5]:
    print(y, repr(friction_exponent(y)))

print("# friction factors of the liquid pipe: 2 kg/s, di 40 mm")
At = pi * 0.04**2 / 4
for mu, eps in [(1.0, 0.0457e-3), (0.05, 0.0457e-3), (2e-2, 0.0457e-3), (1e-3, 0.0457e-3),
                (1e-4, 0.0457e-3), (1e-3, 0.4e-3), (1e-4, 1.0e-3)]:
    Re = 2 * 0.04 / (mu * At)
    print(f"{{{mu}, {eps * 1e3}, {Re:.12g}, {colebrook(Re, eps / 0.04):.12g}}},")

print("# inclined two-phase pipe")
T, P = 300.0, 1e6
K = [1e9 / P, 2e3 / P]          # gas-like, liquid-like
z = [0.0166, 0.9834]
n = 0.064                       # kmol/s
MW, rholmol, mul, muv, sigma = 18.0, 55.5, 1e-3, 1.5e-5, 0.07
rr = lambda a: sum(zi * (Ki - 1) / (1 + a * (Ki - 1)) for zi, Ki in zip(z, K))
alfa = brentq(rr, 1e-12, 1 - 1e-12, xtol=1e-16)
V, L = alfa * n, (1 - alfa) * n
qV = V * R * T / P
qL = L / rholmol
rhoL = MW * rholmol
rhoV = P * MW / (R * T)
rho = (V + L) * MW / (qV + qL)
di, Lp, h, ed = 0.04, 10.0, 5.0, 0.0457 / 40
theta = asin(h / Lp)
v = (qL + qV) / At
lam = qL / (qL + qV)
Fr = v**2 / (g * di)
vSL = qL / At
NLv = (vSL**4 * rhoL / (g * sigma))**0.25
p, L1, L2, hL0, C, psi, hL = beggs_brill(lam, Fr, NLv, theta)
muM = lam * mul + (1 - lam) * muv
Re = rho * v * di / muM
fns = colebrook(Re, ed)
S = friction_exponent(lam / hL**2)
f = fns * exp(S)
E = v * v / 2
dPf = f * Lp / di * E * rho
rhoS = rhoL * hL + rhoV * (1 - hL)
dPg = g * h * rhoS
print(f"alfa {alfa!r} lambda {lam!r} v {v!r} Fr {Fr!r} NLv {NLv!r} pattern {p}")
print(f"hL0 {hL0!r} C {C!r} psi {psi!r} hL {hL!r} rho {rho!r} rhoS {rhoS!r}")
print(f"Re {Re!r} fns {fns!r} S {S!r} f {f!r} dPf {dPf!r} dPg {dPg!r} dP {dPf + dPg!r}")
print(f"no-slip gravity term {g * h * rho!r}")
# homogeneous model on the same inlet: hL = lambda, the no-slip density.
fh = colebrook(rho * v * di / muM, ed)
print(f"homogeneous: Re {rho * v * di / muM!r} f {fh!r} dPf {fh * Lp / di * E * rho!r} dPg {g * h * (rhoL * lam + rhoV * (1 - lam))!r}")

print("# gas pipe: 0.5 kg/s of MW 29 at 5 bar and 300 K, muv 1.8e-5 Pa s")
for Lg in (10.0, 5.0):
    rhoG = 5e5 * 29 / (R * 300)
    vG = 0.5 / rhoG / At
    ReG = 0.5 * 0.04 / (1.8e-5 * At)
    fG = colebrook(ReG, 0.0457 / 40)
    print(f"L {Lg} rho {rhoG!r} v {vG!r} Re {ReG!r} f {fG!r} dP {fG * Lg / 0.04 * rhoG * vG**2 / 2!r}")

print("# gas flow of the inclined pipe: 0.064 kmol/s of (0.5, 0.5), lambda below 0.01")
z = [0.5, 0.5]
alfa = brentq(rr, 1e-12, 1 - 1e-12, xtol=1e-16)
V, L = alfa * n, (1 - alfa) * n
qV, qL = V * R * T / P, L / rholmol
lam = qL / (qL + qV)
Re = n * MW * di / (muv * At)
f = colebrook(Re, ed)
v = (qL + qV) / At
dPf = f * Lp / di * v * v / 2 * rhoV
dPg = g * h * (rhoL * lam + rhoV * (1 - lam))
print(f"alfa {alfa!r} lambda {lam!r} Re {Re!r} f {f!r} dPf {dPf!r} dPg {dPg!r}")
