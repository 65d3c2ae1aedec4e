# Reference values of the column table (ColumnReferenceTest.cpp): a
# stage-by-stage (MESH) solution of the same column, independent of the C++
# code, with the kernel components' own correlations written out again here:
#   - vapour pressure ln p = A + B/(T + C) + D T + E ln T + F T^G between
#     Tmin and Tmax, Clausius-Clapeyron extrapolations outside (below Tmin
#     through the heat of vaporisation constant, above Tmax at the slope of
#     Tmax); ideal K = psat / P;
#   - ideal-gas enthalpy from dh0 at 298.15 K: the DIPPR 107 integral
#     (Chemical1, Chemical2) or the polynomial in ln T (water);
#   - liquid enthalpy hv(T) - dhvl(T), dhvl = T dpsat/dT (RT/psat - vl),
#     vl from the DIPPR 105 density (clamped to its range) or the water
#     density correlation at psat;
#   - ideal mixtures: h = sum x h_i.
# The column: N adiabatic stages at 1 atm, the feed flashed at its own
# temperature, its vapour entering stage f and its liquid stage f + 1; a
# total condenser (bubble-point condensate, reflux = RR distillate) and a
# partial reboiler boiling up BR times the bottoms. The equations (component
# balances, sums of x and y, enthalpy balance of each stage, the reboiler's
# flash and the condenser's bubble point) are solved with scipy's hybr from
# the feed's bubble point and constant molar flows (Levenberg-Marquardt
# where hybr stalls). Residuals below 1e-12.
# Run: /usr/bin/python3 ColumnReference.py
from math import exp, log
import numpy as np
from scipy.optimize import brentq, root

R = 8314.4
T0 = 298.15
P = 101325.0
COMP = {
    "H2O": dict(dh0=-2.41814e8, dhvl0=5.2053e7,
                ant=(73.649, -7258.2, 0, 0, -7.3037, 4.1653e-6, 2, 273.16, 647.13),
                cpln=(-2558.7254408, 1954.64102748, -573.43988184, 81.5422031, -5.6045238,
                      0.14904476)),
    "Chemical1": dict(dh0=-273300000.0, dhvl0=134510000.0,
                      ant=(59.544, -4143.8, 0, 0, -6.1764, 1.4161e-05, 2, 189.79, 461.15),
                      cp=(29134, 9325.2, 2905, 195, 1326),
                      rhol=(2.5635, 0.1766, 461.15, 0.3733, 189.79, 461.15)),
    "Chemical2": dict(dh0=-92310000.0, dhvl0=0.0,
                      ant=(104.27, -3731.2, 0, 0, -15.047, 0.03134, 1, 158.97, 324.65),
                      cp=(29157, 9048, 2093.8, -107, 120),
                      rhol=(3.342, 0.2729, 324.65, 0.3217, 158.97, 324.65)),
}


def lnps(a, t):
    return a[0] + a[1] / (t + a[2]) + a[3] * t + a[4] * log(t) + a[5] * t**a[6]


def slope(a, t):
    return a[5] * a[6] * t**(a[6] - 1) - a[1] / (t + a[2])**2 + a[4] / t + a[3]


def psat(c, T):
    """Vapour pressure and its temperature derivative."""
    a = COMP[c]["ant"]
    tmin, tmax = a[7], a[8]
    if T < tmin:
        A = COMP[c]["dhvl0"]
        b = (R * tmin * tmin * slope(a, tmin) - A) / tmin
        p = exp(lnps(a, tmin)) * exp((b * log(T / tmin) - A * (1 / T - 1 / tmin)) / R)
        return p, p * (A + b * T) / (R * T * T)
    if T < tmax:
        p = exp(lnps(a, T))
        return p, p * slope(a, T)
    B = tmax * tmax * slope(a, tmax)
    p = exp(lnps(a, tmax)) * exp(B / tmax - B / T)
    return p, p * B / T**2


