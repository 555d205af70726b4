// platform_web.cpp: the browser, where the page (web/index.html) is the console and shows the
// menu as an HTML menu, whose fonts have Hangul. Emscripten's GLUT has neither menus nor a solid
// cube: the menu's table goes to the page directly, and glutSolidCube is defined here (its faces
// in cube_web.cpp).
//
// The page sizes the canvas's box and tells the program its edge in device pixels (the box times
// devicePixelRatio, web/pixel_ratio.js): before the window opens, and through SetWindowEdge
// whenever it changes, as Windows does for a monitor's scale.
#include <emscripten.h>

#include <algorithm>
#include <array>

#include "cube_web.h"
#include "frame_record_web.h"
#include "glut_api.h"
#include "learner_calls_web.h"
#include "platform.h"

namespace {

// The largest drawing buffer asked for, in device pixels a side: WebGL's renderbuffers commonly
// stop at 4096 or 8192, and a buffer it cuts short would leave the viewport hanging over its edge.
// A box denser than that (a 600-pixel box zoomed far) is stretched from it by the browser.
constexpr int kMaxWindowEdgePx = 4096;

// An edge from the page, bounded; 0 and below (a canvas with no box) keep the edge there is.
int BoundedEdgePx(int edgePx) {
  return edgePx < 1 ? windowEdgePx : std::min(edgePx, kMaxWindowEdgePx);
}

}  // namespace

// The edge the page has worked out for the canvas, in device pixels; 0 when it has none.
EM_JS(int, PageWindowEdgePx, (), { return Module["windowEdgePx"] ? Module["windowEdgePx"]() : 0; });

// Gives the page the entries in order; the page defines Module.attachMenu and opens the menu on
// the right button (a long press on a touch screen).
EM_JS(void, HandMenuToPage, (const char* const* labels, int count), {
  var entries = [];
  for (var i = 0; i < count; ++i) entries.push({label : UTF8ToString(HEAPU32[(labels >> 2) + i])});
  Module["attachMenu"](entries);
});

// While the learner's calls are in force, they place and draw the cube instead.
void glutSolidCube(GLdouble size) {
  if (LearnerCalls()) {
    DrawLearnerCalls();
    return;
  }
  RecordCube(size);
  DrawCubeFaces(size);
}

// The page keeps standard output: Emscripten's print gives it each line.
void AttachConsole() {}

// The page's canvas is the display; the window opens at the edge the page has worked out.
void ConnectDisplay() { windowEdgePx = BoundedEdgePx(PageWindowEdgePx()); }

// Closing the tab ends the program with it, and the page tells the program of every change of
// the canvas's edge (SetWindowEdge): there is no window of its own to follow.
void FollowWindow() {}

void AttachMainMenu() {
  std::array<const char*, kMainMenuEntryCount> labels{};
  for (int i = 0; i < kMainMenuEntryCount; ++i) labels[i] = kMainMenuEntries[i].label;
  HandMenuToPage(labels.data(), kMainMenuEntryCount);
}

extern "C" {

// The canvas's box or the screen's density changed: the buffer and the viewport follow, and the
// scene is drawn again. Emscripten's glutReshapeWindow sets the canvas's width and height (and
// clears only its inline size, leaving its box to the page's style sheet). Returns the edge taken.
EMSCRIPTEN_KEEPALIVE int SetWindowEdge(int edgePx) {
  const int boundedPx = BoundedEdgePx(edgePx);
  if (boundedPx != windowEdgePx) {
    windowEdgePx = boundedPx;
    glutReshapeWindow(boundedPx, boundedPx);
  }
  return boundedPx;
}

}  // extern "C"
