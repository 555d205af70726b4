// program_facts.h: what the program shows, stated once for every C++ test: its window's title and
// edge, the menu's entries, where the cube of draw mode 1 sits, the 44 lines of the start-up
// report and the first ticks of a scale trace. The scripts read theirs from program_facts.sh.
//
// Written from the program's known behaviour, never taken from its code, so a fault in a constant
// of the program shows as a difference. The report is generated with integer arithmetic only, so
// a build with value-changing floating-point optimisation cannot bend the expectation along with
// the code.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace facts {

inline constexpr char kWindowTitle[] = "Sample Drawing";
// The window's edge and its viewport's, in pixels.
inline constexpr int kWindowPx = 300;
// The start-up report: 20 lines of each accumulation loop and four equality verdicts.
inline constexpr std::size_t kReportLines = 44;
// Every timer's period: the rotation and each scale chain tick this often.
inline constexpr unsigned kTickMs = 100;
// The pop-up menu: eleven entries, and the value each passes to MyMainMenu; 5 starts a scale
// chain, 1 to 4 select that draw mode.
inline constexpr int kMenuEntries = 11;
inline constexpr int kMenuEntryValues[kMenuEntries] = {1, 2, 3, 4, 5, 5, 1, 1, 1, 1, 1};
// In draw mode 1 the cube's centre, at scene x = 0.6, is window pixel (240, 149) counted from the
// top-left corner.
inline constexpr int kCubeCentreX = 240;
inline constexpr int kCubeCentreY = kWindowPx / 2 - 1;

inline constexpr int kMicrosPerUnit = 1000000;
inline constexpr char kLoopAPrefix[] =
    "main                            ";  // "main", then 28 blanks

// A non-negative number of millionths as "%f" prints it: six decimals.
inline std::string SixDecimals(long long micros) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%06lld", micros / kMicrosPerUnit, micros % kMicrosPerUnit);
  return text;
}

// The 44 lines of the report: loop A reads 1.1 to 2.7 in tenths, then three
// values one millionth short of 2.8, 2.9 and 3.0; loop B reads one millionth short of 4 to 16,
// then 17 to 23 exactly; then the verdicts equal, not equal, equal, not equal.
inline std::vector<std::string> ExpectedReport() {
  std::vector<std::string> lines;
  for (int tenths = 11; tenths <= 30; ++tenths) {
    const long long micros = tenths * (kMicrosPerUnit / 10) - (tenths >= 28 ? 1 : 0);
    lines.push_back(kLoopAPrefix + SixDecimals(micros) + " 0.100000 0.100000");
  }
  for (int units = 4; units <= 23; ++units) {
    const long long micros = 1LL * units * kMicrosPerUnit - (units <= 16 ? 1 : 0);
    lines.push_back("main " + SixDecimals(micros) + " 0.100000 1.000000");
  }
  for (const char* verdict : {"x == y", "x != y", "x == y", "x != y"}) {
    lines.push_back(verdict);
  }
  return lines;
}

// The trace of the first twelve ticks of a chain started at scale 1.0: ten growth ticks to 2.0,
// the hand-over, and two shrink ticks.
inline std::vector<std::string> ExpectedTraceFromOne() {
  std::vector<std::string> lines;
  for (int tenths = 11; tenths <= 19; ++tenths) {
    const std::string scale = "1." + std::to_string(tenths % 10) + "00000";
    lines.push_back("MyTimer  0.100000");
    lines.push_back("MyTimer  " + scale + "  3");
    lines.push_back("MyTimer  " + scale + "  4");
  }
  lines.push_back("MyTimer  0.100000");
  lines.push_back("MyTimer  2.000000  1");
  lines.push_back("MyTimer  2.000000  2");
  for (const char* scale : {"1.900000", "1.800000"}) {
    lines.push_back(std::string("MyTimer2  ") + scale);
    lines.push_back(std::string("MyTimer2  ") + scale + "  3");
    lines.push_back(std::string("MyTimer2  ") + scale + "  4");
  }
  return lines;
}

}  // namespace facts
