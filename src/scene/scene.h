// scene.h: the scene the window shows, and the GLUT callbacks that draw and animate it.
//
// The three scene variables are plain globals shared by the callbacks. They are read and written
// only on the thread that runs the GLUT main loop (and by main before the loop starts).
#pragma once

#include <array>
#include <string>
#include <vector>

// Scene variables.
extern int drawMode;       // Transformation MyDisplay applies to the cube: 1 to 5. Initially 1.
extern float spinAngle;    // Cube rotation about z, degrees, counter-clockwise. Initially 0.
extern float scaleFactor;  // Cube scale in draw mode 5. Initially 1.0.

// Fixed facts shared by start-up, drawing and the timers.
constexpr int kWindowSizePx = 300;    // Window and viewport edge, in pixels.
constexpr unsigned kTickMs = 100;     // Period of every timer.
constexpr int kRotateTimerValue = 0;  // Passed when arming MyRotateTimer; never read.
constexpr int kScaleTimerValue = 1;   // Passed when arming MyTimer and MyTimer2; never read.
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

// Console text. Every line of the report and the trace goes through ConsolePrint.

// printf to standard output, then a flush, so each line reaches a pipe or a file as it is
// printed. The first line that cannot be written for a reason other than a broken pipe (which
// raises SIGPIPE as usual) is reported in one line on standard error; later failures are quiet.
void ConsolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The process's exit status as far as the console goes: 1 once a line could not be written, else 0.
int ConsoleExitStatus();

// The pop-up menu: one table for every platform, presented the platform's way.

struct MenuEntry {
  char* label;  // UTF-8. Writable and static, since GLUT's glutAddMenuEntry takes char*.
  int value;    // Passed to MyMainMenu when the entry is chosen.
};
constexpr int kMainMenuEntryCount = 11;
// The entries in menu order. Several labels name scenes that are not drawn; each entry does what
// its value selects: entries 5 and 6 start the scale animation, entries 7 to 11 act as entry 1.
extern const std::array<MenuEntry, kMainMenuEntryCount> kMainMenuEntries;

// Start-up.

// Sets the drawing state that never changes: the white clear colour and the orthographic
// projection of -1..1 on every axis. Call once, with the new window's context current.
void SetUpFixedView();
// Gives the menu a font that draws every character of its labels, chosen among the installed
// fonts; without one, says so in one line on standard error. Call before CreateMainMenu. (Linux)
void UseMenuFont();
// Builds the eleven-entry pop-up menu with GLUT's menu calls and attaches it to the right mouse
// button.
void CreateMainMenu();

// The menu's labels, UTF-8, in menu order.
std::vector<std::string> MainMenuLabels();
// The installed font family that covers every character of every label: NanumGothic when
// installed, else another of the Korean families we know, else any; empty when none covers them.
// (Linux)
std::string FindMenuFontFamily();

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
