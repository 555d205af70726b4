// numeric.h: floating-point experiments printed at start-up, the tolerance comparison they use,
// and value holders whose division absorbs a divide-by-zero fault.
#pragma once

// Prints the start-up precision report (44 lines) on standard output. Uses scaleFactor as its
// single-precision accumulator and leaves it at exactly 1.0.
void RunPrecisionExperiments();

// 0 when a and b differ by no more than tolerance; otherwise 1 when a - b > 0, else -1.
// A NaN difference gives -1; a negative or NaN tolerance never gives 0.
int CompareWithTolerance(double a, double b, double tolerance);