def hv(c, T):
    d = COMP[c]
    if "cpln" in d:
        h = list(d["cpln"])  # h(T) = T sum h_k (ln T)^k with d/dT that = cp
        for k in range(4, -1, -1):
            h[k] = d["cpln"][k] - (k + 1) * h[k + 1]
        poly = lambda t: sum(hk * log(t)**k for k, hk in enumerate(h))
        return 1000.0 * (T * poly(T) - T0 * poly(T0)) + d["dh0"]
    C = d["cp"]
    H = lambda t: (C[0] * t + 4 * C[1] * C[2]**2 / (2 * C[2] * exp(2 * C[2] / t) - 2 * C[2]) +
                   4 * C[3] * C[4]**2 / (2 * C[4] * exp(2 * C[4] / t) + 2 * C[4]))
    return H(T) - H(T0) + d["dh0"]


def rhol_water(T, p):
    th = min(max(T, 273.16), 1015.0)
    rho0 = 44.144886689283 + th * (0.112866296384922 + th * (-0.000264728179188708 +
                                                             th * 1.22687357845896e-7))
    thD = th
    if p < 2.21e7 and T > 647.0:
        thD, d = 647.0, 4.3858479629
    else:
        d = 0.0065181245 * T + 0.1686214114
    if T < 330.0:
        d -= 1.15e-6 * (thD - 330.0)**3
    elif T > 450.0:
        d += 9.51590724799123e-7 * (thD - 450.0)**3.02587474345738
    return rho0 - d * (1.0 - p / 1e8)


def rhol(c, T, p):
    if c == "H2O":
        return rhol_water(T, p)
    C1, C2, C3, C4, tmin, tmax = COMP[c]["rhol"]
    t = min(max(T, tmin), tmax)
    return C1 / C2**(1 + (1 - t / C3)**C4)


def hl(c, T):
    p, dp = psat(c, T)
    return hv(c, T) - dp * T * (R * T / p - 1 / rhol(c, T, p))


def K(c, T):
    return psat(c, T)[0] / P


def hL(comps, x, T):
    return sum(xi * hl(c, T) for c, xi in zip(comps, x))


def hV(comps, y, T):
    return sum(yi * hv(c, T) for c, yi in zip(comps, y))


def feed_flash(comps, z, T):
    k = np.array([K(c, T) for c in comps])
    rr = lambda a: np.sum(z * (k - 1) / (1 + a * (k - 1)))
    if rr(0.0) <= 0:
        return 0.0, z, k * z
    a = brentq(rr, 0, 1, xtol=1e-16, rtol=1e-15)
    x = z / (1 + a * (k - 1))
    return a, x, k * x


