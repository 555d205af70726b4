// guarded_divide_test.cpp: the value holders' division with the divide-by-zero trap masked and
// unmasked. Every test that unmasks a trap does so in a death-test child, so no trap mask leaks
// into the rest of the test binary.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cfenv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "numeric.h"

namespace {

// The interface admits a plain number only as a float beside a FloatValue.
template <typename A, typename B, typename = void>
struct Divisible : std::false_type {};
template <typename A, typename B>
struct Divisible<A, B, std::void_t<decltype(GuardedDivide(std::declval<A>(), std::declval<B>()))>>
    : std::true_type {};
static_assert(!std::is_convertible_v<float, FloatValue> &&
              !std::is_convertible_v<double, DoubleValue>);
static_assert(Divisible<float, FloatValue>::value && Divisible<FloatValue, float>::value);
static_assert(!Divisible<DoubleValue, double>::value && !Divisible<double, DoubleValue>::value &&
              !Divisible<float, float>::value && !Divisible<FloatValue, DoubleValue>::value);

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDoubleDenormal = std::numeric_limits<double>::denorm_min();
constexpr float kFloatInf = std::numeric_limits<float>::infinity();
constexpr float kFloatNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kFloatDenormal = std::numeric_limits<float>::denorm_min();
constexpr float kFloatMax = std::numeric_limits<float>::max();
constexpr int kNoFault = 100;  // child exit code when the division did not trap

enum class Precision { kSingle, kDouble };

// Operands are held in their own precision: with the underflow trap unmasked even narrowing an
// exact float denormal from double traps, so no conversion may happen near a division.
struct Division {
  Precision precision;
  float floatDividend;
  float floatDivisor;
  double doubleDividend;
  double doubleDivisor;
};

Division Single(float dividend, float divisor) {
  return {Precision::kSingle, dividend, divisor, 0.0, 0.0};
}

Division Double(double dividend, double divisor) {
  return {Precision::kDouble, 0.0f, 0.0f, dividend, divisor};
}

double DivideOnce(const Division& d) {
  if (d.precision == Precision::kSingle) {
    return GuardedDivide(FloatValue(d.floatDividend), FloatValue(d.floatDivisor));
  }
  return GuardedDivide(DoubleValue(d.doubleDividend), DoubleValue(d.doubleDivisor));
}

// For messages only; call it with every trap masked, as formatting may raise inexact.
std::string Describe(const Division& d) {
  std::ostringstream text;
  if (d.precision == Precision::kSingle) {
    text << "float " << d.floatDividend << " / " << d.floatDivisor;
  } else {
    text << "double " << d.doubleDividend << " / " << d.doubleDivisor;
  }
  return text.str();
}

// Bitwise equality, so that -0.0 differs from 0.0 and NaN matches NaN.
bool SameValue(double actual, double expected) {
  if (std::isnan(expected)) {
    return std::isnan(actual);
  }
  return actual == expected && std::signbit(actual) == std::signbit(expected);
}

struct Expected {
  Division division;
  double quotient;
  int flags;  // status flags left set, with every trap masked
};

// Finite non-zero over zero: the divisions that raise divide-by-zero.
const std::vector<Expected> kDivisionsByZero = {
    {Double(1.0, 0.0), kInf, FE_DIVBYZERO},
    {Double(-1.0, 0.0), -kInf, FE_DIVBYZERO},
    {Double(1.0, -0.0), -kInf, FE_DIVBYZERO},
    {Double(kDoubleDenormal, 0.0), kInf, FE_DIVBYZERO},
    {Single(1.0f, 0.0f), kInf, FE_DIVBYZERO},
    {Single(-1.0f, 0.0f), -kInf, FE_DIVBYZERO},
    {Single(-kFloatMax, -0.0f), kInf, FE_DIVBYZERO},
    {Single(kFloatDenormal, 0.0f), kInf, FE_DIVBYZERO},
};

// Over zero, yet no divide-by-zero: these are performed even with the trap unmasked.
const std::vector<Expected> kOtherDivisionsByZero = {
    {Double(kInf, 0.0), kInf, 0},       {Double(-kInf, 0.0), -kInf, 0},
    {Double(kNaN, 0.0), kNaN, 0},       {Single(-kFloatInf, -0.0f), kInf, 0},
    {Single(kFloatNaN, 0.0f), kNaN, 0},
};

// In a death-test child: false, after printing the mismatch, unless d gives quotient and flags.
bool Gives(const Division& d, double quotient, int flags) {
  const double q = DivideOnce(d);
  const int actualFlags = std::fetestexcept(FE_ALL_EXCEPT);
  if (SameValue(q, quotient) && actualFlags == flags) {
    return true;
  }
  fedisableexcept(FE_ALL_EXCEPT);  // formatting may raise inexact
  std::fprintf(stderr, "%s gave %g with flags %#x\n", Describe(d).c_str(), q,
               static_cast<unsigned>(actualFlags));
  return false;
}

// Runs in a death-test child: 0 when, with the given traps unmasked, every division by zero is
// absorbed and every other division is performed; otherwise 1.
int CheckWithTrapsUnmasked(int traps) {
  std::vector<Expected> performed = kOtherDivisionsByZero;
  performed.push_back({Double(1.0, 4.0), 0.25, 0});
  performed.push_back({Single(-3.0f, 0.5f), -6.0, 0});
  const int staleFlag = FE_INEXACT & ~traps;  // the absorption clears it with the rest
  feenableexcept(traps);
  for (const Expected& e : kDivisionsByZero) {
    std::feraiseexcept(staleFlag);
    if (!Gives(e.division, 0.0, 0)) {
      return 1;
    }
  }
  for (const Expected& e : performed) {
    std::feclearexcept(FE_ALL_EXCEPT);
    if (!Gives(e.division, e.quotient, e.flags)) {
      return 1;
    }
  }
  return 0;
}

extern "C" void ExitWithFaultCode(int, siginfo_t* info, void*) { _exit(info->si_code); }

// Runs in a death-test child: exits with the si_code that the caller's own SIGFPE handler
// receives, or kNoFault when the division does not trap.
[[noreturn]] void DivideUnderOwnHandler(int traps, const Division& d) {
  struct sigaction action = {};
  action.sa_sigaction = ExitWithFaultCode;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  sigaction(SIGFPE, &action, nullptr);
  feenableexcept(traps);
  DivideOnce(d);
  _exit(kNoFault);
}

TEST(GuardedDivideTest, QuotientsRoundOnceInTheirOwnPrecision) {
  EXPECT_EQ(GuardedDivide(DoubleValue(1.0), DoubleValue(4.0)), 0.25);
  const double floatThird = GuardedDivide(FloatValue(1.0f), FloatValue(3.0f));
  EXPECT_EQ(floatThird, 0.3333333432674408);
  EXPECT_NE(floatThird, 1.0 / 3.0);
  EXPECT_EQ(GuardedDivide(FloatValue(1.0f), FloatValue(10.0f)), 0.10000000149011612);
  EXPECT_EQ(GuardedDivide(DoubleValue(1.0), DoubleValue(3.0)), 1.0 / 3.0);
  EXPECT_EQ(GuardedDivide(2.0f, FloatValue(0.5f)), 4.0);
  EXPECT_EQ(GuardedDivide(FloatValue(2.0f), 0.5f), 4.0);
}

TEST(GuardedDivideTest, MaskedTrapsGiveTheIeeeQuotientAndFlags) {
  ASSERT_EQ(fegetexcept(), 0) << "the test process runs with every trap masked";
  std::vector<Expected> cases = kDivisionsByZero;
  cases.insert(cases.end(), kOtherDivisionsByZero.begin(), kOtherDivisionsByZero.end());
  cases.push_back({Double(0.0, 0.0), kNaN, FE_INVALID});
  cases.push_back({Single(-0.0f, 0.0f), kNaN, FE_INVALID});
  cases.push_back({Double(1e300, 1e-300), kInf, FE_OVERFLOW | FE_INEXACT});
  for (const Expected& e : cases) {
    SCOPED_TRACE(Describe(e.division));
    std::feclearexcept(FE_ALL_EXCEPT);
    const double q = DivideOnce(e.division);
    const int flags = std::fetestexcept(FE_ALL_EXCEPT);
    EXPECT_TRUE(SameValue(q, e.quotient)) << q;
    EXPECT_EQ(flags, e.flags);
  }
}

class GuardedDivideDeathTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(GuardedDivideDeathTest, UnmaskedDivideByZeroIsAbsorbedAndOtherZeroDivisorsAreNot) {
  for (const int traps : {FE_DIVBYZERO, FE_ALL_EXCEPT}) {
    SCOPED_TRACE(testing::Message() << "traps unmasked " << traps);
    EXPECT_EXIT(std::exit(CheckWithTrapsUnmasked(traps)), testing::ExitedWithCode(0), "");
  }
}

TEST_F(GuardedDivideDeathTest, OtherFaultsReachTheCallersHandlerUnchanged) {
  struct Fault {
    const char* name;
    int traps;
    Division division;
    int siCode;
  };
  const Fault faults[] = {
      {"0/0", FE_INVALID, Double(0.0, 0.0), FPE_FLTINV},
      {"0/0 with divide-by-zero also unmasked", FE_INVALID | FE_DIVBYZERO, Single(0.0f, -0.0f),
       FPE_FLTINV},
      {"overflow", FE_OVERFLOW, Double(1e300, 1e-300), FPE_FLTOVF},
      {"single-precision overflow", FE_OVERFLOW, Single(kFloatMax, 0.5f), FPE_FLTOVF},
      {"underflow", FE_UNDERFLOW, Double(1e-300, 1e300), FPE_FLTUND},
      {"inexact", FE_INEXACT, Single(1.0f, 3.0f), FPE_FLTRES},
      {"masked divide-by-zero beside an unmasked invalid", FE_INVALID, Double(1.0, 0.0), kNoFault},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.name);
    EXPECT_EXIT(DivideUnderOwnHandler(f.traps, f.division), testing::ExitedWithCode(f.siCode), "");
  }
}

