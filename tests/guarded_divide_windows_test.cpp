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
using divisioncases::Expected;
using divisioncases::kDivisionsByZero;
using divisioncases::SameValue;

constexpr DWORD kNoFault = 0;  // no exception reached the outer handler

// This platform's trap bit and exception code beside each trap of the shared tables.
constexpr divisioncases::TrapCodes<unsigned, DWORD> kTrapCodes[] = {
    {divisioncases::kInvalid, _EM_INVALID, EXCEPTION_FLT_INVALID_OPERATION},
    {divisioncases::kDivByZero, _EM_ZERODIVIDE, EXCEPTION_FLT_DIVIDE_BY_ZERO},
    {divisioncases::kOverflow, _EM_OVERFLOW, EXCEPTION_FLT_OVERFLOW},
    {divisioncases::kUnderflow, _EM_UNDERFLOW, EXCEPTION_FLT_UNDERFLOW},
    {divisioncases::kInexact, _EM_INEXACT, EXCEPTION_FLT_INEXACT_RESULT},
};

// Every trap here includes the denormal-operand one, which only this platform has.
unsigned MaskBits(unsigned traps) {
  return traps == divisioncases::kEveryTrap ? _MCW_EM
                                            : divisioncases::PlatformBits(kTrapCodes, traps);
}
DWORD Code(unsigned raised) { return divisioncases::PlatformCode(kTrapCodes, raised, kNoFault); }

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
  const std::vector<Expected> performed = divisioncases::PerformedWithTrapsUnmasked();
  for (const unsigned trapSet : divisioncases::kAbsorbingTrapSets) {
    const unsigned traps = MaskBits(trapSet);
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
  for (const divisioncases::Fault& f : divisioncases::kFaultsLetThrough) {
    SCOPED_TRACE(f.name);
    DWORD code = kNoFault;
    {
      UnmaskedTraps unmasked(MaskBits(f.traps));
      code = CodeReachingOuterHandler(f.division);
    }
    EXPECT_EQ(code, Code(f.raised)) << std::hex << code;
  }
}

}  // namespace
