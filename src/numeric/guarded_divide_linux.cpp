// guarded_divide_linux.cpp: division of the value holders, absorbing a trapped divide-by-zero.
//
// Linux cannot resume after a trapped division without a process-wide signal handler, so the
// guard decides before dividing, from the operands and the calling thread's trap mask alone: no
// state is shared, and each thread keeps its own contract (numeric.h, docs/linux.md).
#include <cfenv>
#include <cstdint>
#include <cstring>

#include "numeric.h"

namespace {

// The magnitude mask clears the sign bit; an all-ones exponent field marks an infinity or a NaN.
template <typename Real>
struct Layout;

template <>
struct Layout<float> {
  using Bits = std::uint32_t;
  static constexpr Bits kMagnitudeMask = 0x7FFFFFFFu;
  static constexpr Bits kExponentMask = 0x7F800000u;
};

template <>
struct Layout<double> {
  using Bits = std::uint64_t;
  static constexpr Bits kMagnitudeMask = 0x7FFFFFFFFFFFFFFFu;
  static constexpr Bits kExponentMask = 0x7FF0000000000000u;
};

template <typename Real>
typename Layout<Real>::Bits MagnitudeBits(Real x) {
  typename Layout<Real>::Bits bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits & Layout<Real>::kMagnitudeMask;
}

// True when dividend / divisor raises the IEEE divide-by-zero exception: a finite non-zero
// dividend, denormals included, over a zero of either sign. inf/0 is an exact infinity, NaN/0 a
// quiet NaN and 0/0 invalid: none of them is divide-by-zero. Read from the bits, which raises no
// flag even for a signalling NaN.
template <typename Real>
bool RaisesDivideByZero(Real dividend, Real divisor) {
  const auto magnitude = MagnitudeBits(dividend);
  const bool finiteNonZero =
      magnitude != 0 && (magnitude & Layout<Real>::kExponentMask) != Layout<Real>::kExponentMask;
  return finiteNonZero && MagnitudeBits(divisor) == 0;
}

bool DivideByZeroTrapUnmasked() { return (fegetexcept() & FE_DIVBYZERO) != 0; }

// One division in Real's own precision, at run time, whatever the operands are known to be and
// even when the caller discards the quotient: storing it to a volatile object makes the divide
// observable, so it cannot be dropped after inlining (seen with -flto at -O2).
template <typename Real>
Real DivideAtRunTime(Real dividend, Real divisor) {
  const volatile Real opaqueDividend = dividend;
  const volatile Real opaqueDivisor = divisor;
  const volatile Real quotient = opaqueDividend / opaqueDivisor;
  return quotient;
}

// A division that would trap is not performed: the flags are cleared as the trap's handler would
// clear them, and the result is 0.0. Every other one is, so an unmasked invalid, overflow,
// underflow or inexact trap raises SIGFPE at the division itself, and with the trap masked the
// quotient and the flags are the IEEE ones.
template <typename Real>
Real Divide(Real dividend, Real divisor) {
  if (RaisesDivideByZero(dividend, divisor) && DivideByZeroTrapUnmasked()) {
    std::feclearexcept(FE_ALL_EXCEPT);
    return Real{0};
  }
  return DivideAtRunTime(dividend, divisor);
}

}  // namespace

double GuardedDivide(DoubleValue a, DoubleValue b) { return Divide(a.GetValue(), b.GetValue()); }

double GuardedDivide(FloatValue a, FloatValue b) {
  return static_cast<double>(Divide(a.GetValue(), b.GetValue()));
}

double GuardedDivide(float a, FloatValue b) { return GuardedDivide(FloatValue(a), b); }

double GuardedDivide(FloatValue a, float b) { return GuardedDivide(a, FloatValue(b)); }
