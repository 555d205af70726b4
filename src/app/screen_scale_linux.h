// screen_scale_linux.h: the screen's scale on Linux, as desktops hand it to X programs: the
// Xft.dpi resource, 96 dots per inch being the usual density (a scale of 100%).
#pragma once

// Xft.dpi among the resources the X server holds (the text of its RESOURCE_MANAGER property; null
// when it has none), rounded to whole dots per inch; 96 when it is absent, not a number, or
// outside 96 to 480.
int ScreenDpi(const char* resources);
// A length of px pixels at 96 dpi at dpi instead, rounded half away from zero as Windows' MulDiv
// rounds: 300 at 192 dpi is 600.
int ScaledPx(int px, int dpi);
// Sizes the window (windowEdgePx) and the type of FLTK's labels, the menu's among them, for dpi.
// Call once, before the window and the menu are made.
void UseScreenScale(int dpi);
