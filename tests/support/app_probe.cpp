// app_probe.cpp: menu choice by synthetic mouse events, single pixels, /proc figures, trace shapes.
#include "app_probe.h"

#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

namespace appprobe {

namespace {

// Across the entry from the menu's left edge: inside every label's width.
constexpr int kEntryInsetPx = 30;
// utime and stime are the 14th and 15th fields of /proc/pid/stat; counted from the state field,
// the first after the parenthesised command name (which may itself hold blanks), they are the
// 12th and 13th.
constexpr int kUtimeAfterName = 11;

std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) ++shift;
  return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255UL / (mask >> shift));
}

}  // namespace

std::string ChooseMenuEntry(Display* display, Window window, int entry,
                            xharness::milliseconds timeout) {
  if (entry < 1 || entry > kMenuEntries) return "no entry " + std::to_string(entry);
  const Window menu = xharness::WaitForWindow(display, kMenuWindowName, timeout);
  if (menu == 0) return std::string("no window named ") + kMenuWindowName;
  if (xharness::IsWindowViewable(display, menu)) return "the menu is open already";
  const std::optional<xharness::WindowGeometry> app = xharness::GetGeometry(display, window);
  if (!app) return "the program's window is gone";

  xharness::MovePointer(display, app->x + kMenuPressX, app->y + kMenuPressY);
  xharness::PressButton(display, kRightButton);
  if (!xharness::WaitWindowViewable(display, menu, timeout)) {
    xharness::ReleaseButton(display, kRightButton);
    return "the menu did not open";
  }
  const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
  if (!box) {
    xharness::ReleaseButton(display, kRightButton);
    return "the menu window is gone";
  }
  // Two motions: the highlight follows motion events, and the first drawing of a fresh menu may
  // stay black until the pointer moves inside it.
  const int x = box->x + std::min(kEntryInsetPx, box->width / 2);
  const int y = box->y + kMenuBorderPx + (entry - 1) * kMenuEntryPx + kMenuEntryPx / 2;
  xharness::MovePointer(display, x + 1, y);
  xharness::MovePointer(display, x, y);
  xharness::ReleaseButton(display, kRightButton);
  if (!xharness::WaitUntil([&] { return !xharness::IsWindowViewable(display, menu); }, timeout)) {
    return "the menu stayed open after the release on entry " + std::to_string(entry);
  }
  return "";
}

std::optional<xharness::Rgb> PixelAt(Display* display, Window window, int x, int y) {
  if (x < 0 || y < 0) return std::nullopt;
  xharness::ScopedXErrorTrap trap(display);
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (trap.Check() != 0 || image == nullptr) {
    if (image != nullptr) XDestroyImage(image);
    return std::nullopt;
  }
  const unsigned long pixel = XGetPixel(image, 0, 0);
  const xharness::Rgb colour{Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
                             Channel(pixel, image->blue_mask)};
  XDestroyImage(image);
  return colour;
}

std::optional<double> CpuTimeMs(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(in, text)) return std::nullopt;
  const std::size_t nameEnd = text.rfind(')');
  if (nameEnd == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(nameEnd + 1));
  std::string skipped;
  for (int i = 0; i < kUtimeAfterName; ++i) fields >> skipped;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  if (!(fields >> utime >> stime)) return std::nullopt;
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(ticksPerSecond);
}

std::optional<long> StatusKiB(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  const std::string prefix = field + ":";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(prefix, 0) != 0) continue;
    std::istringstream value(line.substr(prefix.size()));
    long kib = 0;
    if (value >> kib) return kib;
  }
  return std::nullopt;
}

bool IsTraceLine(const std::string& line) {
  static const std::regex kTrace(R"(MyTimer2?  -?[0-9]+\.[0-9]{6}(  [1-4])?)");
  return std::regex_match(line, kTrace);
}

bool IsTickFirstLine(const std::string& line) {
  static const std::regex kFirst(R"(MyTimer2?  -?[0-9]+\.[0-9]{6})");
  return std::regex_match(line, kFirst);
}

}  // namespace appprobe
