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

// The menu as freeglut draws it on Xvfb: entries 25 px high, the first 2 px below the top edge.
constexpr int kMenuEntryPx = 25;
constexpr int kMenuTopBorderPx = 2;
constexpr int kMenuEntries = 11;

// Opens the pop-up menu with a right press inside window, moves onto entry (1 to 11) and releases
// there, as a user would. True once the menu has closed again after the release. freeglut opens
// the menu where the pointer is when it handles the press, so the pointer goes to a fixed point
// inside the window first.
bool ChooseMenuEntry(Display* display, Window window, int entry,
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
