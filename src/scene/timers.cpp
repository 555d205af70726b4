// timers.cpp: the rotation timer and the two scale-animation timers.
//
// Each callback applies a pure step to the scene variables, traces it, and re-arms a one-shot
// GLUT timer; a chain therefore runs until the process ends. The scale timers request no redraw:
// their effect shows at the next redraw the rotation timer or the menu asks for.
#include "console.h"
#include "glut_api.h"
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
  ConsolePrint(kGrowStepFormat, static_cast<double>(kGrowthStep));
  const double scale = static_cast<double>(scaleFactor);
  if (InUpperBand(scaleFactor)) {
    ConsolePrint(kGrowTurnFormat1, scale);
    glutTimerFunc(kTickMs, MyTimer2, kScaleTimerValue);
    ConsolePrint(kGrowTurnFormat2, scale);
  } else {
    ConsolePrint(kGrowOnFormat3, scale);
    glutTimerFunc(kTickMs, MyTimer, kScaleTimerValue);
    ConsolePrint(kGrowOnFormat4, scale);
  }
}

void MyTimer2(int /*value*/) {
  scaleFactor = ShrinkScale(scaleFactor);
  const double scale = static_cast<double>(scaleFactor);
  ConsolePrint(kShrinkStepFormat, scale);
  if (InLowerBand(scaleFactor)) {
    ConsolePrint(kShrinkTurnFormat1, scale);
    glutTimerFunc(kTickMs, MyTimer, kScaleTimerValue);
    ConsolePrint(kShrinkTurnFormat2, scale);
  } else {
    ConsolePrint(kShrinkOnFormat3, scale);
    glutTimerFunc(kTickMs, MyTimer2, kScaleTimerValue);
    ConsolePrint(kShrinkOnFormat4, scale);
  }
}
