// guarded_divide_windows.cpp: division of the value holders under structured exception handling.
//
// The division runs inside __try, and the filter takes only EXCEPTION_FLT_DIVIDE_BY_ZERO, raised
// when the caller has unmasked divide-by-zero (_controlfp_s): the handler clears the status word
// with _clearfp() and the result is 0.0. Every other fault travels on to the caller's own handlers
// unchanged, and with the traps masked nothing faults (numeric.h, docs/windows.md). Masks and
// flags are per thread, so each thread keeps its own contract.
#include <float.h>
#include <windows.h>

#include "numeric.h"

namespace {

// clang guards calls inside __try, not instructions written there: a division inlined into the
// __try block would fault outside any handler. So the division is a call never inlined, through
// volatile objects, so no optimiser can fold or drop one whose fault or flags must happen.
template <typename Real>
__attribute__((noinline)) Real DivideAtRunTime(Real dividend, Real divisor) {
  const volatile Real opaqueDividend = dividend;
  const volatile Real opaqueDivisor = divisor;
  const volatile Real quotient = opaqueDividend / opaqueDivisor;
  return quotient;
}

DWORD TakeOnlyDivideByZero(DWORD code) {
  return code == EXCEPTION_FLT_DIVIDE_BY_ZERO ? EXCEPTION_EXECUTE_HANDLER
                                              : EXCEPTION_CONTINUE_SEARCH;
}

template <typename Holder>
auto Divide(Holder a, Holder b) {
  __try {
    return DivideAtRunTime(a.GetValue(), b.GetValue());
  } __except (TakeOnlyDivideByZero(GetExceptionCode())) {
    _clearfp();
    return decltype(a.GetValue()){0};
  }
}

}  // namespace

double GuardedDivide(DoubleValue a, DoubleValue b) { return Divide(a, b); }

double GuardedDivide(FloatValue a, FloatValue b) { return static_cast<double>(Divide(a, b)); }

double GuardedDivide(float a, FloatValue b) { return GuardedDivide(FloatValue(a), b); }

double GuardedDivide(FloatValue a, float b) { return GuardedDivide(a, FloatValue(b)); }
