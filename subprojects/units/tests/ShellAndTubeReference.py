# Reference values of ShellAndTubeRatingTest and HeatTransferCorrelationsTest,
# computed once with /usr/bin/python3 and mpmath from the published forms of
# the correlations and the constant properties of the test components; the
# tests never run this script.
from mpmath import mp, mpf, log, log10, exp, sqrt, acos, sin, cbrt, pi

mp.dps = 30
g = mpf('9.806')
R = mpf('8314.4')


def friction(Re, ed):
    # The explicit Colebrook approximation of the library's frictionFactor.
    ed = min(max(ed, mpf('1e-6')), mpf('0.05'))
    if Re < 2300:
        return 64 / Re
    C = (mpf('0.774') * log(Re) - mpf('1.41')) / (1 + mpf('1.32') * sqrt(ed))
    B = Re / mpf('3.7') * ed + mpf('2.51') * C
    a = C - (C + 2 * log10(B / Re)) / (1 + mpf('2.18') / B)
    return 1 / a**2


def bundle(N, de, L, D, b, c):
    r = {}
    As = pi * D**2 / 4
    td = N / As
    phi = acos(1 - 2 * c)
    nr = D * (1 - 2 * c) * sqrt(td)
    S = L / (b + 1)
    Lt = max(D * (1 - de * sqrt(td)), mpf('0.01') * D)
    p = 1 / sqrt(td)
    gap = p - de
    pa = max(1 + gap / de, mpf('0.851'))
    pb = sqrt(2 * pa + 1) / 2
    Awg = D**2 * phi / 4 - D**2 * sin(phi) * (mpf('0.5') - c) / 2
    Nw = Awg * td
    Aw = max(Awg - Nw * pi * de**2 / 4, mpf('0.01') * pi * D**2 / 4)
    Uw = D * sin(phi) + phi * D + pi * de * Nw
    return dict(As=As, td=td, phi=phi, nr=nr, S=S, Lt=Lt, p=p, gap=gap, pa=pa, pb=pb, Nw=Nw,
                Aw=Aw, dg=4 * Aw / Uw if Uw > 0 else mp.inf, Ae=S * Lt, chord=D * sin(phi), N=N, de=de, D=D, b=b,
                c=c)


def shell_drop(B, vdot, rho, mu, ns, eps, d1):
    de, D, b, c, N = B['de'], B['D'], B['b'], B['c'], B['N']
    we = vdot / 2 / B['Ae']
    Re = rho * we * de / mu
    pa, pb = B['pa'], B['pb']
    Fal = 280 * pi * ((sqrt(pb) - mpf('0.6'))**2 + mpf('0.75')) / ((4 * pa * pb - pi) * pa**mpf('1.6'))
    Fat = (mpf('2.5') + mpf('1.2') / (pa - mpf('0.85'))**mpf('1.08') + mpf('0.4') * (pb / pa - 1)**3
           - mpf('0.01') * (pa / pb - 1)**3)
    zeta = Fal / Re + Fat / Re**mpf('0.25') * (1 - exp(-(Re + 200) / 1000))
    dPc0 = zeta * B['nr'] * rho * we**2 / 2
    fB = 1
    if ns / B['nr'] < mpf('0.5'):
        beta = mpf('4.5') if Re < 100 else mpf('3.7')
        AB = B['S'] * max(mpf('0.011') - B['gap'], 0)
        fB = exp(-beta * AB / B['Ae'] * (1 - cbrt(2 * ns / B['nr'])))
    nre = D * (1 - c) * sqrt(B['td'])
    dPe = dPc0 * nre / B['nr'] * fB
    wp = vdot / 2 / B['Aw']
    ww = sqrt(we * wp)
    Rew = B['dg'] * ww * rho / mu
    dPw = friction(Rew, eps / B['dg']) * (B['S'] / 2) / B['dg'] * rho * ww**2 / 2
    dPn = rho * (vdot / (pi * d1**2 / 4))**2 / 2
    if b > 0:
        Asmu = (pi - B['phi']) * (D**2 - (D - mpf('0.004'))**2) / 4
        # every tube through a baffle leaks
        Asru = (N - B['Nw']) * pi * ((de + mpf('0.0005'))**2 - de**2) / 4
        rm = Asmu / (Asmu + Asru)
        rl = (Asmu + Asru) / B['Ae']
        fL = exp(-mpf('1.33') * (1 + rm) * rl**(mpf('0.8') - mpf('0.15') * (1 + rm)))
        return dict(Re=Re, fB=fB, fL=fL, total=(b - 1) * dPc0 * fL * fB + 2 * dPe + b * dPw + dPn,
                    dPe=dPe, dPw=dPw, dPn=dPn)
    return dict(Re=Re, fB=fB, total=2 * dPe + dPw + dPn, dPe=dPe, dPw=dPw, dPn=dPn)


