// bench_driver.cpp: measures sample-drawing against two freeglut baselines, the bare baseline
// program and the same program with sample-drawing's eleven-entry pop-up menu, each run on a
// private Xvfb of its own, and prints Markdown tables of medians with their ranges and the ratios.
//
// Figures, never verdicts on a single run: exec to the first drawn frame, in a UTF-8 locale and
// in C; CPU time and peak resident memory over an animated period (sample-drawing with one scale
// chain started through its menu, the baseline with a menu after one entry was chosen through it,
// the bare baseline just turning); and, for sample-drawing, the intervals between scale ticks as
// their first trace lines arrive on the pipe. The three programs run in turn, the order rotating
// from run to run, so a change in the machine's load touches all of them alike. The animated runs
// are made in the UTF-8 locale; a series of first frames alone, both locales in turn, follows them.
//
// Usage: bench_driver [--quick] [--runs N] [--seconds S] [--ticks T] [--baseline PATH]
//                     [--program PATH] [--first-frames N]
// --baseline runs another program titled "Baseline" in place of the built one, to attribute a
// difference to one feature by adding it to the baseline; it must take --menu as the built one
// does, and print "menu <value>" when an entry is chosen. --program runs another build of
// sample-drawing in place of this tree's, to compare two revisions on the same machine.
// --first-frames sets the number of first-frame runs in each locale (twice --runs by default).
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
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
// Between grabs while waiting for the first drawn frame (appprobe::IsDrawn, which every program
// here passes): the resolution of that figure.
constexpr milliseconds kFramePoll(1);
// The entry chosen in every menu: in sample-drawing it starts the scale chain.
constexpr int kScaleEntry = 5;
constexpr int kScaleEntryValue = facts::kMenuEntryValues[kScaleEntry - 1];
constexpr double kPercentile = 0.99;
constexpr double kTickMs = facts::kTickMs;

// freeglut 3.4's pop-up menu on Xvfb: a top-level window of this name that exists unmapped from
// start-up and is mapped while the menu is open. Its entries are 25 px high, below a 2 px border.
constexpr char kFreeglutMenuName[] = "freeglut menu";
constexpr int kFreeglutMenuBorderPx = 2;
constexpr int kFreeglutMenuEntryPx = 25;
// Across the entry from the menu's left edge: inside every label's width.
constexpr int kFreeglutEntryInsetPx = 30;

// Each program runs with LANG set to one of these and no other LC_* or LANGUAGE variable: the
// UTF-8 locale that desktop users have, and C for comparison.
constexpr const char* kUtf8Locale = "C.UTF-8";
constexpr const char* kLocales[] = {kUtf8Locale, "C"};

// Targets; the tables say whether each median meets its target.
constexpr double kFirstFrameRatioMax = 1.00;
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
  std::string programPath = SAMPLE_DRAWING_PATH;
  int firstFrameRuns = 0;  // 0: twice runs.
};

enum class Menu { kNone, kFltk, kFreeglut };

struct Program {
  std::string name;
  std::string path;
  std::vector<std::string> args;
  std::string windowTitle;
  Menu menu = Menu::kNone;  // Whose menu to open and choose kScaleEntry from, if any.
};

struct TickStats {
  double meanMs = 0.0;
  double p99Ms = 0.0;
  double maxMs = 0.0;
  double minMs = 0.0;
  std::size_t intervals = 0;
};

struct RunResult {
  double firstFrameMs = 0.0;
  double firstFramePeakKiB = 0.0;
  double cpuMs = 0.0;
  double cpuPercent = 0.0;
  double peakKiB = 0.0;
  double residentKiB = 0.0;
  double residentFileKiB = 0.0;
  std::optional<TickStats> ticks;
  std::optional<TickStats> periodTicks;  // Every interval of the animated period.
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
  stats.minMs = *std::min_element(intervalsMs.begin(), intervalsMs.end());
  return stats;
}

