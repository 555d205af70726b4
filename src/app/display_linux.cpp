// display_linux.cpp: the X connection (Linux). Right after glutInit has taken the GLUT options
// (-display among them), ConnectDisplay opens it and hands it to FLTK, so that FLTK's input method
// opens in the C locale rather than the user's, whose compose table it would parse before the
// first frame (docs/linux.md, "The X connection"). It also makes sure the display can show an
// OpenGL window, which FLTK alone would report as a window seen and closed, and reads the
// screen's scale.
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/x.H>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform.h"
#include "screen_scale_linux.h"

namespace {

// What fl_open_display() would have installed: a lost connection ends the program with FLTK's
// message and status 1; a protocol error is reported and the program goes on (Xlib's default
// handler would end it).
int OnLostConnection(Display*) {
  Fl::fatal("X I/O error");
  return 0;
}

int OnProtocolError(Display* display, XErrorEvent* error) {
  char request[128];
  char requestName[128];
  char errorName[128];
  std::snprintf(request, sizeof request, "XRequest.%d", error->request_code);
  XGetErrorDatabaseText(display, "", request, request, requestName, sizeof requestName);
  XGetErrorText(display, error->error_code, errorName, sizeof errorName);
  Fl::warning("%s: %s 0x%lx", requestName, errorName, error->resourceid);
  return 0;
}

// What a user without a usable display can do instead, at the end of each message below.
// xvfb-run picks a free display number with -a, where its default, 99, may be taken.
constexpr char kWithoutDesktop[] =
    "run it in a desktop session or over ssh -X, or on a virtual X server: "
    "xvfb-run -a sample-drawing (Debian package xvfb)";
constexpr char kWithoutGl[] =
    "use an X server with GLX and a 24-bit screen, such as a virtual one: "
    "xvfb-run -a sample-drawing (Debian package xvfb)";

// Ends the program before any window exists, with one line on standard error.
[[noreturn]] void CannotOpenWindow(const std::string& problem, const char* remedy) {
  std::fprintf(stderr, "sample-drawing: cannot open its window: %s; %s\n", problem.c_str(), remedy);
  std::exit(1);
}

// True when the display can give the window of OpenSceneWindow (single-buffered RGB) a visual,
// as Fl_Gl_Window::show() will look for it: a double-buffered one stands in for single.
bool HasSceneVisual() { return Fl_Gl_Window::can_do(FL_RGB) || Fl_Gl_Window::can_do(FL_DOUBLE); }

// True when the screen's own colours are RGB. A screen of indexed colours (an 8-bit screen's
// default) has no GL visual, and it is asked of Xlib alone: from Debian 13's Mesa on, GLX crashes
// as it sets up a display with such a screen, before it can say so.
bool HasRgbScreen(Display* connection) {
  const int kind = DefaultVisual(connection, DefaultScreen(connection))->c_class;
  return kind == TrueColor || kind == DirectColor;
}

}  // namespace

void ConnectDisplay() {
  XSetIOErrorHandler(OnLostConnection);
  XSetErrorHandler(OnProtocolError);
  // FLTK's -display option has set DISPLAY by now.
  const std::string name = XDisplayName(nullptr);
  if (name.empty()) CannotOpenWindow("DISPLAY is not set", kWithoutDesktop);
  const std::string display = "display \"" + name + "\"";
  Display* connection = XOpenDisplay(nullptr);
  if (connection == nullptr) {
    CannotOpenWindow("no X server accepts a connection on " + display, kWithoutDesktop);
  }
  int glxError = 0;
  int glxEvent = 0;
  if (!glXQueryExtension(connection, &glxError, &glxEvent)) {
    XCloseDisplay(connection);
    CannotOpenWindow("the X server of " + display + " has no GLX extension, so no OpenGL",
                     kWithoutGl);
  }
  fl_open_display(connection);
  if (!HasRgbScreen(connection) || !HasSceneVisual()) {
    fl_close_display();
    CannotOpenWindow(display + " offers no OpenGL visual in RGB colour (an 8-bit screen has none)",
                     kWithoutGl);
  }
  // The resources as the server held them when the connection opened.
  UseScreenScale(ScreenDpi(XResourceManagerString(connection)));
}
