# Reference values of the two-phase stream tests, computed once with
# /usr/bin/python3 (scipy) independently of the library:
#   - Raoult-law bubble and dew temperatures from the DIPPR-101 vapour
#     pressures of n-pentane and n-hexane;
#   - the PT flash of methane + n-butane at 300 K, 3 MPa with the
#     Peng-Robinson and Soave-Redlich-Kwong equations (van der Waals mixing,
#     no interaction parameters), by successive substitution on the
#     fugacity coefficients;
#   - the liquid-liquid split of an NRTL binary (tau = b / T, alpha 0.2);
#   - the modified-Raoult PT flash over the same NRTL liquid.
import math
from scipy.optimize import brentq, fsolve

R = 8314.4

def psat(c, T):  # ln(psat/Pa) = C1 + C2/T + C3 ln T + C4 T^C5
    return math.exp(c[0] + c[1] / T + c[2] * math.log(T) + c[3] * T ** c[4])

pentane = (78.741, -5420.3, -8.8253, 9.6171e-6, 2)
hexane = (104.65, -6995.5, -12.702, 1.2381e-5, 2)
P = 101325.0
for z in (0.4,):
    zs = (z, 1 - z)
    bub = brentq(lambda T: zs[0] * psat(pentane, T) / P + zs[1] * psat(hexane, T) / P - 1, 250, 400)
    dew = brentq(lambda T: zs[0] * P / psat(pentane, T) + zs[1] * P / psat(hexane, T) - 1, 250, 400)
    print("raoult z0=%g P=%g bubble %.10f dew %.10f" % (z, P, bub, dew))
T = 328.0
K = [psat(pentane, T) / P, psat(hexane, T) / P]
zs = (0.4, 0.6)
a = brentq(lambda a: sum(zs[i] * (K[i] - 1) / (1 + a * (K[i] - 1)) for i in range(2)), 1e-9, 1 - 1e-9)
print("raoult PT T=%g alfa %.12f K %r" % (T, a, K))

# Cubic equations.
comps = [(190.564, 4.5992e6, 0.01142), (425.12, 3.796e6, 0.2)]
def cubic(kind):
    if kind == "PR":
        oa, ob, u, w = 0.4572355289, 0.0777960739, 2.0, -1.0
        m = lambda om: 0.37464 + 1.54226 * om - 0.26992 * om * om
    else:
        oa, ob, u, w = 0.42747, 0.08664, 1.0, 0.0
        m = lambda om: 0.48 + 1.574 * om - 0.176 * om * om
    return oa, ob, u, w, m

def lnphi(kind, x, T, P, phase):
    oa, ob, u, w, m = cubic(kind)
    ai = [oa * R * R * Tc * Tc / Pc * (1 + m(om) * (1 - math.sqrt(T / Tc))) ** 2 for Tc, Pc, om in comps]
    bi = [ob * R * Tc / Pc for Tc, Pc, om in comps]
    n = len(x)
    am = sum(x[i] * x[j] * math.sqrt(ai[i] * ai[j]) for i in range(n) for j in range(n))
    bm = sum(x[i] * bi[i] for i in range(n))
    A = am * P / (R * T) ** 2
    B = bm * P / (R * T)
    # Z^3 - (1 + B - uB) Z^2 + (A + wB^2 - uB - uB^2) Z - (AB + wB^2 + wB^3) = 0
    import numpy as np
    c = [1, -(1 + B - u * B), A + w * B * B - u * B - u * B * B, -(A * B + w * B * B + w * B ** 3)]
    roots = [r.real for r in np.roots(c) if abs(r.imag) < 1e-10 and r.real > B]
    Z = max(roots) if phase == "v" else min(roots)
    d = math.sqrt(u * u - 4 * w)
    out = []
    for i in range(n):
        s = sum(x[j] * math.sqrt(ai[i] * ai[j]) for j in range(n))
        out.append(bi[i] / bm * (Z - 1) - math.log(Z - B)
                   + A / (B * d) * (bi[i] / bm - 2 * s / am)
                   * math.log((2 * Z + B * (u + d)) / (2 * Z + B * (u - d))))
    return out, Z

for kind in ("PR", "SRK"):
    T, P, z = 300.0, 3e6, (0.5, 0.5)
    K = [5.0, 0.1]
    for it in range(500):
        a = brentq(lambda a: sum(z[i] * (K[i] - 1) / (1 + a * (K[i] - 1)) for i in range(2)), 1e-12, 1 - 1e-12)
        x = [z[i] / (1 + a * (K[i] - 1)) for i in range(2)]
        y = [K[i] * x[i] for i in range(2)]
        lv, Zv = lnphi(kind, y, T, P, "v")
        ll, Zl = lnphi(kind, x, T, P, "l")
        Kn = [math.exp(ll[i] - lv[i]) for i in range(2)]
        if max(abs(Kn[i] / K[i] - 1) for i in range(2)) < 1e-14:
            break
        K = Kn
    print("%s alfa %.12f x %r y %r" % (kind, a, x, y))

