// timers.cpp: the rotation timer and the two scale-animation timers.
//
// Each callback applies a pure step to the scene variables, traces it, and re-arms a one-shot
// GLUT timer; a chain therefore runs until the process ends. The scale timers request no redraw:
// their effect shows at the next redraw the rotation timer or the menu asks for.
#include <FL/glut.H>

#include <cstdio>

#include "scene.h"

namespace {

// The scale trace: two blanks after the name, two before the trailing digit.
constexpr char kGrowStepFormat[] = "MyTimer  %f\n";
constexpr char kGrowTurnFormat1[] = "MyTimer  %f  1\n";
constexpr char kGrowTurnFormat2[] = "MyTimer  %f  2\n";
constexpr char kGrowOnFormat3[] = "MyTimer  %f  3\n";
constexpr char kGrowOnFormat4[] = "MyTimer  %f  4\n";
constexpr char kShrinkStepFormat[] = "MyTimer2  %f\n";
constexpr char kShrinkTurnFormat1[] = "MyTimer2  %f  1\n";
constexpr char kShrinkTurnFormat2[] = "MyTimer2  %f  2\n";
constexpr char kShrinkOnFormat3[] = "MyTimer2  %f  3\n";
constexpr char kShrinkOnFormat4[] = "MyTimer2  %f  4\n";

}  // namespace

void MyRotateTimer(int /*value*/) {
  spinAngle = NextSpinAngle(spinAngle);
  glutPostRedisplay();
  glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);
}

void MyTimer(int /*value*/) {
  scaleFactor = GrowScale(scaleFactor);
  std::printf(kGrowStepFormat, static_cast<double>(kGrowthStep));
  const double scale = static_cast<double>(scaleFactor);
  if (InUpperBand(scaleFactor)) {
    std::printf(kGrowTurnFormat1, scale);
    glutTimerFunc(kTickMs, MyTimer2, kScaleTimerValue);
    std::printf(kGrowTurnFormat2, scale);
  } else {
    std::printf(kGrowOnFormat3, scale);
    glutTimerFunc(kTickMs, MyTimer, kScaleTimerValue);
    std::printf(kGrowOnFormat4, scale);
  }
}

void MyTimer2(int /*value*/) {
  scaleFactor = ShrinkScale(scaleFactor);
  const double scale = static_cast<double>(scaleFactor);
  std::printf(kShrinkStepFormat, scale);
  if (InLowerBand(scaleFactor)) {
    std::printf(kShrinkTurnFormat1, scale);
    glutTimerFunc(kTickMs, MyTimer, kScaleTimerValue);
    std::printf(kShrinkTurnFormat2, scale);
  } else {
    std::printf(kShrinkOnFormat3, scale);
    glutTimerFunc(kTickMs, MyTimer2, kScaleTimerValue);
    std::printf(kShrinkOnFormat4, scale);
  }
}
