// guarded_divide_windows_test.cpp: the value holders' division with traps unmasked on Windows
// (_controlfp_s), where a fault is a structured exception. Each case unmasks only around its own
// division and then restores the control word, so no mask leaks into the rest of the tests.
#include <float.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cfenv>
#include <vector>

#include "division_cases.h"
#include "numeric.h"

namespace {

using divisioncases::Describe;
using divisioncases::DivideOnce;
using divisioncases::Division;
using divisioncases::Double;
using divisioncases::Expected;
using divisioncases::kDivisionsByZero;
using divisioncases::kFloatMax;
using divisioncases::kOtherDivisionsByZero;
using divisioncases::SameValue;
using divisioncases::Single;

constexpr DWORD kNoFault = 0;  // no exception reached the outer handler

// Unmasks the given traps (_EM_ bits) of the calling thread for its lifetime; then clears the
// status word and restores the control word it found. It starts with every flag clear in both the
// SSE unit and the x87 one, where formatting a denormal for a trace leaves a flag of its own.
class UnmaskedTraps {
 public:
  explicit UnmaskedTraps(unsigned traps) {
    _controlfp_s(&saved_, 0, 0);
    std::feclearexcept(FE_ALL_EXCEPT);
    unsigned now = 0;
    _controlfp_s(&now, saved_ & ~traps, _MCW_EM);
  }
  ~UnmaskedTraps() {
    _clearfp();
    unsigned now = 0;
    _controlfp_s(&now, saved_, _MCW_EM);
  }
  UnmaskedTraps(const UnmaskedTraps&) = delete;
  UnmaskedTraps& operator=(const UnmaskedTraps&) = delete;

 private:
  unsigned saved_ = 0;
};

// Leaves the inexact flag set where this platform's arithmetic sets it (SSE, not the x87 unit
// that std::feraiseexcept sets here): with a division whose quotient rounds.
void RaiseInexact() {
  volatile double one = 1.0;
  volatile double three = 3.0;
  volatile double third = one / three;
  static_cast<void>(third);
}

// The code of the exception that the division lets through to a handler around it; kNoFault
// when it lets none through.
DWORD CodeReachingOuterHandler(const Division& d) {
  DWORD code = kNoFault;
  __try {
    DivideOnce(d);
  } __except (code = GetExceptionCode(), EXCEPTION_EXECUTE_HANDLER) {
  }
  return code;
}

TEST(GuardedDivideWindowsTest, UnmaskedDivideByZeroIsAbsorbedAndOtherZeroDivisorsAreNot) {
  std::vector<Expected> performed = kOtherDivisionsByZero;
  performed.push_back({Double(1.0, 4.0), 0.25, 0});
  performed.push_back({Single(-3.0f, 0.5f), -6.0, 0});
  for (const unsigned traps : {unsigned{_EM_ZERODIVIDE}, unsigned{_MCW_EM}}) {
    SCOPED_TRACE(testing::Message() << "traps unmasked " << std::hex << traps);
    for (const Expected& e : kDivisionsByZero) {
      SCOPED_TRACE(Describe(e.division));
      double q = -1.0;
      int flags = -1;
      unsigned status = ~0u;
      {
        UnmaskedTraps unmasked(traps);
        if ((traps & _EM_INEXACT) == 0) {
          RaiseInexact();  // a stale flag, which the absorption clears too
        }
        q = DivideOnce(e.division);
        flags = std::fetestexcept(FE_ALL_EXCEPT);
        status = _statusfp();
      }
      EXPECT_TRUE(SameValue(q, 0.0)) << q;
      EXPECT_EQ(flags, 0);
      EXPECT_EQ(status, 0u);
    }
    for (const Expected& e : performed) {
      SCOPED_TRACE(Describe(e.division));
      double q = -1.0;
      int flags = -1;
      {
        UnmaskedTraps unmasked(traps);
        q = DivideOnce(e.division);
        flags = std::fetestexcept(FE_ALL_EXCEPT);
      }
      EXPECT_TRUE(SameValue(q, e.quotient)) << q;
      EXPECT_EQ(flags, e.flags);
    }
  }
}

TEST(GuardedDivideWindowsTest, OtherFaultsReachTheOuterHandlerWithTheirCodes) {
  struct Fault {
    const char* name;
    unsigned traps;
    Division division;
    DWORD code;
  };
  const Fault faults[] = {
      {"0/0", _EM_INVALID, Double(0.0, 0.0), EXCEPTION_FLT_INVALID_OPERATION},
      {"0/0 with divide-by-zero also unmasked", _EM_INVALID | _EM_ZERODIVIDE, Single(0.0f, -0.0f),
       EXCEPTION_FLT_INVALID_OPERATION},
      {"overflow", _EM_OVERFLOW, Double(1e300, 1e-300), EXCEPTION_FLT_OVERFLOW},
      {"single-precision overflow", _EM_OVERFLOW, Single(kFloatMax, 0.5f), EXCEPTION_FLT_OVERFLOW},
      {"underflow", _EM_UNDERFLOW, Double(1e-300, 1e300), EXCEPTION_FLT_UNDERFLOW},
      {"inexact", _EM_INEXACT, Single(1.0f, 3.0f), EXCEPTION_FLT_INEXACT_RESULT},
      {"masked divide-by-zero beside an unmasked invalid", _EM_INVALID, Double(1.0, 0.0), kNoFault},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    DWORD code = kNoFault;
    {
      UnmaskedTraps unmasked(f.traps);
      code = CodeReachingOuterHandler(f.division);
    }
    EXPECT_EQ(code, f.code) << std::hex << code;
  }
}

}  // namespace
