// numeric.h: floating-point experiments printed at start-up, the tolerance comparison they use,
// and value holders whose division absorbs a divide-by-zero fault.
#pragma once

// Prints the start-up precision report (44 lines) on standard output. Uses scaleFactor as its
// single-precision accumulator and leaves it at exactly 1.0.
void RunPrecisionExperiments();

// 0 when a and b differ by no more than tolerance; otherwise 1 when a - b > 0, else -1.
// A NaN difference gives -1; a negative or NaN tolerance never gives 0.
int CompareWithTolerance(double a, double b, double tolerance);

// One single-precision value; copyable, passed by value. Explicit, so that only the two mixed
// GuardedDivide overloads wrap a plain float.
class FloatValue {
 public:
  explicit FloatValue(const float& v) : value_(v) {}
  // The held value.
  float GetValue() const { return value_; }

 private:
  float value_;
};

// One double-precision value; copyable, passed by value. Explicit, so that no plain number
// is wrapped silently.
class DoubleValue {
 public:
  explicit DoubleValue(const double& v) : value_(v) {}
  // The held value.
  double GetValue() const { return value_; }

 private:
  double value_;
};

// The guarded divisions. Where the calling thread has unmasked divide-by-zero (feenableexcept on
// Linux, _controlfp_s on Windows) and the division raises it (finite non-zero over zero), the
// result is 0.0 and all floating-point status flags are cleared; every other fault reaches the
// caller's own handling unchanged (a SIGFPE handler; an outer structured exception handler), and
// with the trap masked the result is the IEEE quotient with its flags. (WebAssembly has no traps
// to unmask and no flags: there every division is the IEEE one.)

// a / b in double.
double GuardedDivide(DoubleValue a, DoubleValue b);
// a / b in single precision (one rounding), widened exactly to double.
double GuardedDivide(FloatValue a, FloatValue b);
// FloatValue(a) / b, as the single-precision overload.
double GuardedDivide(float a, FloatValue b);
// a / FloatValue(b), as the single-precision overload.
double GuardedDivide(FloatValue a, float b);