A_ = [[-0.0406225, 0.240238, -0.404618, 0.0271973, 1.27346],
      [0.0133009, -0.0839349, 0.176594, -0.0694313, -0.611585],
      [-0.00157213, 0.0101763, -0.0239206, 0.0184078, 0.0551427],
      [7.51577e-05, -0.000453168, 0.00105621, -0.000855002, -0.00144767]]


def dukler(Re, Pr):
    x, y = log(mpf(Pr)), log(mpf(Re))
    P = [sum(mpf(str(k)) * x**(4 - j) for j, k in enumerate(row)) for row in A_]
    return (exp(((P[3] * y + P[2]) * y + P[1]) * y + P[0])
            - (mpf('0.253126') + mpf('0.0135191') * Pr - mpf('0.000337906') * Pr**2))


def fP(Re):  # Petukhov's smooth-tube friction factor
    return (mpf('0.790') * log(Re) - mpf('1.64'))**-2


def petukhov1970(Re, Pr):
    f = fP(Re)
    return (f / 8) * Re * Pr / (mpf('1.07') + mpf('12.7') * sqrt(f / 8) * (Pr**(mpf(2) / 3) - 1))


def pkp(f, Re, Pr):
    return (f / 8) * Re * Pr / (mpf('1.07') + 900 / Re - mpf('0.63') / (1 + 10 * Pr)
                                + mpf('12.7') * sqrt(f / 8) * (Pr**(mpf(2) / 3) - 1))


print('Petukhov 1970 (Re, Pr, f, Nu):')
for Re, Pr in [(10000, '0.7'), (100000, 5), (1000000, 50)]:
    Re, Pr = mpf(Re), mpf(Pr)
    print(' ', Re, Pr, fP(Re), petukhov1970(Re, Pr))

# --- geometry and overall coefficient (defaults: N 1, m 1, L 1 m, de 25, s 2 mm)
di, de = mpf('0.021'), mpf('0.025')
print('At', pi * di**2 / 4, 'A', (di + de) * pi / 2, 'ed', mpf('0.0457e-3') / di)
km = mpf('7.54') + mpf(350) / 50
Rm = (de + di) * log(de / di) / (4 * km)
print('km', km, 'Rm', Rm, 'U', 1 / (mpf(1) / 300 + mpf(1) / 1000 + Rm))

# --- the heater: N 100, m 2, L 3 m, D 1 m, b 4, c 0.25, d1 0.3 m
N, m, L, D, b, c, d1 = mpf(100), 2, mpf(3), mpf(1), mpf(4), mpf('0.25'), mpf('0.3')
eps = mpf('0.0457e-3')
At = N * pi * di**2 / 4 / m
A = N * (di + de) * pi * L / 2
# tube side: 18 kg/s of liquid water
mdot, rhoL, muL, kL, cpL = mpf(18), mpf(1000), mpf('1e-3'), mpf('0.6'), mpf(75000) / 18
v1 = mdot / rhoL / At
Re1 = mdot * di / (muL * At)
f1 = friction(Re1, eps / di)
Pr1 = cpL * muL / kL
Nu1 = pkp(f1, Re1, Pr1)
U1 = Nu1 * kL / di
dPF1 = m * f1 * L / di * v1**2 / 2 * rhoL
# shell side: 1.8 kg/s of steam at 400 K, 1 bar condensing to liquid at 370 K
msh = mpf('1.8')
Re2 = 4 * msh / (pi * N * de * muL)
Du = dukler(Re2, Pr1)
U2 = Du * cbrt(rhoL**2 * g * kL**3 / muL**2)
rhoV = mpf(100000) * 18 / (R * 400)
muV = mpf('1e-5')
B = bundle(N, de, L, D, b, c)
dP2 = shell_drop(B, msh / rhoV, rhoV, muV, 0, eps, d1)
# mean material temperature: each side's outlet plus half of (inlet - outlet)
Tm = ((350 + mpf(-50) / 2) + (370 + mpf(30) / 2)) / 2
kmH = mpf('7.54') + Tm / 50
RmH = (de + di) * log(de / di) / (4 * kmH)
U = 1 / (1 / U1 + 1 / U2 + RmH)
MTD = (70 - 50) / log(mpf(70) / 50)
Areq = mpf('3.75e6') / (U * MTD)
print('heater: Re1', Re1, 'f', f1, 'Nu1', Nu1, 'U1', U1, 'dPF1', dPF1)
print('  Re2', Re2, 'Du', Du, 'U2', U2, 'dP2', dP2['total'], 'shell Re', dP2['Re'])
print('  Tm', Tm, 'km', kmH, 'Rm', RmH, 'U', U, 'MTD', MTD, 'Areq', Areq, 'excess', A / Areq)