// Intervals between the first lines of successive scale ticks that arrived in [from, to], at most
// limit of them (0: all).
std::vector<double> TickIntervals(const std::vector<xharness::OutputLine>& lines,
                                  Clock::time_point from, Clock::time_point to, std::size_t limit) {
  std::vector<double> intervals;
  std::optional<Clock::time_point> previous;
  for (const xharness::OutputLine& line : lines) {
    const std::optional<appprobe::TraceLine> trace = appprobe::ParseTraceLine(line.text);
    if (line.arrival < from || line.arrival > to || !trace || trace->mark != 0) continue;
    if (previous) intervals.push_back(Millis(line.arrival - *previous).count());
    previous = line.arrival;
    if (limit != 0 && intervals.size() == limit) break;
  }
  return intervals;
}

// Opens the baseline's freeglut menu with a right press, moves onto the middle of entry and
// releases there; returns once the program has printed the choice. Returns an empty string on
// success, otherwise what went wrong. freeglut opens the menu where the pointer is when it
// handles the press, so the pointer stays put until the menu is up; a release there would land on
// the border and leave the menu open without a choice.
std::string ChooseFreeglutMenuEntry(Display* display, Window window, int entry,
                                    xharness::ChildProcess& app) {
  const Window menu = xharness::WaitForWindow(display, kFreeglutMenuName, kStartTimeout);
  if (menu == 0) return std::string("no window named ") + kFreeglutMenuName;
  if (xharness::IsWindowViewable(display, menu)) return "the menu is open already";
  const std::optional<xharness::WindowGeometry> appBox = xharness::GetGeometry(display, window);
  if (!appBox) return "the program's window is gone";

  xharness::MovePointer(display, appBox->x + appprobe::kMenuPressX,
                        appBox->y + appprobe::kMenuPressY);
  xharness::PressButton(display, appprobe::kRightButton);
  if (!xharness::WaitWindowViewable(display, menu, kStartTimeout)) {
    xharness::ReleaseButton(display, appprobe::kRightButton);
    return "the menu did not open";
  }
  const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
  if (!box) {
    xharness::ReleaseButton(display, appprobe::kRightButton);
    return "the menu window is gone";
  }
  // Two motions: the highlight follows motion events, and the first drawing of a fresh menu may
  // stay black until the pointer moves inside it.
  const int x = box->x + std::min(kFreeglutEntryInsetPx, box->width / 2);
  const int y = box->y + kFreeglutMenuBorderPx + (entry - 1) * kFreeglutMenuEntryPx +
                kFreeglutMenuEntryPx / 2;
  xharness::MovePointer(display, x + 1, y);
  xharness::MovePointer(display, x, y);
  xharness::ReleaseButton(display, appprobe::kRightButton);
  if (!xharness::WaitUntil([&] { return !xharness::IsWindowViewable(display, menu); },
                           kStartTimeout)) {
    return "the menu stayed open after the release on entry " + std::to_string(entry);
  }
  // The baseline prints nothing but this line.
  const std::string expected = "menu " + std::to_string(kScaleEntryValue);
  if (!app.WaitForLines(1, kStartTimeout) || app.Lines().front().text != expected) {
    return "the menu closed without printing \"" + expected + "\"";
  }
  return "";
}

// This process's environment without DISPLAY, with LANG=locale and no other locale variable.
std::vector<std::string> LocaleEnvironment(const std::string& locale) {
  std::vector<std::string> env;
  for (std::string& entry : xharness::EnvironmentWithoutDisplay()) {
    if (entry.rfind("LANG=", 0) == 0 || entry.rfind("LANGUAGE=", 0) == 0 ||
        entry.rfind("LC_", 0) == 0) {
      continue;
    }
    env.push_back(std::move(entry));
  }
  env.push_back("LANG=" + locale);
  return env;
}

