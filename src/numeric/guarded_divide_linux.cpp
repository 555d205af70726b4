// guarded_divide_linux.cpp: division of the value holders, absorbing a trapped divide-by-zero.
//
// Linux offers no way to catch a floating-point trap and resume after the faulting instruction
// without a process-wide signal handler, so the guard decides before dividing instead. A division
// raises divide-by-zero exactly when a finite non-zero dividend (denormals included) meets a zero
// divisor of either sign; inf/0 is an exact infinity, NaN/0 a quiet NaN and 0/0 is invalid, none
// of them divide-by-zero. When that happens with FE_DIVBYZERO unmasked in the calling thread
// (fegetexcept), the division would trap: it is not performed, the status flags are cleared as
// the trap's handler would clear them, and the result is 0.0. In every other case the division is
// performed, so an unmasked invalid, overflow, underflow or inexact trap raises SIGFPE at the
// division itself and reaches the caller's own handling unchanged, and with the trap masked the
// quotient and the flags are the IEEE ones. The decision reads only the operands and the calling
// thread's trap mask, so there is no shared state and each thread keeps its own contract.
//
// The operands are classified by their bit patterns, which raises no flag even for a signalling
// NaN. The divide reads its operands from volatile objects and writes its quotient to one, so no
// optimiser can fold, hoist or drop a division whose trap or flags must happen at run time.
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

// True when dividend / divisor raises the IEEE divide-by-zero exception.
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
