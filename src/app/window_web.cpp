// window_web.cpp: the browser, where the page owns the canvas the program draws in. Closing the
// tab ends the program with it, and the page sizes the canvas's buffer for the screen's density
// (web/pixel_ratio.js), so the program has no window of its own to follow.
#include "platform.h"

void FollowWindow() {}
