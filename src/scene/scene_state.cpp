// scene_state.cpp: the scene variables and the arithmetic of the animation steps.
//
// The steps mix single and double precision on purpose; each widening and narrowing is written
// out so that every rounding is visible.
#include "scene.h"
#include "strict_ieee.h"

namespace {

constexpr double kSpinStepDeg = 2.0;
constexpr double kFullTurnDeg = 360.0;

constexpr double kShrinkStep = 0.1;

constexpr double kUpperBandLow = 1.9999;
constexpr double kUpperBandHigh = 2.0001;
constexpr double kLowerBandLow = 0.4999;
constexpr double kLowerBandHigh = 0.5001;

}  // namespace

int drawMode = 1;
float spinAngle = 0.0f;
float scaleFactor = 1.0f;
int windowEdgePx = kWindowSizePx;

float NextSpinAngle(float angleDeg) {
  float next = static_cast<float>(static_cast<double>(angleDeg) + kSpinStepDeg);
  // Strictly greater: 360 itself is kept for one tick, and 0 is never reached again.
  if (static_cast<double>(next) > kFullTurnDeg) {
    next = static_cast<float>(static_cast<double>(next) - kFullTurnDeg);
  }
  return next;
}

float GrowScale(float scale) { return scale + kGrowthStep; }

float ShrinkScale(float scale) {
  return static_cast<float>(static_cast<double>(scale) - kShrinkStep);
}

bool InUpperBand(float scale) {
  const double wide = static_cast<double>(scale);
  return wide > kUpperBandLow && wide < kUpperBandHigh;
}

bool InLowerBand(float scale) {
  const double wide = static_cast<double>(scale);
  return wide > kLowerBandLow && wide < kLowerBandHigh;
}