TEST_F(GuardedDivideDeathTest, UnmaskedInvalidKillsWithSigfpeByDefault) {
  EXPECT_EXIT(
      {
        std::signal(SIGFPE, SIG_DFL);
        feenableexcept(FE_INVALID | FE_DIVBYZERO);
        GuardedDivide(DoubleValue(0.0), DoubleValue(0.0));
        std::exit(0);
      },
      testing::KilledBySignal(SIGFPE), "");
}

// Sets this thread's divide-by-zero trap, waits for the other thread, then divides by zero in
// both precisions in turn; returns how many results broke this thread's contract.
int CountBrokenContracts(bool trapUnmasked, std::atomic<int>& started) {
  constexpr int kRounds = 200000;
  if (trapUnmasked) {
    feenableexcept(FE_DIVBYZERO);
  } else {
    fedisableexcept(FE_ALL_EXCEPT);
  }
  started.fetch_add(1);
  while (started.load() < 2) {
    std::this_thread::yield();
  }
  int broken = 0;
  for (int i = 0; i < kRounds; ++i) {
    const bool single = i % 2 != 0;
    std::feclearexcept(FE_ALL_EXCEPT);
    const double q = single ? GuardedDivide(-1.0f, FloatValue(0.0f))
                            : GuardedDivide(DoubleValue(1.0), DoubleValue(0.0));
    const double expected = trapUnmasked ? 0.0 : (single ? -kInf : kInf);
    const int expectedFlags = trapUnmasked ? 0 : FE_DIVBYZERO;
    if (!SameValue(q, expected) || std::fetestexcept(FE_ALL_EXCEPT) != expectedFlags) {
      ++broken;
    }
  }
  return broken;
}

// Runs in a death-test child: 0 when a trapping and a masked thread dividing by zero at the same
// time each kept their own contract throughout; otherwise 1.
int CheckThreadsKeepTheirOwnTrapMask() {
  std::atomic<int> started{0};
  int brokenTrapping = 0;
  int brokenMasked = 0;
  std::thread trapping([&] { brokenTrapping = CountBrokenContracts(true, started); });
  std::thread masked([&] { brokenMasked = CountBrokenContracts(false, started); });
  trapping.join();
  masked.join();
  if (brokenTrapping != 0 || brokenMasked != 0) {
    std::fprintf(stderr, "broken contracts: %d with the trap unmasked, %d masked\n", brokenTrapping,
                 brokenMasked);
    return 1;
  }
  return 0;
}

TEST_F(GuardedDivideDeathTest, EachThreadKeepsItsOwnTrapMask) {
  EXPECT_EXIT(std::exit(CheckThreadsKeepTheirOwnTrapMask()), testing::ExitedWithCode(0), "");
}

}  // namespace