# --- the recovery: same geometry, steam 400 K -> 380 K at 1 bar on the shell
rin, rout = mpf(100000) * 18 / (R * 400), mpf(100000) * 18 / (R * 380)
vdot = (msh / rin + msh / rout) / 2
rho = (rin + rout) / 2
cpV, kV = mpf(30000) / 18, mpf('0.02')
dPr = shell_drop(B, vdot, rho, muV, 0, eps, d1)
vh = vdot / (B['S'] * (D + B['chord']) / 2)
umax = vh * B['p'] / B['gap']
Re_2 = rho * umax * de / muV
Pr_2 = cpV * muV / kV
Prw = Pr_2  # constant properties: the wall's Prandtl number is the bulk's
if Re_2 < 500:
    C_, n_ = mpf('1.04'), mpf('0.4')
elif Re_2 < 1000:
    C_, n_ = mpf('0.71'), mpf('0.5')
elif Re_2 < 200000:
    C_, n_ = mpf('0.35'), mpf('0.6')
else:
    C_, n_ = mpf('0.031'), mpf('0.8')
Nu2 = C_ * Re_2**n_ * Pr_2**mpf('0.36') * (Pr_2 / Prw)**mpf('0.25')
x = D * (1 - 2 * c) / (D - mpf('0.011'))
Fw = (2 * acos(x) - sin(2 * acos(x))) / (2 * pi)  # window fraction of the tubes
Jc = mpf('0.55') + mpf('0.72') * (1 - 2 * Fw)
Ssb = (pi - B['phi']) * D * mpf('0.004') / 2
Stb = (N - B['Nw']) * pi * de * mpf('0.0005') / 2
rs, rlm = Ssb / (Ssb + Stb), (Ssb + Stb) / B['Ae']
Jl = mpf('0.44') * (1 - rs) + (1 - mpf('0.44') * (1 - rs)) * exp(-mpf('2.2') * rlm)
ReD = rho * vh * D / muV
Jr = 1 if ReD > 100 else None
U2r = mpf('0.9') * Jc * Jl * Jr * Nu2 * kV / de
TmR = ((350 + mpf(-50) / 2) + (380 + mpf(20) / 2)) / 2
kmR = mpf('7.54') + TmR / 50
RmR = (de + di) * log(de / di) / (4 * kmR)
UR = 1 / (1 / U1 + 1 / U2r + RmR)
MTDR = (80 - 50) / log(mpf(80) / 50)
print('recovery: Re_2', Re_2, 'Pr_2', Pr_2, 'Nu_2', Nu2, 'Jc', Jc, 'Jl', Jl, 'ReD', ReD)
print('  U2', U2r, 'dP2', dPr['total'], 'U', UR, 'Areq', mpf('3.75e6') / (UR * MTDR))

# --- the shell-side pressure drop's thresholds and clamps
print('bundle cases:')
for label, args in [('dense', (mpf(2000), de, mpf(1), mpf('1'), mpf(0), mpf('0.25'))),
                    ('no cut', (mpf(100), de, mpf(1), mpf(1), mpf(0), mpf(0))),
                    ('baffled', (mpf(100), de, mpf(3), mpf(1), mpf(4), mpf('0.25')))]:
    Bc = bundle(*args)
    print(' ', label, 'Lt', Bc['Lt'], 'pa', Bc['pa'], 'Aw', Bc['Aw'], 'Nw', Bc['Nw'], 'nr', Bc['nr'])
# a bundle with a bypass lane (gap below 11 mm): N 1000, L 3 m, D 1 m, b 4, c 0.25
Bf = bundle(mpf(1000), de, mpf(3), mpf(1), mpf(4), mpf('0.25'))
print('  bypass bundle gap', Bf['gap'], 'nr', Bf['nr'], 'Ae', Bf['Ae'])
for Re in [99, 100, 101]:
    vd = 2 * Bf['Ae'] * Re * muV / (rhoV * de)
    print('  Re', Re, 'vdot', vd, 'fB', shell_drop(Bf, vd, rhoV, muV, 0, eps, d1)['fB'])
