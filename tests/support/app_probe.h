// app_probe.h: probes of a running sample-drawing process, native or under Wine, for every program
// test, the benchmark and menu_probe: choosing a pop-up menu entry with synthetic mouse events,
// single pixels of its window, whether it shows a drawn frame, its CPU time and memory from /proc,
// and its trace lines read.
//
// Include gtest (if used) before this header, as for x_harness.h.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "program_facts.h"
#include "x_harness.h"

namespace appprobe {

// FLTK's pop-up menu, as FLTK 1.3 makes it: a top-level, override-redirect window (the program
// has no other), made when the menu opens and destroyed when it closes, with its
// top-left corner at the press. Its entries share one height, that of the tallest label plus
// 4 px of leading, and begin 3 px below its top (a 2 px border and one pixel more); the window is
// as high as the entries less one leading, plus 7 px (both borders and 3 px).
using facts::kMenuEntries;
constexpr int kMenuFirstEntryPx = 3;
constexpr int kMenuLeadingPx = 4;
constexpr int kMenuFramePx = 7;
constexpr unsigned kLeftButton = 1;
constexpr unsigned kRightButton = 3;
// Where the right button goes down, in pixels from the window's top-left corner. The menu opens
// with its top-left corner there, so it hides the window below row 200 only and leaves the cube
// of draw mode 1 in sight; most entries lie outside the window, where the menu takes the pointer
// all the same.
constexpr int kMenuPressX = 40;
constexpr int kMenuPressY = 200;

// The open pop-up menu's window; 0 while no menu is open.
Window FindOpenMenu(Display* display);
// The height of each entry of an open menu window this many pixels high; 0 if the height does not
// fit eleven whole entries.
int MenuEntryHeightPx(int menuHeightPx);

// Opens the pop-up menu with a right click at (pressX, pressY) inside window, the button released
// where it went down: FLTK then keeps the menu open, as for a user who opens it to read it.
// Returns the menu's window once it is viewable, 0 if it did not open.
Window OpenMenuByClick(Display* display, Window window,
                       xharness::milliseconds timeout = xharness::milliseconds(10000),
                       int pressX = kMenuPressX, int pressY = kMenuPressY);

// Moves the pointer onto the middle of entry (1 to 11) of the open menu until the entry shows
// highlighted. Returns an empty string then, otherwise what went wrong.
std::string PointAtEntry(Display* display, Window menu, int entry,
                         xharness::milliseconds timeout = xharness::milliseconds(10000));

// Opens the pop-up menu with a right press inside window, moves onto the middle of entry (1 to
// 11) and releases there, as a user picks an entry; returns once the menu has closed again.
// Returns an empty string on success, otherwise what went wrong.
std::string ChooseMenuEntry(Display* display, Window window, int entry,
                            xharness::milliseconds timeout = xharness::milliseconds(10000));

// A single pixel of a window (see x_harness.h).
using xharness::PixelAt;

// A drawn frame, in any draw mode: the viewport's corners white and its x axis red where it
// leaves the viewport; before its first expose is served the window shows whatever the server
// left there (black on Xvfb). The baseline programs of the benchmark draw the same. edgePx is the
// viewport's edge, larger than kWindowPx on a display scaled for its density.
bool IsDrawn(const xharness::RgbImage& image, int edgePx = facts::kWindowPx);
// The window named title once it shows a drawn frame, looked for every poll; 0 if not by timeout.
Window WaitForDrawnWindow(Display* display, const std::string& title,
                          xharness::milliseconds timeout,
                          xharness::milliseconds poll = xharness::milliseconds(5));

// User plus system CPU time of every thread of pid, in milliseconds (clock-tick resolution,
// 10 ms on Linux); empty once the process is gone.
std::optional<double> CpuTimeMs(pid_t pid);
// A "Vm..." field of /proc/pid/status in KiB, e.g. "VmHWM" (peak resident) or "VmRSS".
std::optional<long> StatusKiB(pid_t pid, const std::string& field);

// A line of the scale trace: "MyTimer" or "MyTimer2", two blanks, a "%f" number, and optionally
// two blanks and a step digit 1 to 4; a tick prints its line without the digit first.
struct TraceLine {
  bool shrinking = false;  // Printed by MyTimer2.
  double value = 0.0;
  int mark = 0;  // The step digit 1 to 4; 0 on a tick's first line.
};
// The line read as the trace, or nothing for a line of any other shape.
std::optional<TraceLine> ParseTraceLine(const std::string& text);

}  // namespace appprobe