# NRTL binary: tau01 = b01 / T, tau10 = b10 / T.
alpha, b01, b10 = 0.2, 1000.0, 700.0
def lngamma(x, T):
    t01, t10 = b01 / T, b10 / T
    G01, G10 = math.exp(-alpha * t01), math.exp(-alpha * t10)
    x0, x1 = x
    g0 = x1 * x1 * (t10 * (G10 / (x0 + x1 * G10)) ** 2 + t01 * G01 / (x1 + x0 * G01) ** 2)
    g1 = x0 * x0 * (t01 * (G01 / (x1 + x0 * G01)) ** 2 + t10 * G10 / (x0 + x1 * G10) ** 2)
    return g0, g1
T = 300.0
def lle(v):
    a, b = (1 / (1 + math.exp(-t)) for t in v)
    ga, gb = lngamma((a, 1 - a), T), lngamma((b, 1 - b), T)
    return [math.log(a) + ga[0] - math.log(b) - gb[0],
            math.log(1 - a) + ga[1] - math.log(1 - b) - gb[1]]
sa, sb = fsolve(lle, [3.0, -3.0], xtol=1e-14)
xa, xb = 1 / (1 + math.exp(-sa)), 1 / (1 + math.exp(-sb))
print("LLE residuals", lle([sa, sb]))
print("NRTL LLE T=300 x0 rich %.12f x0 lean %.12f" % (xa, xb))
z0 = 0.5
beta = (z0 - xb) / (xa - xb)
print("feed 0.5: fraction of the rich phase %.12f" % beta)

# Modified Raoult over the NRTL liquid (ideal vapour), pentane/hexane data.
alpha, b01, b10 = 0.3, 200.0, 100.0
T, P, z = 322.0, 101325.0, (0.4, 0.6)
def resid(v):
    a, x0 = v
    x = (x0, 1 - x0)
    g = lngamma(x, T)
    K = [math.exp(g[0]) * psat(pentane, T) / P, math.exp(g[1]) * psat(hexane, T) / P]
    return [sum(z[i] * (K[i] - 1) / (1 + a * (K[i] - 1)) for i in range(2)),
            x0 - z[0] / (1 + a * (K[0] - 1))]
a, x0 = fsolve(resid, [0.5, 0.3], xtol=1e-14)
g = lngamma((x0, 1 - x0), T)
print("NRTL VLE T=%g alfa %.12f x0 %.12f y0 %.12f" % (T, a, x0, math.exp(g[0]) * psat(pentane, T) / P * x0))

# Modified Raoult over UNIFAC n-pentane (2 CH3, 3 CH2) + n-hexane (2 CH3,
# 4 CH2): one main group, so only the combinatorial part remains.
r = [2 * 0.9011 + 3 * 0.6744, 2 * 0.9011 + 4 * 0.6744]
q = [2 * 0.848 + 3 * 0.540, 2 * 0.848 + 4 * 0.540]
def lngamma_unifac(x):
    l = [5 * (r[i] - q[i]) - (r[i] - 1) for i in range(2)]
    sr = sum(x[i] * r[i] for i in range(2))
    sq = sum(x[i] * q[i] for i in range(2))
    out = []
    for i in range(2):
        phi, th = r[i] / sr, q[i] / sq  # Phi_i / x_i and theta_i / x_i
        out.append(math.log(phi) + 5 * q[i] * math.log(th / phi) + l[i]
                   - phi * sum(x[j] * l[j] for j in range(2)))
    return out
T, P, z = 328.0, 101325.0, (0.4, 0.6)
def resid_u(v):
    a, x0 = v
    g = lngamma_unifac((x0, 1 - x0))
    K = [math.exp(g[0]) * psat(pentane, T) / P, math.exp(g[1]) * psat(hexane, T) / P]
    return [sum(z[i] * (K[i] - 1) / (1 + a * (K[i] - 1)) for i in range(2)),
            x0 - z[0] / (1 + a * (K[0] - 1))]
a, x0 = fsolve(resid_u, [0.4, 0.3], xtol=1e-14)
g = lngamma_unifac((x0, 1 - x0))
print("UNIFAC VLE T=%g alfa %.12f x0 %.12f y0 %.12f" % (T, a, x0, math.exp(g[0]) * psat(pentane, T) / P * x0))

# The liquid-liquid flash of a feed outside the gap (z0 = 0.01, same NRTL
# binary at 300 K): the rich side vanishes (alfa 0, x = z, y = K z with
# sum K z < 1), and its K-value residuals carry the vanished-phase
# correction ln(1/sum K z) x_i:
#   ln K_i + ln gamma_i(y / sum y) - ln gamma_i(z) - ln(sum K z) z_i = 0
# (NRTL is homogeneous of degree 0 in the mole fractions).
alpha, b01, b10 = 0.2, 1000.0, 700.0
T, z = 300.0, (0.01, 0.99)
gz = lngamma(z, T)
def vanished(v):
    K = [math.exp(t) for t in v]
    kz = sum(K[i] * z[i] for i in range(2))
    yn = [K[i] * z[i] / kz for i in range(2)]
    g = lngamma(yn, T)
    return [v[i] + g[i] - gz[i] - math.log(kz) * z[i] for i in range(2)]
lnK = fsolve(vanished, [math.log(8.0), math.log(0.17)], xtol=1e-14)
K = [math.exp(t) for t in lnK]
print("NRTL outside the gap: K %.12f %.12f sum K z %.12f" % (K[0], K[1], K[0] * z[0] + K[1] * z[1]))
