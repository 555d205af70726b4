// experiments_test.cpp: the start-up precision report, the tolerance comparison, and the IEEE
// facts the report's verdicts rest on.
//
// The expected report comes from program_facts.h, made with integer arithmetic only. The
// arithmetic facts start from values read through volatile objects so that the compiler cannot
// fold them; each operation then runs in whatever mode this file was compiled with, and a build
// that reassociates or assumes NaN away fails here even where the report survives it.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "numeric.h"
#include "program_facts.h"
#include "scene_test.h"
#include "stdout_capture.h"

namespace {

using facts::ExpectedReport;

// Returns v through a volatile object, so the compiler cannot fold the arithmetic done with it.
double OpaqueDouble(double v) {
  volatile double held = v;
  return held;
}

using PrecisionReportTest = SceneTest;

TEST_F(PrecisionReportTest, PrintsTheFortyFourTabulatedLinesAndLeavesScaleAtOne) {
  const std::string text = TextPrintedBy(RunPrecisionExperiments);

  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << "every line, the last included, ends with a newline";
  const std::vector<std::string> actual = LinesOf(text);
  const std::vector<std::string> expected = ExpectedReport();
  ASSERT_EQ(expected.size(), facts::kReportLines);
  EXPECT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "report line " << i + 1;
  }
  EXPECT_EQ(scaleFactor, 1.0f);
}

TEST(CompareWithToleranceTest, FollowsTheSignOfTheDifferenceOutsideTheTolerance) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double a, b, tolerance;
    int expected;
  };
  const Case cases[] = {
      {"difference exactly the tolerance, a above", 1.5, 1.0, 0.5, 0},
      {"difference exactly the tolerance, a below", 1.0, 1.5, 0.5, 0},
      {"a above by more", 2.0, 1.0, 0.5, 1},
      {"a below by more", 1.0, 2.0, 0.5, -1},
      {"1e-9 apart within 1e-8", 1.0, 1.0 + 1e-9, 1e-8, 0},
      {"equal with zero tolerance", 1.0, 1.0, 0.0, 0},
      {"one unit in the last place with zero tolerance", 1.0, std::nextafter(1.0, 2.0), 0.0, -1},
      {"NaN operand", kNaN, 1.0, 1.0, -1},
      {"NaN operand, infinite tolerance", 1.0, kNaN, kInf, -1},
      {"infinity minus infinity is NaN", kInf, kInf, 1.0, -1},
      {"infinity above a finite number", kInf, 1.0, 1.0, 1},
      {"minus infinity below a finite number", -kInf, 1.0, 1.0, -1},
      {"infinite tolerance, finite difference", 5.0, -5.0, kInf, 0},
      {"negative tolerance, equal numbers", 1.0, 1.0, -0.5, -1},
      {"negative tolerance, a above", 2.0, 1.0, -1.0, 1},
      {"NaN tolerance, equal numbers", 1.0, 1.0, kNaN, -1},
      {"NaN tolerance, a above", 2.0, 1.0, kNaN, 1},
  };
  EXPECT_TRUE(std::isnan(OpaqueDouble(kNaN))) << "this build assumes NaN away";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CompareWithTolerance(c.a, c.b, c.tolerance), c.expected);
  }
}

TEST(PrecisionFactsTest, EqualitySumsRoundAsTheVerdictsRequire) {
  // Each sum starts from a value the compiler cannot see and adds literal addends, as the report
  // does: a build allowed to reassociate folds 0.06 + 0.01 into 0.07 first, and the fourth sum
  // then lands exactly on 123456789.1.
  double first = OpaqueDouble(0.03);
  first = first + 0.05;
  first = first + 0.02;
  EXPECT_EQ(first, 0.1);

  double second = OpaqueDouble(0.03);
  second = second + 0.06;
  second = second + 0.01;
  EXPECT_EQ(second, std::nextafter(0.1, 0.0)) << "0.09999999999999999, one unit in the last place";

  double fourth = OpaqueDouble(123456789.03);
  fourth = fourth + 0.06;
  fourth = fourth + 0.01;
  // One unit in the last place at 1.2e8 is 2^-26, about 1.49e-8: more than the tolerance 1e-8.
  EXPECT_EQ(fourth - OpaqueDouble(123456789.1), std::ldexp(1.0, -26));
}

TEST(PrecisionFactsTest, AccumulatingInDoubleShowsNoDriftAtThreeTenths) {
  volatile float tenth = 0.1f;
  double wide = 1.0;
  for (int i = 0; i < 20; ++i) {
    wide = wide + static_cast<double>(tenth);
  }
  char text[32];
  std::snprintf(text, sizeof text, "%f", wide);
  EXPECT_STREQ(text, "3.000000") << "the report's 2.999999 is single-precision drift";
}

}  // namespace
