// soak_test.cpp: the real program for ten minutes with three scale chains running and the menu
// used now and then. It must stay alive, print nothing but well-formed trace lines, keep its
// resident memory flat after the first minute and stay under 2% of one core.
//
// Not part of the default run (ctest label "soak"). SOAK_SECONDS shortens or lengthens the run;
// the warm-up and the gaps between menu choices shrink with it below ten minutes.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app_probe.h"
#include "program_facts.h"
#include "program_fixture.h"
#include "x_harness.h"

namespace {

using facts::kReportLines;
using facts::kWindowTitle;
using programtest::kProgram;
using programtest::kStartTimeout;
using xharness::Clock;
using xharness::milliseconds;
using Seconds = std::chrono::duration<double>;

constexpr double kFullRunS = 600.0;
constexpr double kWarmUpS = 60.0;  // Memory and CPU are judged after it.
constexpr double kMenuGapMinS = 30.0;
constexpr double kMenuGapMaxS = 60.0;
// CPU is judged over each window of this length after the warm-up, and over the whole.
constexpr double kCpuWindowS = 60.0;
constexpr double kShortestCpuWindowS = 10.0;
constexpr int kChains = 3;
constexpr double kTicksPerChainPerS = 10.0;
// Entries that change the draw mode without starting another chain.
constexpr int kCalmEntries[] = {1, 2, 3, 4, 7, 8, 9, 10, 11};
constexpr long kRssGrowthLimitKiB = 1024;
constexpr double kCpuLimitPercent = 2.0;

double RunSeconds() {
  const char* text = std::getenv("SOAK_SECONDS");
  if (text == nullptr || *text == '\0') return kFullRunS;
  const double seconds = std::atof(text);
  return seconds > 0.0 ? seconds : kFullRunS;
}

struct CpuSample {
  Clock::time_point at;
  double cpuMs = 0.0;
};

double PercentOfCore(const CpuSample& from, const CpuSample& to) {
  const double wallMs = std::chrono::duration<double, std::milli>(to.at - from.at).count();
  return wallMs > 0.0 ? 100.0 * (to.cpuMs - from.cpuMs) / wallMs : 0.0;
}

TEST(SoakTest, ThreeScaleChainsAndTheMenuStayAliveFlatAndQuiet) {
  const double runS = RunSeconds();
  const double shrink = std::min(1.0, runS / kFullRunS);
  const double warmUpS = kWarmUpS * shrink;
  const double cpuWindowS = std::max(kShortestCpuWindowS, kCpuWindowS * shrink);
  std::cout << "soak: " << runS << " s, warm-up " << warmUpS << " s, menu every "
            << kMenuGapMinS * shrink << "-" << kMenuGapMaxS * shrink << " s\n";

  xharness::PrivateXServer server;
  xharness::ChildProcess app(kProgram, {"-display", server.displayName()});
  const Window window = xharness::WaitForWindow(server.display(), kWindowTitle, kStartTimeout);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(xharness::WaitWindowViewable(server.display(), window, kStartTimeout));
  ASSERT_TRUE(app.WaitForLines(kReportLines, kStartTimeout));
  for (int chain = 0; chain < kChains; ++chain) {
    ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, 5), "") << "chain " << chain;
  }
  const Clock::time_point chainsStarted = Clock::now();
  const Clock::time_point warmUpEnd =
      chainsStarted + std::chrono::duration_cast<Clock::duration>(Seconds(warmUpS));
  const Clock::time_point end =
      chainsStarted + std::chrono::duration_cast<Clock::duration>(Seconds(runS));

  const unsigned seed = std::random_device{}();
  std::cout << "soak: menu seed " << seed << "\n";
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> gapS(kMenuGapMinS * shrink, kMenuGapMaxS * shrink);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kCalmEntries) - 1);
  Clock::time_point nextMenu =
      chainsStarted + std::chrono::duration_cast<Clock::duration>(Seconds(gapS(random)));

  std::optional<long> rssAtWarmUpKiB;
  long rssMaxKiB = 0;
  std::optional<CpuSample> windowStart;
  std::optional<CpuSample> afterWarmUp;
  std::optional<double> worstWindowPercent;
  int menuChoices = 0;
  for (Clock::time_point sampleAt = Clock::now(); sampleAt < end;) {
    sampleAt = std::min(end, sampleAt + std::chrono::seconds(1));
    std::this_thread::sleep_until(sampleAt);
    ASSERT_TRUE(app.Running()) << "ended after " << Seconds(Clock::now() - chainsStarted).count()
                               << " s\n"
                               << app.Stderr();
    const std::optional<long> rssKiB = appprobe::StatusKiB(app.pid(), "VmRSS");
    const std::optional<double> cpuMs = appprobe::CpuTimeMs(app.pid());
    ASSERT_TRUE(rssKiB && cpuMs);
    const CpuSample now{Clock::now(), *cpuMs};
    if (now.at >= warmUpEnd) {
      if (!rssAtWarmUpKiB) {
        rssAtWarmUpKiB = *rssKiB;
        afterWarmUp = now;
        windowStart = now;
      }
      rssMaxKiB = std::max(rssMaxKiB, *rssKiB);
      if (Seconds(now.at - windowStart->at).count() >= cpuWindowS) {
        worstWindowPercent =
            std::max(worstWindowPercent.value_or(0.0), PercentOfCore(*windowStart, now));
        windowStart = now;
      }
    }
    if (now.at >= nextMenu && now.at < end) {
      const int entry = kCalmEntries[pick(random)];
      ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, entry), "")
          << "entry " << entry;
      ++menuChoices;
      nextMenu = Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(gapS(random)));
    }
  }
  ASSERT_TRUE(app.Running());
  const std::optional<double> cpuEndMs = appprobe::CpuTimeMs(app.pid());
  ASSERT_TRUE(cpuEndMs && afterWarmUp);
  const CpuSample last{Clock::now(), *cpuEndMs};
  const double overallPercent = PercentOfCore(*afterWarmUp, last);
  ASSERT_TRUE(app.SyncOutput(kStartTimeout));
  const std::vector<xharness::OutputLine> lines = app.Lines();

  std::size_t badLines = 0;
  std::size_t ticks = 0;
  for (std::size_t i = kReportLines; i < lines.size(); ++i) {
    const std::optional<appprobe::TraceLine> line = appprobe::ParseTraceLine(lines[i].text);
    if (line && line->mark == 0) ++ticks;
    if (!line && ++badLines <= 5) {
      ADD_FAILURE() << "line " << i + 1 << " is no trace line: \"" << lines[i].text << "\"";
    }
  }
  const double chainsRanS = Seconds(last.at - chainsStarted).count();
  const double expectedTicks = kChains * kTicksPerChainPerS * chainsRanS;
  const long growthKiB = rssMaxKiB - *rssAtWarmUpKiB;

  std::cout << "soak: ran " << chainsRanS << " s with " << kChains << " chains; " << lines.size()
            << " lines, " << ticks << " ticks (" << expectedTicks << " at 100 ms each), "
            << menuChoices << " menu choices\n"
            << "soak: resident " << *rssAtWarmUpKiB << " KiB after warm-up, at most " << rssMaxKiB
            << " KiB later (growth " << growthKiB << " KiB)\n"
            << "soak: CPU " << overallPercent << "% of a core after warm-up, worst " << cpuWindowS
            << " s window "
            << (worstWindowPercent ? std::to_string(*worstWindowPercent) + "%" : "n/a") << "\n";
  RecordProperty("resident_after_warm_up_kib", std::to_string(*rssAtWarmUpKiB));
  RecordProperty("resident_growth_kib", std::to_string(growthKiB));
  RecordProperty("cpu_percent", std::to_string(overallPercent));

  EXPECT_EQ(badLines, 0u);
  // FLTK makes up a late tick's lateness, but a tick held up past the next one's due time is
  // lost, so a loaded machine falls a little behind the ideal count.
  EXPECT_GE(static_cast<double>(ticks), 0.9 * expectedTicks) << "a chain stopped";
  EXPECT_LE(growthKiB, kRssGrowthLimitKiB);
  EXPECT_LT(overallPercent, kCpuLimitPercent);
  EXPECT_LT(worstWindowPercent.value_or(0.0), kCpuLimitPercent);
}

}  // namespace