def column(comps, z, TF, N, f, RR, BR, F=0.01, u0=None):
    nc = len(comps)
    z = np.array(z)
    alfa, xF, yF = feed_flash(comps, z, TF)
    FV, FL = alfa * F, (1 - alfa) * F
    a = BR / (1 + BR)

    # Unknowns: x, ln T, V, L of stages 1..N; x and ln T of the reboiler;
    # ln T of the condenser.
    def unpack(u):
        s = u[:N * (nc + 3)].reshape(N, nc + 3)
        return (s[:, :nc], np.exp(s[:, nc]), s[:, nc + 1], s[:, nc + 2],
                u[N * (nc + 3):N * (nc + 3) + nc], exp(u[-2]), exp(u[-1]))

    def residuals(u):
        x, T, V, L, xB, TR, Tc = unpack(u)
        y = np.array([[K(c, t) for c in comps] for t in T]) * x
        yB = np.array([K(c, TR) for c in comps]) * xB
        L0 = RR / (1 + RR) * V[0]
        VR = a * L[-1]
        r = []
        for j in range(N):
            Lin, xin, Tin = (L0, y[0], Tc) if j == 0 else (L[j - 1], x[j - 1], T[j - 1])
            Vin, yin, Tv = (VR, yB, TR) if j == N - 1 else (V[j + 1], y[j + 1], T[j + 1])
            fl = FL if j == f else 0.0
            fv = FV if j == f - 1 else 0.0
            r.extend((Lin * xin + Vin * yin + fl * xF + fv * yF - L[j] * x[j] - V[j] * y[j]) / F)
            r.append(np.sum(y[j]) - 1)
            r.append(np.sum(x[j]) - 1)
            r.append((Lin * hL(comps, xin, Tin) + Vin * hV(comps, yin, Tv) +
                      fl * hL(comps, xF, TF) + fv * hV(comps, yF, TF) -
                      L[j] * hL(comps, x[j], T[j]) - V[j] * hV(comps, y[j], T[j])) / F / 1e7)
        r.extend((L[-1] * x[-1] - VR * yB - (1 - a) * L[-1] * xB) / F)
        r.append(np.sum(yB) - np.sum(xB))
        r.append(sum(K(c, Tc) * xi for c, xi in zip(comps, y[0])) - 1)
        return np.array(r)

    if u0 is None:
        Tb = brentq(lambda T: sum(K(c, T) * zi for c, zi in zip(comps, z)) - 1, 150, 460)
        D = F * (1 + RR - alfa) / (RR + BR + 1)
        Vs = BR * (F - D)
        Ve, Ls = Vs + FV, Vs + F - D
        u0 = []
        for j in range(N):
            u0 += list(z) + [log(Tb), Ve if j < f else Vs, Ve - D if j < f else Ls]
        u0 = np.array(u0 + list(z) + [log(Tb), log(Tb)])
    sol = root(residuals, u0, method="hybr", options=dict(xtol=1e-14, maxfev=200000))
    if np.max(np.abs(residuals(sol.x))) > 1e-12:
        sol = root(residuals, sol.x, method="lm",
                   options=dict(xtol=1e-15, ftol=1e-15, maxiter=200000))
    x, T, V, L, xB, TR, Tc = unpack(sol.x)
    xD = np.array([K(c, T[0]) for c in comps]) * x[0]
    D, B = V[0] / (1 + RR), (1 - a) * L[-1]
    return dict(res=np.max(np.abs(residuals(sol.x))), u=sol.x, D=D, B=B, xD=xD, xB=xB, Tc=Tc,
                TR=TR, alfa=alfa)


# pair, fractions, feed temperature, stages, feed stage, RR, BR, feed state
CASES = [
    (("Chemical1", "Chemical2"), (0.3, 0.7), 190.0, 10, 5, 1.0, 2.0, "subcooled"),
    (("Chemical1", "Chemical2"), (0.3, 0.7), 215.145, 4, 2, 1.0, 1.0, "partly vaporised"),
    (("H2O", "Chemical1"), (0.5, 0.5), 312.4289, 4, 2, 5.0, 1.0, "bubble point"),
    (("H2O", "Chemical1"), (0.5, 0.5), 330.0, 6, 3, 2.0, 2.0, "partly vaporised"),
    (("H2O", "Chemical1"), (0.3, 0.7), 300.0, 30, 15, 3.0, 3.0, "subcooled"),
    (("Chemical1", "Chemical2"), (0.3, 0.7), 190.0, 40, 20, 1.0, 2.0, "subcooled"),
]

if __name__ == "__main__":
    for comps, z, TF, N, f, RR, BR, state in CASES:
        r = column(comps, z, TF, N, f, RR, BR)
        assert r["res"] < 1e-12, r["res"]
        print("    // %s, feed vapour fraction %.6f, residual %.1e" % (state, r["alfa"], r["res"]))
        print('    {"%s", "%s", %g, %.10g, %d, %d, %g, %g, %.12g, %.12g, %.12g, %.12g, %.10f, %.10f},' %
              (comps[0], comps[1], z[0], TF, N, f, RR, BR, r["D"], r["B"], r["xD"][0], r["xB"][0],
               r["Tc"], r["TR"]))
