// display_linux.cpp: Linux, where FLTK would open the X connection in the user's locale. Right
// after glutInit has taken the GLUT options (-display among them), ConnectDisplay opens the
// connection and hands it to FLTK, so that the input method FLTK opens with it is the C locale's.
//
// FLTK 1.3's own fl_open_display() first sets LC_CTYPE from the environment and then, with the
// display, opens Xlib's input method (XOpenIM), which in a UTF-8 locale parses that locale's
// compose table (en_US.UTF-8/Compose: 512 KB, 5,672 sequences) before the first frame. The
// program reads no text: Escape and the menu's arrows, Return and Escape reach FLTK as key
// symbols, which it reads alike through the C locale's input method. FLTK offers no switch for
// the input method, but fl_open_display(Display*) takes a connection the program opened and
// leaves the locale as it is: C, since nothing here calls setlocale. UTF-8 labels are unaffected:
// FLTK decodes them itself and draws them through Xft, whatever the locale.
#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <cstdio>

#include "platform.h"

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

}  // namespace

void ConnectDisplay() {
  XSetIOErrorHandler(OnLostConnection);
  XSetErrorHandler(OnProtocolError);
  // Without a server FLTK tries again as the window is created, and ends the program with its
  // own message.
  Display* display = XOpenDisplay(nullptr);
  if (display != nullptr) fl_open_display(display);
}
