// screen_scale_linux.cpp: the window and the menu's type at the screen's scale (Linux).
//
// GNOME and KDE give X programs their scale as the Xft.dpi resource, 192 at 200%, and FLTK 1.3
// draws at one pixel per unit regardless, so the program scales what it sizes itself: the window's
// edge, which the scene fills, and FLTK's normal type size, which the pop-up menu's labels take.
#include "screen_scale_linux.h"

#include <FL/Enumerations.H>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <charconv>
#include <cmath>
#include <cstring>

#include "scene.h"

namespace {

constexpr int kUsualDpi = 96;
// 500%, the largest scale Windows offers. A larger value is no screen's: a slip ("1920" for 192)
// that would open a window larger than the screen, so it is ignored rather than clamped. Values
// under 96 are ignored too: the drawing never shrinks below its 300 pixels, as on Windows, whose
// scales start at 100%.
constexpr int kLargestDpi = 480;

}  // namespace

int ScreenDpi(const char* resources) {
  if (resources == nullptr) return kUsualDpi;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  char* type = nullptr;
  XrmValue value{0, nullptr};
  double dpi = 0.0;
  if (database != nullptr && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) != 0 &&
      value.addr != nullptr) {
    // The whole value must be the number, but for blanks after it.
    const char* text = value.addr;
    const char* end = text + std::strlen(text);
    while (end > text && (end[-1] == ' ' || end[-1] == '\t')) --end;
    const std::from_chars_result read = std::from_chars(text, end, dpi);
    if (read.ec != std::errc() || read.ptr != end) dpi = 0.0;
  }
  if (database != nullptr) XrmDestroyDatabase(database);
  // NaN fails both comparisons.
  if (!(dpi >= kUsualDpi && dpi <= kLargestDpi)) return kUsualDpi;
  return static_cast<int>(std::lround(dpi));
}

int ScaledPx(int px, int dpi) { return (px * dpi + kUsualDpi / 2) / kUsualDpi; }

void UseScreenScale(int dpi) {
  windowEdgePx = ScaledPx(kWindowSizePx, dpi);
  // Widgets take it as they are made, and FLTK's GLUT menus as they open.
  FL_NORMAL_SIZE = ScaledPx(FL_NORMAL_SIZE, dpi);
}
