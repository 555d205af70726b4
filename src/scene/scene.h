// scene.h: the scene the window shows, and the GLUT callbacks that draw and animate it.
//
// The three scene variables are plain globals shared by the callbacks. They are read and written
// only on the thread that runs the GLUT main loop (and by main before the loop starts).
#pragma once

// Scene variables.
extern int drawMode;       // Transformation MyDisplay applies to the cube: 1 to 5. Initially 1.
extern float spinAngle;    // Cube rotation about z, degrees, counter-clockwise. Initially 0.
extern float scaleFactor;  // Cube scale in draw mode 5. Initially 1.0.

// Fixed facts shared by start-up, drawing and the timers.
constexpr char kWindowTitle[] = "Sample Drawing";
constexpr int kWindowSizePx = 300;    // Window and viewport edge, in logical pixels.
constexpr unsigned kTickMs = 100;     // Period of every timer.
constexpr int kRotateTimerValue = 0;  // Passed when arming MyRotateTimer; never read.
constexpr int kScaleTimerValue = 1;   // Passed when arming MyTimer and MyTimer2; never read.
constexpr int kScaleDrawMode = 5;     // Last draw mode; as a menu value, starts a scale chain.
// Growth per MyTimer tick, computed in single precision. It rounds back to 0.1f: 1e-9 is below
// half a unit in the last place of 0.1f.
constexpr float kGrowthStep = 0.1f - 1e-9f;

// Pure steps: values in, values out; no globals, no output, no GL.

// The angle after one rotation tick: +2 degrees in double, stored to float; above 360 wraps by 360.
float NextSpinAngle(float angleDeg);
// The scale after one growth tick: a single-precision addition of the growth step.
float GrowScale(float scale);
// The scale after one shrink tick: 0.1 subtracted in double, stored to float.
float ShrinkScale(float scale);
// True when the scale, widened to double, lies strictly between 1.9999 and 2.0001.
bool InUpperBand(float scale);
// True when the scale, widened to double, lies strictly between 0.4999 and 0.5001.
bool InLowerBand(float scale);

// The window.

// Window and viewport edge in the display's physical pixels: kWindowSizePx at the usual density,
// scaled by a platform that sizes the window for a denser display or shows it larger, before
// OpenSceneWindow and again when that changes. The axes are windowEdgePx / kWindowSizePx pixels
// wide, rounded. Initially kWindowSizePx.
extern int windowEdgePx;

// Opens the single-buffered RGB window of windowEdgePx a side titled kWindowTitle at (0, 0) and
// sets the view that never changes: the white clear colour and the orthographic projection of
// -1..1 on every axis. Call once, after glutInit.
void OpenSceneWindow();

// GLUT callbacks.

// Clears the window and draws the red half-axes and the cube placed according to drawMode.
void MyDisplay();
// Menu choice: selects a draw mode; value 5 also starts a scale-animation chain. Requests a redraw.
void MyMainMenu(int value);
// Rotation tick: advances spinAngle, requests a redraw and re-arms itself.
void MyRotateTimer(int value);
// Growth tick of a scale chain: grows scaleFactor, traces it, re-arms itself or hands over to
// MyTimer2.
void MyTimer(int value);
// Shrink tick of a scale chain: shrinks scaleFactor, traces it, re-arms itself or hands over to
// MyTimer.
void MyTimer2(int value);
