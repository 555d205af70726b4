// expected_report.h: the 44 lines of the start-up report and the first ticks of a scale trace, for
// the tests of the report itself and of the real program's output, in a window and in the page.
//
// Generated from the report's known values with integer arithmetic only, so a build with
// value-changing floating-point optimisation cannot bend the expectation along with the code.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace expectedreport {

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

}  // namespace expectedreport
