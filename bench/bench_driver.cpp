// bench_driver.cpp: measures sample-drawing against the baseline GLUT program, each on a private
// Xvfb of its own, and prints a Markdown table of medians with their ranges and the ratios.
//
// Figures, never verdicts on a single run: exec to the first drawn frame; CPU time and peak
// resident memory over an animated period (sample-drawing with one scale chain started through
// its menu, the baseline just turning); and, for sample-drawing, the intervals between scale
// ticks as their first trace lines arrive on the pipe. The two programs run alternately, so a
// change in the machine's load touches both alike.
//
// Usage: bench_driver [--quick] [--runs N] [--seconds S] [--ticks T]
//                     [--baseline PATH [--baseline-menu ENTRY]]
// --baseline runs another program titled "Baseline" in place of the built one, to attribute a
// difference to one feature by adding it to the baseline; --baseline-menu has the driver choose
// that entry of its pop-up menu before the animated period, as it chooses entry 5 of
// sample-drawing's.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app_probe.h"
#include "x_harness.h"

namespace {

using xharness::Clock;
using xharness::milliseconds;
using Millis = std::chrono::duration<double, std::milli>;

constexpr milliseconds kStartTimeout(30000);
// Between pixel polls while waiting for the first frame: the resolution of that figure.
constexpr milliseconds kFramePoll(1);
// In the first frame of both programs the cube's centre, at scene x = 0.6, is window pixel
// (240, 149) counted from the top, and the corner is white. Before its first expose is served a
// window on Xvfb is black.
constexpr int kCubeCentreX = 240;
constexpr int kCubeCentreY = 149;
constexpr int kCornerPx = 2;
constexpr int kScaleEntry = 5;
constexpr double kPercentile = 0.99;

// Targets; the table says whether each median meets its target.
constexpr double kFirstFrameRatioMax = 1.05;
constexpr double kCpuRatioMax = 1.10;
constexpr double kCpuPercentMax = 1.0;
constexpr double kPeakExtraKiBMax = 1024.0;
constexpr double kTickMeanMsMax = 100.5;
constexpr double kTickP99MsMax = 105.0;

struct Options {
  int runs = 10;
  double seconds = 20.0;
  std::size_t ticks = 100;
  std::string baselinePath = BASELINE_PATH;
  int baselineMenuEntry = 0;
};

struct Program {
  std::string name;
  std::string path;
  std::string windowTitle;
  int menuEntry = 0;  // Chosen through the menu before the animated period; 0 for none.
};

struct TickStats {
  double meanMs = 0.0;
  double p99Ms = 0.0;
  double maxMs = 0.0;
  std::size_t intervals = 0;
};

struct RunResult {
  double firstFrameMs = 0.0;
  double firstFramePeakKiB = 0.0;
  double cpuMs = 0.0;
  double cpuPercent = 0.0;
  double peakKiB = 0.0;
  double residentKiB = 0.0;
  std::optional<TickStats> ticks;
  std::vector<double> intervalsMs;
};

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const auto rank =
      static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

TickStats Summarise(const std::vector<double>& intervalsMs) {
  TickStats stats;
  stats.intervals = intervalsMs.size();
  if (intervalsMs.empty()) return stats;
  double sum = 0.0;
  for (double value : intervalsMs) sum += value;
  stats.meanMs = sum / static_cast<double>(intervalsMs.size());
  stats.p99Ms = Percentile(intervalsMs, kPercentile);
  stats.maxMs = *std::max_element(intervalsMs.begin(), intervalsMs.end());
  return stats;
}

// Intervals between the first lines of successive scale ticks that arrived in [from, to], at most
// limit of them.
std::vector<double> TickIntervals(const std::vector<xharness::OutputLine>& lines,
                                  Clock::time_point from, Clock::time_point to, std::size_t limit) {
  std::vector<double> intervals;
  std::optional<Clock::time_point> previous;
  for (const xharness::OutputLine& line : lines) {
    if (line.arrival < from || line.arrival > to || !appprobe::IsTickFirstLine(line.text)) continue;
    if (previous) intervals.push_back(Millis(line.arrival - *previous).count());
    previous = line.arrival;
    if (intervals.size() == limit) break;
  }
  return intervals;
}

// One run of program on a fresh server. measureSeconds 0 only starts it (a warm-up of the page
// cache and of the shader cache, whose figures are dropped).
RunResult RunOnce(const Program& program, double measureSeconds, std::size_t tickLimit) {
  xharness::PrivateXServer server;
  Display* display = server.display();
  RunResult result;

  const Clock::time_point exec = Clock::now();
  xharness::ChildProcess app(program.path, {"-display", server.displayName()});
  Window window = 0;
  const bool drawn = xharness::WaitUntil(
      [&] {
        if (window == 0) window = xharness::FindWindowByName(display, program.windowTitle);
        return window != 0 &&
               appprobe::PixelAt(display, window, kCubeCentreX, kCubeCentreY) == xharness::kRed &&
               appprobe::PixelAt(display, window, kCornerPx, kCornerPx) == xharness::kWhite;
      },
      kStartTimeout, kFramePoll);
  if (!drawn) throw std::runtime_error(program.name + ": no drawn frame; stderr:\n" + app.Stderr());
  result.firstFrameMs = Millis(Clock::now() - exec).count();
  result.firstFramePeakKiB =
      static_cast<double>(appprobe::StatusKiB(app.pid(), "VmHWM").value_or(0));
  if (measureSeconds <= 0.0) return result;

  if (program.menuEntry != 0 &&
      !appprobe::ChooseMenuEntry(display, window, program.menuEntry).empty()) {
    throw std::runtime_error(program.name + ": the menu did not take the choice");
  }
  const Clock::time_point start = Clock::now();
  const std::optional<double> cpuStartMs = appprobe::CpuTimeMs(app.pid());
  const Clock::time_point end = start + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(measureSeconds));
  std::this_thread::sleep_until(end);
  const std::optional<double> cpuEndMs = appprobe::CpuTimeMs(app.pid());
  const std::optional<long> peakKiB = appprobe::StatusKiB(app.pid(), "VmHWM");
  const std::optional<long> residentKiB = appprobe::StatusKiB(app.pid(), "VmRSS");
  const double wallMs = Millis(Clock::now() - start).count();
  if (!cpuStartMs || !cpuEndMs || !peakKiB || !residentKiB || !app.Running()) {
    throw std::runtime_error(program.name + ": ended during the measurement; stderr:\n" +
                             app.Stderr());
  }
  result.cpuMs = *cpuEndMs - *cpuStartMs;
  result.cpuPercent = 100.0 * result.cpuMs / wallMs;
  result.peakKiB = static_cast<double>(*peakKiB);
  result.residentKiB = static_cast<double>(*residentKiB);
  if (program.menuEntry == kScaleEntry) {
    app.SyncOutput(kStartTimeout);
    result.intervalsMs = TickIntervals(app.Lines(), start, end, tickLimit);
    result.ticks = Summarise(result.intervalsMs);
  }
  return result;
}

