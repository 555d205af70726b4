// guarded_divide_web.cpp: division of the value holders in the browser, where WebAssembly has no
// floating-point traps to unmask and no status flags to clear.
//
// A division by zero can therefore never fault here, and the guard has nothing to absorb: each
// overload is the plain IEEE division (an infinity of the quotient's sign, or NaN for 0/0), as
// the contract gives it with the trap masked.
#include "numeric.h"

double GuardedDivide(DoubleValue a, DoubleValue b) { return a.GetValue() / b.GetValue(); }

double GuardedDivide(FloatValue a, FloatValue b) {
  return static_cast<double>(a.GetValue() / b.GetValue());
}

double GuardedDivide(float a, FloatValue b) { return GuardedDivide(FloatValue(a), b); }

double GuardedDivide(FloatValue a, float b) { return GuardedDivide(a, FloatValue(b)); }