// One run of program on a fresh server, in locale. measureSeconds 0 only starts it and measures
// the first frame (also a warm-up of the page cache and of the shader cache).
RunResult RunOnce(const Program& program, const std::string& locale, double measureSeconds,
                  std::size_t tickLimit) {
  xharness::PrivateXServer server;
  Display* display = server.display();
  RunResult result;

  std::vector<std::string> args{"-display", server.displayName()};
  args.insert(args.end(), program.args.begin(), program.args.end());
  const std::vector<std::string> env = LocaleEnvironment(locale);
  const Clock::time_point exec = Clock::now();
  xharness::ChildProcess app(program.path, args, env);
  const Window window =
      appprobe::WaitForDrawnWindow(display, program.windowTitle, kStartTimeout, kFramePoll);
  if (window == 0)
    throw std::runtime_error(program.name + ": no drawn frame; stderr:\n" + app.Stderr());
  result.firstFrameMs = Millis(Clock::now() - exec).count();
  result.firstFramePeakKiB =
      static_cast<double>(appprobe::StatusKiB(app.pid(), "VmHWM").value_or(0));
  if (measureSeconds <= 0.0) return result;

  std::string menuError;
  if (program.menu == Menu::kFltk) {
    menuError = appprobe::ChooseMenuEntry(display, window, kScaleEntry);
  } else if (program.menu == Menu::kFreeglut) {
    menuError = ChooseFreeglutMenuEntry(display, window, kScaleEntry, app);
  }
  if (!menuError.empty()) throw std::runtime_error(program.name + ": " + menuError);

  const Clock::time_point start = Clock::now();
  const std::optional<double> cpuStartMs = appprobe::CpuTimeMs(app.pid());
  const Clock::time_point end = start + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(measureSeconds));
  std::this_thread::sleep_until(end);
  const std::optional<double> cpuEndMs = appprobe::CpuTimeMs(app.pid());
  const std::optional<long> peakKiB = appprobe::StatusKiB(app.pid(), "VmHWM");
  const std::optional<long> residentKiB = appprobe::StatusKiB(app.pid(), "VmRSS");
  const std::optional<long> residentFileKiB = appprobe::StatusKiB(app.pid(), "RssFile");
  const double wallMs = Millis(Clock::now() - start).count();
  if (!cpuStartMs || !cpuEndMs || !peakKiB || !residentKiB || !residentFileKiB || !app.Running()) {
    throw std::runtime_error(program.name + ": ended during the measurement; stderr:\n" +
                             app.Stderr());
  }
  result.cpuMs = *cpuEndMs - *cpuStartMs;
  result.cpuPercent = 100.0 * result.cpuMs / wallMs;
  result.peakKiB = static_cast<double>(*peakKiB);
  result.residentKiB = static_cast<double>(*residentKiB);
  result.residentFileKiB = static_cast<double>(*residentFileKiB);
  if (program.menu == Menu::kFltk) {
    app.SyncOutput(kStartTimeout);
    result.intervalsMs = TickIntervals(app.Lines(), start, end, tickLimit);
    result.ticks = Summarise(result.intervalsMs);
    result.periodTicks = Summarise(TickIntervals(app.Lines(), start, end, 0));
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

// A figure as the tables print it. Verdicts are made on it, so that a verdict never disagrees with
// the figure beside it (a CPU share printed as 1.000 is not under 1%).
double Shown(double value, int decimals) {
  return std::isnan(value) ? value : std::stod(Format(value, decimals));
}

std::string Signed(double value, int decimals) {
  return (value >= 0.0 ? "+" : "") + Format(value, decimals);
}

std::string Cell(const Spread& spread, int decimals) {
  if (std::isnan(spread.median)) return "-";
  return Format(spread.median, decimals) + " (" + Format(spread.min, decimals) + "-" +
         Format(spread.max, decimals) + ")";
}

std::string Verdict(std::optional<bool> met) { return met ? (*met ? "yes" : "**no**") : "-"; }

// One program's runs and the spreads of its figures.
struct Figures {
  explicit Figures(const std::vector<RunResult>& runs)
      : first(SpreadOf(runs, [](const RunResult& r) { return std::optional(r.firstFrameMs); })),
        cpuMs(SpreadOf(runs, [](const RunResult& r) { return std::optional(r.cpuMs); })),
        cpuPercent(SpreadOf(runs, [](const RunResult& r) { return std::optional(r.cpuPercent); })),
        peak(SpreadOf(runs, [](const RunResult& r) { return std::optional(r.peakKiB); })),
        firstPeak(
            SpreadOf(runs, [](const RunResult& r) { return std::optional(r.firstFramePeakKiB); })),
        resident(SpreadOf(runs, [](const RunResult& r) { return std::optional(r.residentKiB); })),
        residentFile(
            SpreadOf(runs, [](const RunResult& r) { return std::optional(r.residentFileKiB); })) {}
  Spread first;
  Spread cpuMs;
  Spread cpuPercent;
  Spread peak;
  Spread firstPeak;
  Spread resident;
  Spread residentFile;  // Mapped files: libraries, caches, fonts.
};

// sample-drawing against one baseline on one figure: the ratio or difference as printed, and
// whether it meets the figure's target, if it has one.
struct Comparison {
  std::string text;
  std::optional<bool> met;
};

Comparison RatioOf(const Spread& project, const Spread& baseline, double maxRatio) {
  // The CPU figures are counted in 10 ms clock ticks; a baseline below one tick has no ratio.
  if (!(baseline.median > 0.0)) return {"-", std::nullopt};
  const double ratio = project.median / baseline.median;
  return {Format(ratio, 3), Shown(ratio, 3) <= maxRatio};
}

Comparison ExtraOf(const Spread& project, const Spread& baseline, std::optional<double> maxExtra) {
  const double extra = project.median - baseline.median;
  return {Signed(extra, 0) + " KiB",
          maxExtra ? std::optional<bool>(Shown(extra, 0) <= *maxExtra) : std::nullopt};
}

void Row(const std::string& figure, const std::array<const Spread*, 3>& spreads, int decimals,
         const std::string& target, const Comparison& bare, const Comparison& withMenu) {
  std::cout << "| " << figure;
  for (const Spread* spread : spreads) std::cout << " | " << Cell(*spread, decimals);
  std::cout << " | " << target;
  for (const Comparison* c : {&bare, &withMenu}) {
    std::cout << " | " << c->text;
    if (c->met) std::cout << ", " << Verdict(c->met);
  }
  std::cout << " |\n";
}

void TickRow(const std::string& figure, const Spread& spread, const std::string& target,
             std::optional<bool> met) {
  std::cout << "| " << figure << " | " << Cell(spread, 2) << " | " << target << " | "
            << Verdict(met) << " |\n";
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
    } else if (arg == "--program" && hasValue) {
      options.programPath = argv[++i];
    } else if (arg == "--first-frames" && hasValue) {
      options.firstFrameRuns = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--ticks" && hasValue) {
      options.ticks = static_cast<std::size_t>(std::max(2, std::atoi(argv[++i])));
    } else {
      throw std::invalid_argument(
          "usage: bench_driver [--quick] [--runs N] [--seconds S] [--ticks T] "
          "[--baseline PATH] [--program PATH] [--first-frames N]; bad argument: " +
          arg);
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = ParseOptions(argc, argv);
    const std::array<Program, 3> programs{
        Program{"sample-drawing", options.programPath, {}, facts::kWindowTitle, Menu::kFltk},
        Program{"baseline", options.baselinePath, {}, "Baseline", Menu::kNone},
        Program{"baseline + menu", options.baselinePath, {"--menu"}, "Baseline", Menu::kFreeglut},
    };

    std::cerr << "warm-up runs\n";
    for (const char* locale : kLocales) {
      for (const Program& program : programs) RunOnce(program, locale, 0.0, 0);
    }

    std::array<std::vector<RunResult>, 3> results;
    std::vector<double> allIntervalsMs;
    for (int run = 0; run < options.runs; ++run) {
      // The order rotates, so that no program always follows the same other one.
      for (std::size_t k = 0; k < programs.size(); ++k) {
        const std::size_t index = (k + static_cast<std::size_t>(run)) % programs.size();
        const Program& program = programs[index];
        RunResult result = RunOnce(program, kUtf8Locale, options.seconds, options.ticks);
        std::cerr << "run " << run + 1 << "/" << options.runs << " " << program.name
                  << ": first frame " << Format(result.firstFrameMs, 1) << " ms, CPU "
                  << Format(result.cpuMs, 0) << " ms, peak " << Format(result.peakKiB, 0) << " KiB";
        if (result.ticks) {
          std::cerr << ", ticks mean " << Format(result.ticks->meanMs, 2) << " p99 "
                    << Format(result.ticks->p99Ms, 2) << " max " << Format(result.ticks->maxMs, 2)
                    << " min " << Format(result.ticks->minMs, 2) << " ms over "
                    << result.ticks->intervals;
          allIntervalsMs.insert(allIntervalsMs.end(), result.intervalsMs.begin(),
                                result.intervalsMs.end());
        }
        std::cerr << "\n";
        results[index].push_back(std::move(result));
      }
    }

    // First frames alone, in each locale, by default twice as many runs as above since each
    // takes a fraction of a second. Within a run the locales take turns, the one that starts
    // alternating from run to run, and the programs rotate as above.
    constexpr std::size_t kLocaleCount = std::size(kLocales);
    const int frameRuns = options.firstFrameRuns > 0 ? options.firstFrameRuns : 2 * options.runs;
    std::array<std::array<std::vector<RunResult>, 3>, kLocaleCount> firstFrames;
    for (int run = 0; run < frameRuns; ++run) {
      for (std::size_t j = 0; j < kLocaleCount; ++j) {
        const std::size_t locale = (j + static_cast<std::size_t>(run)) % kLocaleCount;
        for (std::size_t k = 0; k < programs.size(); ++k) {
          const std::size_t index = (k + static_cast<std::size_t>(run)) % programs.size();
          RunResult result = RunOnce(programs[index], kLocales[locale], 0.0, 0);
          std::cerr << "first frame " << run + 1 << "/" << frameRuns << " LANG=" << kLocales[locale]
                    << " " << programs[index].name << ": " << Format(result.firstFrameMs, 1)
                    << " ms\n";
          firstFrames[locale][index].push_back(std::move(result));
        }
      }
    }

    const Figures project(results[0]);
    const Figures bare(results[1]);
    const Figures withMenu(results[2]);
    const auto spreads = [&](Spread Figures::* field) {
      return std::array<const Spread*, 3>{&(project.*field), &(bare.*field), &(withMenu.*field)};
    };
    const std::string period = Format(options.seconds, 0) + " s";
    // An absolute target of sample-drawing's: the same verdict against either baseline.
    const Comparison cpuPercentMet{Verdict(Shown(project.cpuPercent.median, 3) < kCpuPercentMax),
                                   std::nullopt};

    std::cout << "Runs: " << options.runs << " of each program, in turn, the order rotating, "
              << "with LANG=" << kUtf8Locale << "; animated period " << period << "; "
              << options.ticks << " tick intervals per run.\n\n"
              << "| Figure | sample-drawing median (min-max) | baseline median (min-max) | "
                 "baseline + menu median (min-max) | target | against baseline | "
                 "against baseline + menu |\n"
              << "|---|---|---|---|---|---|---|\n";
    Row("exec to first drawn frame (ms)", spreads(&Figures::first), 1,
        "ratio <= " + Format(kFirstFrameRatioMax, 2),
        RatioOf(project.first, bare.first, kFirstFrameRatioMax),
        RatioOf(project.first, withMenu.first, kFirstFrameRatioMax));
    Row("CPU over " + period + " (ms)", spreads(&Figures::cpuMs), 0,
        "ratio <= " + Format(kCpuRatioMax, 2), RatioOf(project.cpuMs, bare.cpuMs, kCpuRatioMax),
        RatioOf(project.cpuMs, withMenu.cpuMs, kCpuRatioMax));
    Row("CPU (% of one core)", spreads(&Figures::cpuPercent), 3,
        "sample-drawing < " + Format(kCpuPercentMax, 0) + "%", cpuPercentMet, cpuPercentMet);
    Row("peak resident, VmHWM (KiB)", spreads(&Figures::peak), 0,
        "<= baseline + " + Format(kPeakExtraKiBMax, 0) + " KiB",
        ExtraOf(project.peak, bare.peak, kPeakExtraKiBMax),
        ExtraOf(project.peak, withMenu.peak, kPeakExtraKiBMax));
    Row("peak resident at the first frame (KiB)", spreads(&Figures::firstPeak), 0, "-",
        ExtraOf(project.firstPeak, bare.firstPeak, std::nullopt),
        ExtraOf(project.firstPeak, withMenu.firstPeak, std::nullopt));
    Row("resident at the end, VmRSS (KiB)", spreads(&Figures::resident), 0, "-",
        ExtraOf(project.resident, bare.resident, std::nullopt),
        ExtraOf(project.resident, withMenu.resident, std::nullopt));
    Row("of which file-backed, RssFile (KiB)", spreads(&Figures::residentFile), 0, "-",
        ExtraOf(project.residentFile, bare.residentFile, std::nullopt),
        ExtraOf(project.residentFile, withMenu.residentFile, std::nullopt));

    std::cout << "\nExec to first drawn frame alone, " << frameRuns
              << " runs of each program in each locale, the locales taking turns:\n\n"
              << "| Figure | sample-drawing median (min-max) | baseline median (min-max) | "
                 "baseline + menu median (min-max) | target | against baseline | "
                 "against baseline + menu |\n"
              << "|---|---|---|---|---|---|---|\n";
    for (std::size_t locale = 0; locale < kLocaleCount; ++locale) {
      const Figures localeProject(firstFrames[locale][0]);
      const Figures localeBare(firstFrames[locale][1]);
      const Figures localeWithMenu(firstFrames[locale][2]);
      Row("first frame, LANG=" + std::string(kLocales[locale]) + " (ms)",
          {&localeProject.first, &localeBare.first, &localeWithMenu.first}, 1,
          "ratio <= " + Format(kFirstFrameRatioMax, 2),
          RatioOf(localeProject.first, localeBare.first, kFirstFrameRatioMax),
          RatioOf(localeProject.first, localeWithMenu.first, kFirstFrameRatioMax));
    }

    const auto tickField = [&](double TickStats::* field, bool wholePeriod) {
      return SpreadOf(results[0], [=](const RunResult& r) {
        const std::optional<TickStats>& ticks = wholePeriod ? r.periodTicks : r.ticks;
        return ticks ? std::optional<double>((*ticks).*field) : std::nullopt;
      });
    };
    const Spread tickMean = tickField(&TickStats::meanMs, false);
    const Spread tickP99 = tickField(&TickStats::p99Ms, false);
    std::cout << "\n| sample-drawing's scale tick interval (ms), first " << options.ticks
              << " of each run | median (min-max) | target | met |\n"
              << "|---|---|---|---|\n";
    TickRow("mean", tickMean, "<= " + Format(kTickMeanMsMax, 1),
            Shown(tickMean.median, 2) <= kTickMeanMsMax);
    TickRow("99th percentile", tickP99, "<= " + Format(kTickP99MsMax, 0),
            Shown(tickP99.median, 2) <= kTickP99MsMax);
    TickRow("maximum", tickField(&TickStats::maxMs, false), "-", std::nullopt);
    TickRow("minimum", tickField(&TickStats::minMs, false), "-", std::nullopt);
    TickRow("mean over the whole " + period, tickField(&TickStats::meanMs, true), "-",
            std::nullopt);

    const TickStats pooled = Summarise(allIntervalsMs);
    const auto under = std::count_if(allIntervalsMs.begin(), allIntervalsMs.end(),
                                     [](double ms) { return ms < kTickMs; });
    std::cout << "\nAll " << pooled.intervals << " tick intervals pooled: mean "
              << Format(pooled.meanMs, 2) << " ms, 99th percentile " << Format(pooled.p99Ms, 2)
              << " ms, maximum " << Format(pooled.maxMs, 2) << " ms, minimum "
              << Format(pooled.intervals > 0 ? pooled.minMs : std::nan(""), 2) << " ms; " << under
              << " under " << Format(kTickMs, 0) << " ms.\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "bench_driver: " << error.what() << "\n";
    return 1;
  }
}
