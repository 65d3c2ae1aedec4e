#pragma once

// Approximate saturation temperature of water in K at pressure P in Pa
// (P > 0); 647.096 K (the critical temperature) above 2.2055e7 Pa.
double waterSaturationTemperature(double P);
