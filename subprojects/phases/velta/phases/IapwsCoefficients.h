#pragma once
// Coefficients of the IAPWS-95 Helmholtz energy of ordinary water.
// Source: IAPWS R6-95(2018), Tables 1 and 2; W. Wagner and A. Pruss,
// J. Phys. Chem. Ref. Data 31, 387-535 (2002), Tables 6.1 and 6.2.
// Valid for the stable fluid from the melting line to 1273 K and 1000 MPa.
//
// Every table is indexed by the term number, counted from 1 within its
// group; entry 0 exists and holds zero. The residual values are exactly the
// published ones (mantissa 0.x with 14 significant digits); a test compares
// every literal with the data file they were taken from.

#include <array>

namespace Phase::IapwsCoefficients {

// Critical point and gas constant of the formulation.
inline constexpr double criticalTemperature = 647.096; // K
inline constexpr double criticalDensity = 322.0;       // kg/m3
inline constexpr double gasConstant = 0.46151805;      // kJ/(kg*K)
inline constexpr double molarMass = 18.015268;         // kg/kmol

// Ideal-gas part, terms 1-8 (n°1 and n°2 at the 2002 paper's precision).
inline constexpr std::array<double, 9> idealN{
    0.0, -8.32044648201, 6.6832105268, 3.00632, 0.012436, 0.97315, 1.2795, 0.96956, 0.24873,
};
inline constexpr std::array<double, 9> idealGamma{
    0.0, 0.0, 0.0, 0.0, 1.28728967, 3.53734222, 7.74073708, 9.24437796, 27.5075105,
};

// Residual part, terms 1-51: n delta^d tau^t (times exp(-delta^c) from
// term 8 on; c is 0 for terms 1-7).
inline constexpr std::array<double, 52> residualN{
    0.0, 0.12533547935523e-1, 0.78957634722828e1,
    -0.87803203303561e1, 0.31802509345418, -0.26145533859358,
    -0.78199751687981e-2, 0.88089493102134e-2, -0.66856572307965,
    0.20433810950965, -0.66212605039687e-4, -0.19232721156002,
    -0.25709043003438, 0.16074868486251, -0.40092828925807e-1,
    0.39343422603254e-6, -0.75941377088144e-5, 0.56250979351888e-3,
    -0.15608652257135e-4, 0.11537996422951e-8, 0.36582165144204e-6,
    -0.13251180074668e-11, -0.62639586912454e-9, -0.10793600908932,
    0.17611491008752e-1, 0.22132295167546, -0.40247669763528,
    0.58083399985759, 0.49969146990806e-2, -0.31358700712549e-1,
    -0.74315929710341, 0.47807329915480, 0.20527940895948e-1,
    -0.13636435110343, 0.14180634400617e-1, 0.83326504880713e-2,
    -0.29052336009585e-1, 0.38615085574206e-1, -0.20393486513704e-1,
    -0.16554050063734e-2, 0.19955571979541e-2, 0.15870308324157e-3,
    -0.16388568342530e-4, 0.43613615723811e-1, 0.34994005463765e-1,
    -0.76788197844621e-1, 0.22446277332006e-1, -0.62689710414685e-4,
    -0.55711118565645e-9, -0.19905718354408, 0.31777497330738,
    -0.11841182425981,
};

inline constexpr std::array<int, 52> residualC{
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 3, 3, 3, 3, 4, 6, 6, 6, 6,
};

inline constexpr std::array<int, 52> residualD{
    0, 1, 1, 1, 2, 2, 3, 4, 1, 1, 1, 2, 2,
    3, 4, 4, 5, 7, 9, 10, 11, 13, 15, 1, 2, 2,
    2, 3, 4, 4, 4, 5, 6, 6, 7, 9, 9, 9, 9,
    9, 10, 10, 12, 3, 4, 4, 5, 14, 3, 6, 6, 6,
};

inline constexpr std::array<double, 52> residualT{
    0.0, -0.5, 0.875, 1, 0.5, 0.75, 0.375, 1,
    4, 6, 12, 1, 5, 4, 2, 13,
    9, 3, 4, 11, 4, 13, 1, 7,
    1, 9, 10, 10, 3, 7, 10, 10,
    6, 10, 10, 1, 2, 3, 4, 8,
    6, 9, 8, 16, 22, 23, 23, 10,
    50, 44, 46, 50,
};

// Gaussian terms 52-54: n delta^3 tau^t exp(-20 (delta - 1)^2 - beta (tau - gamma)^2).
inline constexpr std::array<int, 4> gaussianT{0, 0, 1, 4};
inline constexpr std::array<int, 4> gaussianBeta{0, 150, 150, 250};
inline constexpr std::array<double, 4> gaussianN{
    0.0, -0.31306260323435e2, 0.31546140237781e2, -0.25213154341695e4,
};
inline constexpr std::array<double, 4> gaussianGamma{0.0, 1.21, 1.21, 1.25};
inline constexpr int gaussianD = 3;
inline constexpr int gaussianAlpha = 20;
inline constexpr int gaussianEpsilon = 1;

// Non-analytic terms 55-56: n Delta^b delta psi.
inline constexpr std::array<double, 3> nonAnalyticB{0.0, 0.85, 0.95};
inline constexpr std::array<double, 3> nonAnalyticN{0.0, -0.14874640856724, 0.31806110878444};
inline constexpr std::array<double, 3> nonAnalyticC{0.0, 28.0, 32.0};
inline constexpr std::array<double, 3> nonAnalyticD{0.0, 700.0, 800.0};
inline constexpr double nonAnalyticA = 3.5;     // exponent a of the B term
inline constexpr double nonAnalyticBigB = 0.2;  // B
inline constexpr double nonAnalyticBigA = 0.32; // A
inline constexpr double nonAnalyticBeta = 0.3;  // beta

} // namespace Phase::IapwsCoefficients