struct Spread {
  double median = 0.0;
  double min = 0.0;
  double max = 0.0;
};

template <typename Field>
Spread SpreadOf(const std::vector<RunResult>& runs, Field field) {
  std::vector<double> values;
  for (const RunResult& run : runs) {
    if (std::optional<double> value = field(run)) values.push_back(*value);
  }
  if (values.empty()) return Spread{std::nan(""), std::nan(""), std::nan("")};
  return Spread{Median(values), *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end())};
}

std::string Format(double value, int decimals) {
  if (std::isnan(value)) return "-";
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Cell(const Spread& spread, int decimals) {
  if (std::isnan(spread.median)) return "-";
  return Format(spread.median, decimals) + " (" + Format(spread.min, decimals) + "-" +
         Format(spread.max, decimals) + ")";
}

void Row(const std::string& figure, const Spread& project, const Spread* baseline,
         const std::string& ratio, const std::string& target, std::optional<bool> met,
         int decimals) {
  std::cout << "| " << figure << " | " << Cell(project, decimals) << " | "
            << (baseline ? Cell(*baseline, decimals) : "-") << " | " << ratio << " | " << target
            << " | " << (met ? (*met ? "yes" : "**no**") : "-") << " |\n";
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--quick") {
      options.runs = 3;
      options.seconds = 6.0;
      options.ticks = 50;
    } else if (arg == "--runs" && hasValue) {
      options.runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--seconds" && hasValue) {
      options.seconds = std::max(1.0, std::atof(argv[++i]));
    } else if (arg == "--baseline" && hasValue) {
      options.baselinePath = argv[++i];
    } else if (arg == "--baseline-menu" && hasValue) {
      options.baselineMenuEntry = std::atoi(argv[++i]);
    } else if (arg == "--ticks" && hasValue) {
      options.ticks = static_cast<std::size_t>(std::max(2, std::atoi(argv[++i])));
    } else {
      throw std::invalid_argument(
          "usage: bench_driver [--quick] [--runs N] [--seconds S] "
          "[--ticks T] [--baseline PATH [--baseline-menu ENTRY]]; bad argument: " +
          arg);
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = ParseOptions(argc, argv);
    const Program project{"sample-drawing", SAMPLE_DRAWING_PATH, "Sample Drawing", kScaleEntry};
    const Program baseline{"baseline", options.baselinePath, "Baseline", options.baselineMenuEntry};

    std::cerr << "warm-up runs\n";
    RunOnce(project, 0.0, 0);
    RunOnce(baseline, 0.0, 0);

    std::vector<RunResult> projectRuns;
    std::vector<RunResult> baselineRuns;
    std::vector<double> allIntervalsMs;
    for (int run = 0; run < options.runs; ++run) {
      // Alternate which goes first, so neither always follows the other.
      const bool projectFirst = run % 2 == 0;
      for (int k = 0; k < 2; ++k) {
        const bool isProject = (k == 0) == projectFirst;
        RunResult result = RunOnce(isProject ? project : baseline, options.seconds, options.ticks);
        std::cerr << "run " << run + 1 << "/" << options.runs << " "
                  << (isProject ? project.name : baseline.name) << ": first frame "
                  << Format(result.firstFrameMs, 1) << " ms, CPU " << Format(result.cpuMs, 0)
                  << " ms, peak " << Format(result.peakKiB, 0) << " KiB";
        if (result.ticks) {
          std::cerr << ", ticks mean " << Format(result.ticks->meanMs, 2) << " p99 "
                    << Format(result.ticks->p99Ms, 2) << " max " << Format(result.ticks->maxMs, 2)
                    << " ms over " << result.ticks->intervals;
          allIntervalsMs.insert(allIntervalsMs.end(), result.intervalsMs.begin(),
                                result.intervalsMs.end());
        }
        std::cerr << "\n";
        (isProject ? projectRuns : baselineRuns).push_back(std::move(result));
      }
    }

    const auto first = [](const RunResult& r) { return std::optional<double>(r.firstFrameMs); };
    const auto cpuMs = [](const RunResult& r) { return std::optional<double>(r.cpuMs); };
    const auto cpuPercent = [](const RunResult& r) { return std::optional<double>(r.cpuPercent); };
    const auto peak = [](const RunResult& r) { return std::optional<double>(r.peakKiB); };
    const auto resident = [](const RunResult& r) { return std::optional<double>(r.residentKiB); };
    const auto firstPeak = [](const RunResult& r) {
      return std::optional<double>(r.firstFramePeakKiB);
    };
    const auto tickMean = [](const RunResult& r) {
      return r.ticks ? std::optional<double>(r.ticks->meanMs) : std::nullopt;
    };
    const auto tickP99 = [](const RunResult& r) {
      return r.ticks ? std::optional<double>(r.ticks->p99Ms) : std::nullopt;
    };
    const auto tickMax = [](const RunResult& r) {
      return r.ticks ? std::optional<double>(r.ticks->maxMs) : std::nullopt;
    };

    const Spread pFirst = SpreadOf(projectRuns, first);
    const Spread bFirst = SpreadOf(baselineRuns, first);
    const Spread pCpu = SpreadOf(projectRuns, cpuMs);
    const Spread bCpu = SpreadOf(baselineRuns, cpuMs);
    const Spread pCpuPercent = SpreadOf(projectRuns, cpuPercent);
    const Spread bCpuPercent = SpreadOf(baselineRuns, cpuPercent);
    const Spread pPeak = SpreadOf(projectRuns, peak);
    const Spread bPeak = SpreadOf(baselineRuns, peak);
    const Spread pFirstPeak = SpreadOf(projectRuns, firstPeak);
    const Spread bFirstPeak = SpreadOf(baselineRuns, firstPeak);
    const Spread pResident = SpreadOf(projectRuns, resident);
    const Spread bResident = SpreadOf(baselineRuns, resident);
    const Spread pTickMean = SpreadOf(projectRuns, tickMean);
    const Spread pTickP99 = SpreadOf(projectRuns, tickP99);
    const Spread pTickMax = SpreadOf(projectRuns, tickMax);
    const TickStats pooled = Summarise(allIntervalsMs);

    const double firstRatio = pFirst.median / bFirst.median;
    // The CPU figures are counted in 10 ms clock ticks; a baseline below one tick has no ratio.
    const double cpuRatio = bCpu.median > 0.0 ? pCpu.median / bCpu.median : std::nan("");
    const std::string period = Format(options.seconds, 0) + " s";

    std::cout << "Runs: " << options.runs << " of each program, alternating; animated period "
              << period << "; " << options.ticks << " tick intervals per run.\n\n"
              << "| Figure | sample-drawing median (min-max) | baseline median (min-max) | "
                 "ratio | target | met |\n"
              << "|---|---|---|---|---|---|\n";
    Row("exec to first drawn frame (ms)", pFirst, &bFirst, Format(firstRatio, 3),
        "ratio <= " + Format(kFirstFrameRatioMax, 2), firstRatio <= kFirstFrameRatioMax, 1);
    Row("CPU over " + period + " (ms)", pCpu, &bCpu, Format(cpuRatio, 3),
        "ratio <= " + Format(kCpuRatioMax, 2),
        std::isnan(cpuRatio) ? std::nullopt : std::optional<bool>(cpuRatio <= kCpuRatioMax), 0);
    Row("CPU (% of one core)", pCpuPercent, &bCpuPercent, "-",
        "< " + Format(kCpuPercentMax, 0) + "%", pCpuPercent.median < kCpuPercentMax, 3);
    Row("peak resident, VmHWM (KiB)", pPeak, &bPeak,
        "+" + Format(pPeak.median - bPeak.median, 0) + " KiB",
        "<= baseline + " + Format(kPeakExtraKiBMax, 0) + " KiB",
        pPeak.median <= bPeak.median + kPeakExtraKiBMax, 0);
    Row("peak resident at the first frame (KiB)", pFirstPeak, &bFirstPeak,
        "+" + Format(pFirstPeak.median - bFirstPeak.median, 0) + " KiB", "-", std::nullopt, 0);
    Row("resident at the end, VmRSS (KiB)", pResident, &bResident,
        "+" + Format(pResident.median - bResident.median, 0) + " KiB", "-", std::nullopt, 0);
    Row("scale tick interval, mean (ms)", pTickMean, nullptr, "-",
        "<= " + Format(kTickMeanMsMax, 1), pTickMean.median <= kTickMeanMsMax, 2);
    Row("scale tick interval, 99th percentile (ms)", pTickP99, nullptr, "-",
        "<= " + Format(kTickP99MsMax, 0), pTickP99.median <= kTickP99MsMax, 2);
    Row("scale tick interval, maximum (ms)", pTickMax, nullptr, "-", "-", std::nullopt, 2);
    std::cout << "\nAll " << pooled.intervals << " tick intervals pooled: mean "
              << Format(pooled.meanMs, 2) << " ms, 99th percentile " << Format(pooled.p99Ms, 2)
              << " ms, maximum " << Format(pooled.maxMs, 2) << " ms, minimum "
              << Format(allIntervalsMs.empty()
                            ? std::nan("")
                            : *std::min_element(allIntervalsMs.begin(), allIntervalsMs.end()),
                        2)
              << " ms.\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "bench_driver: " << error.what() << "\n";
    return 1;
  }
}
