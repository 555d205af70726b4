// experiments.cpp: the start-up precision report.
//
// Two accumulation loops show how sums of 0.1 drift in single precision; four equality tests
// show exact and tolerance-based comparison of double sums. Every operation is written in the
// precision it is meant to round in, one rounding per operation.
#include <cmath>

#include "console.h"
#include "numeric.h"
#include "scene.h"
#include "strict_ieee.h"

namespace {

constexpr int kLoopCount = 20;
constexpr float kTenthF = 0.1f;  // Bits 0x3DCCCCCD, 0.100000001490116...
constexpr float kThresholdF = 31.0f;
constexpr double kToleranceD = 1e-8;

constexpr char kLoopAFormat[] = "main                            %f %f %f\n";
constexpr char kLoopBFormat[] = "main %f %f %f\n";
constexpr char kEqualText[] = "x == y\n";
constexpr char kNotEqualText[] = "x != y\n";

void PrintVerdict(bool equal) { ConsolePrint("%s", equal ? kEqualText : kNotEqualText); }

// x + first + second, added left to right with one double rounding per addition.
double SumInOrder(double x, double first, double second) {
  x = x + first;
  x = x + second;
  return x;
}

void AccumulateWithAbs() {
  for (int i = 0; i < kLoopCount; ++i) {
    const float step = kTenthF;
    // The absolute value is taken on the widened value and narrowed back, then added in float.
    const float magnitude = static_cast<float>(std::fabs(static_cast<double>(scaleFactor)));
    scaleFactor = magnitude + step;
    ConsolePrint(kLoopAFormat, static_cast<double>(scaleFactor), static_cast<double>(kTenthF),
                 static_cast<double>(step));
  }
}

void AccumulateSelectedSteps() {
  for (int i = 0; i < kLoopCount; ++i) {
    float step = kTenthF;
    step = (step > kThresholdF) ? 1.0f : 0.0f;  // 0.1 > 31 is false: 0
    step = (kThresholdF > step) ? 1.0f : 0.0f;  // 31 > 0 is true: 1
    scaleFactor = scaleFactor + step;
    ConsolePrint(kLoopBFormat, static_cast<double>(scaleFactor), static_cast<double>(kTenthF),
                 static_cast<double>(step));
  }
}

void CompareSums() {
  PrintVerdict(SumInOrder(0.03, 0.05, 0.02) == 0.1);
  // 0.03 + 0.06 + 0.01 lands one unit in the last place below 0.1.
  PrintVerdict(SumInOrder(0.03, 0.06, 0.01) == 0.1);
  PrintVerdict(CompareWithTolerance(SumInOrder(0.03, 0.06, 0.01), 0.1, kToleranceD) == 0);
  // At 1.2e8 one unit in the last place is 1.49e-8, already more than the tolerance.
  PrintVerdict(
      CompareWithTolerance(SumInOrder(123456789.03, 0.06, 0.01), 123456789.1, kToleranceD) == 0);
}

}  // namespace

int CompareWithTolerance(double a, double b, double tolerance) {
  const double difference = a - b;
  if (tolerance >= std::fabs(difference)) {
    return 0;
  }
  return difference > 0.0 ? 1 : -1;
}

void RunPrecisionExperiments() {
  AccumulateWithAbs();
  AccumulateSelectedSteps();
  scaleFactor = 1.0f;
  CompareSums();
}
