// app_probe.h: probes of a running sample-drawing process for the fault, soak and benchmark
// programs: choosing a pop-up menu entry with synthetic mouse events, single pixels of its window,
// its CPU time and memory from /proc, and the shapes of its trace lines.
//
// Include gtest (if used) before this header, as for x_harness.h.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "x_harness.h"

namespace appprobe {

// freeglut's pop-up menu, as found with freeglut 3.4 on Xvfb: a top-level window named
// "freeglut menu" that exists from start-up and is mapped while the menu is open. Its entries are
// 25 px high (the 18-pixel Helvetica's 23 px line plus 2) and start below a 2 px border, which
// also runs below the last entry: eleven entries make it 11 * 25 + 4 = 279 px high.
constexpr char kMenuWindowName[] = "freeglut menu";
constexpr int kMenuEntries = 11;
constexpr int kMenuBorderPx = 2;
constexpr int kMenuEntryPx = 25;
constexpr unsigned kLeftButton = 1;
constexpr unsigned kRightButton = 3;
// Where the right button goes down, in pixels from the window's top-left corner. The menu opens
// with its top-left corner there, so it hides the window below row 200 only and leaves the cube
// of draw mode 1 in sight; entry 5 and below lie outside the window, which freeglut handles.
constexpr int kMenuPressX = 40;
constexpr int kMenuPressY = 200;

// Opens the pop-up menu with a right press inside window, moves onto the middle of entry (1 to
// 11) and releases there, as a user picks an entry; returns once the menu has closed again.
// Returns an empty string on success, otherwise what went wrong. freeglut opens the menu where
// the pointer is when it handles the press, so the pointer stays put until the menu is up.
std::string ChooseMenuEntry(Display* display, Window window, int entry,
                            xharness::milliseconds timeout = xharness::milliseconds(10000));

// The window pixel at (x, y), x right and y down from the top-left inside corner; empty if the
// window is gone, unmapped, or the point lies outside it.
std::optional<xharness::Rgb> PixelAt(Display* display, Window window, int x, int y);

// User plus system CPU time of every thread of pid, in milliseconds (clock-tick resolution,
// 10 ms on Linux); empty once the process is gone.
std::optional<double> CpuTimeMs(pid_t pid);
// A "Vm..." field of /proc/pid/status in KiB, e.g. "VmHWM" (peak resident) or "VmRSS".
std::optional<long> StatusKiB(pid_t pid, const std::string& field);

// True for a line of the scale trace: "MyTimer" or "MyTimer2", two blanks, a "%f" number, and
// optionally two blanks and a step digit 1 to 4.
bool IsTraceLine(const std::string& line);
// True for the line a scale tick prints first: a trace line without the step digit.
bool IsTickFirstLine(const std::string& line);

}  // namespace appprobe
