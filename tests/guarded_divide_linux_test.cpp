// guarded_divide_linux_test.cpp: the value holders' division with traps unmasked on Linux
// (feenableexcept), where a fault is a SIGFPE. Every test that unmasks a trap does so in a
// death-test child, so no trap mask leaks into the rest of the test binary.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cfenv>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "division_cases.h"
#include "numeric.h"

namespace {

using divisioncases::Describe;
using divisioncases::DivideOnce;
using divisioncases::Division;
using divisioncases::Expected;
using divisioncases::kDivisionsByZero;
using divisioncases::kInf;
using divisioncases::SameValue;

constexpr int kNoFault = 100;  // child exit code when the division did not trap

// This platform's trap bit and SIGFPE code beside each trap of the shared tables.
constexpr divisioncases::TrapCodes<int, int> kTrapCodes[] = {
    {divisioncases::kInvalid, FE_INVALID, FPE_FLTINV},
    {divisioncases::kDivByZero, FE_DIVBYZERO, FPE_FLTDIV},
    {divisioncases::kOverflow, FE_OVERFLOW, FPE_FLTOVF},
    {divisioncases::kUnderflow, FE_UNDERFLOW, FPE_FLTUND},
    {divisioncases::kInexact, FE_INEXACT, FPE_FLTRES},
};

int ExceptBits(unsigned traps) { return divisioncases::PlatformBits(kTrapCodes, traps); }
int SiCode(unsigned raised) { return divisioncases::PlatformCode(kTrapCodes, raised, kNoFault); }

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
  const std::vector<Expected> performed = divisioncases::PerformedWithTrapsUnmasked();
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

class GuardedDivideDeathTest : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(GuardedDivideDeathTest, UnmaskedDivideByZeroIsAbsorbedAndOtherZeroDivisorsAreNot) {
  for (const unsigned trapSet : divisioncases::kAbsorbingTrapSets) {
    const int traps = ExceptBits(trapSet);
    SCOPED_TRACE(testing::Message() << "traps unmasked " << traps);
    EXPECT_EXIT(std::exit(CheckWithTrapsUnmasked(traps)), testing::ExitedWithCode(0), "");
  }
}

TEST_F(GuardedDivideDeathTest, OtherFaultsReachTheCallersHandlerUnchanged) {
  for (const divisioncases::Fault& f : divisioncases::kFaultsLetThrough) {
    SCOPED_TRACE(f.name);
    EXPECT_EXIT(DivideUnderOwnHandler(ExceptBits(f.traps), f.division),
                testing::ExitedWithCode(SiCode(f.raised)), "");
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
