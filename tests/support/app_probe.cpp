// app_probe.cpp: menu choice by synthetic mouse events, single pixels, /proc figures, trace shapes.
#include "app_probe.h"

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
// A column of the menu inside the highlight of a selected entry and left of every label.
constexpr int kHighlightProbePx = 4;
// utime and stime are the 14th and 15th fields of /proc/pid/stat; counted from the state field,
// the first after the parenthesised command name (which may itself hold blanks), they are the
// 12th and 13th.
constexpr int kUtimeAfterName = 11;

}  // namespace

// Menus are override-redirect windows, FLTK's and Windows' (as Wine shows them) alike; so are a
// few 1 x 1 helper windows of Wine's. A menu of the eleven labels is larger than this both ways.
constexpr int kSmallestMenuPx = 100;

Window FindOpenMenu(Display* display) {
  xharness::ScopedXErrorTrap trap(display);  // The menu window may go while it is looked at.
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
    return 0;
  }
  Window menu = 0;
  for (unsigned i = 0; i < count && menu == 0; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
        attributes.override_redirect == True && attributes.map_state == IsViewable &&
        attributes.width >= kSmallestMenuPx && attributes.height >= kSmallestMenuPx) {
      menu = children[i];
    }
  }
  if (children != nullptr) XFree(children);
  return trap.Check() == 0 ? menu : 0;
}

bool IsDrawn(const xharness::RgbImage& image, int edgePx) {
  if (image.width() < edgePx || image.height() < edgePx) return false;
  return image.AtFromBottom(2, 2) == xharness::kWhite &&
         image.AtFromBottom(edgePx - 3, edgePx - 3) == xharness::kWhite &&
         (image.AtFromBottom(edgePx - 3, edgePx / 2) == xharness::kRed ||
          image.AtFromBottom(edgePx - 3, edgePx / 2 - 1) == xharness::kRed);
}

Window WaitForDrawnWindow(Display* display, const std::string& title,
                          xharness::milliseconds timeout, xharness::milliseconds poll) {
  Window window = 0;
  const bool drawn = xharness::WaitUntil(
      [&] {
        if (window == 0) window = xharness::FindWindowByName(display, title);
        if (window == 0) return false;
        const std::optional<xharness::RgbImage> image = xharness::GrabWindow(display, window);
        return image && IsDrawn(*image);
      },
      timeout, poll);
  return drawn ? window : 0;
}

int MenuEntryHeightPx(int menuHeightPx) {
  const int entriesPx = menuHeightPx - kMenuFramePx + kMenuLeadingPx;
  return entriesPx > 0 && entriesPx % kMenuEntries == 0 ? entriesPx / kMenuEntries : 0;
}

namespace {

// Presses the right button at (pressX, pressY) in window and waits for the menu to open; the
// button stays down. Returns the menu's window, 0 if it did not open (the button is then up).
Window PressForMenu(Display* display, Window window, int pressX, int pressY,
                    xharness::milliseconds timeout) {
  const std::optional<xharness::WindowGeometry> app = xharness::GetGeometry(display, window);
  if (!app) return 0;
  xharness::MovePointer(display, app->x + pressX, app->y + pressY);
  xharness::PressButton(display, kRightButton);
  Window menu = 0;
  if (!xharness::WaitUntil(
          [&] {
            menu = FindOpenMenu(display);
            return menu != 0;
          },
          timeout)) {
    xharness::ReleaseButton(display, kRightButton);
  }
  return menu;
}

}  // namespace

Window OpenMenuByClick(Display* display, Window window, xharness::milliseconds timeout, int pressX,
                       int pressY) {
  if (FindOpenMenu(display) != 0) return 0;
  const Window menu = PressForMenu(display, window, pressX, pressY, timeout);
  if (menu != 0) xharness::ReleaseButton(display, kRightButton);
  return menu;
}

std::string PointAtEntry(Display* display, Window menu, int entry, xharness::milliseconds timeout) {
  if (entry < 1 || entry > kMenuEntries) return "no entry " + std::to_string(entry);
  const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
  const int entryPx = box ? MenuEntryHeightPx(box->height) : 0;
  if (entryPx == 0) {
    return box ? "a menu " + std::to_string(box->height) + " px high holds no eleven entries"
               : "the menu window is gone";
  }
  // The highlight follows the pointer, but only once FLTK has taken the pointer for the menu, a
  // little after the menu shows. So the pointer moves until the entry shows highlighted, told by
  // a pixel left of its label that differs from the same column in another entry.
  const auto entryCentreY = [&](int k) {
    return kMenuFirstEntryPx + (k - 1) * entryPx + entryPx / 2;
  };
  const int x = box->x + std::min(kEntryInsetPx, box->width / 2);
  const int y = box->y + entryCentreY(entry);
  const int otherY = entryCentreY(entry == 1 ? 2 : 1);
  int nudge = 0;
  const bool highlighted = xharness::WaitUntil(
      [&] {
        xharness::MovePointer(display, x + (nudge++ % 2), y);
        const std::optional<xharness::Rgb> mark =
            PixelAt(display, menu, kHighlightProbePx, entryCentreY(entry));
        const std::optional<xharness::Rgb> plain =
            PixelAt(display, menu, kHighlightProbePx, otherY);
        return mark && plain && *mark != *plain;
      },
      timeout, xharness::milliseconds(20));
  return highlighted ? "" : "entry " + std::to_string(entry) + " never showed highlighted";
}

std::string ChooseMenuEntry(Display* display, Window window, int entry,
                            xharness::milliseconds timeout) {
  if (entry < 1 || entry > kMenuEntries) return "no entry " + std::to_string(entry);
  if (FindOpenMenu(display) != 0) return "the menu is open already";
  if (!xharness::GetGeometry(display, window)) return "the program's window is gone";
  const Window menu = PressForMenu(display, window, kMenuPressX, kMenuPressY, timeout);
  if (menu == 0) return "the menu did not open";
  // The release picks what is highlighted then.
  const std::string pointed = PointAtEntry(display, menu, entry, timeout);
  xharness::ReleaseButton(display, kRightButton);
  if (!pointed.empty()) return pointed;
  if (!xharness::WaitUntil([&] { return FindOpenMenu(display) == 0; }, timeout)) {
    return "the menu stayed open after the release on entry " + std::to_string(entry);
  }
  return "";
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

std::optional<TraceLine> ParseTraceLine(const std::string& text) {
  static const std::regex kTrace(R"(MyTimer(2?)  (-?[0-9]+\.[0-9]{6})(  ([1-4]))?)");
  std::smatch match;
  if (!std::regex_match(text, match, kTrace)) return std::nullopt;
  return TraceLine{match.length(1) == 1, std::stod(match.str(2)),
                   match[4].matched ? match.str(4)[0] - '0' : 0};
}

}  // namespace appprobe
