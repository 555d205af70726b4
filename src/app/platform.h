// platform.h: the one boundary between the shared program and a platform, in both directions,
// with every point a platform supplies or replaces listed here. Each platform's files are named
// for it, and src/CMakeLists.txt builds the target's.
#pragma once

// What main asks of a platform, in the order it asks. Each platform defines all four in
// platform_<platform>.cpp, except that Linux connects in display_linux.cpp (at the screen's scale,
// screen_scale_linux.cpp).

// Makes sure that what the program prints on standard output reaches the user while the window
// is open, on a console of its own where the platform gives one. Call first, before anything
// opens a file or a connection.
void AttachConsole();

// Connects to the display the window will open on, where the platform has one to connect to
// before GLUT opens the window, and makes sure it can show an OpenGL window: where it cannot, says
// so in one line on standard error (and as the platform shows errors) and ends the program with
// status 1. Where the platform draws at the display's own scale, it also sizes the window for the
// display's density (windowEdgePx). Call right after glutInit, which takes the display's name
// from the command line.
void ConnectDisplay();

// Follows the window the platform's way: its close, which must end the main loop so that main
// returns the console's status, and its display's scale, which sets windowEdgePx and resizes the
// window. Call once, with the window open.
void FollowWindow();

// Shows the pop-up menu's entries (kMainMenuEntries) the platform's way, opened by the right
// mouse button. Call with the window open.
void AttachMainMenu();

// What a platform puts beneath the shared code, which calls it the same way everywhere:
//   GLUT        src/scene/glut_api.h includes the header CMake names in GLUT_API_HEADER: FLTK's
//               GLUT layer (Linux), a static freeglut (Windows), Emscripten's GLUT (browser).
//   GuardedDivide
//               src/numeric/guarded_divide_<platform>.cpp, the floating-point trap's handling.
// and what the browser alone replaces, with the same signatures:
//   glutTimerFunc
//               program_clock_page_web.cpp: the timers on the page's clock, which pauses, steps,
//               slows and replays them.
//   glutSolidCube
//               platform_web.cpp: Emscripten's GLUT has none.
//   glLoadIdentity, glTranslatef, glRotatef, glScalef, glFlush
//               frame_record_web.cpp, through the linker's --wrap: each frame's model-view calls,
//               recorded for the page's frame panel on their way to GL.
// The browser's page also calls the program, through the functions its *_web.cpp files export
// (the window's edge, menu choices, the clock, the address): docs/web.md lists them.

// What a platform may use of the shared program: the menu's table, the callback a choice calls
// with the chosen entry's value, and the window's edge in physical pixels.
#include "menu.h"   // kMainMenuEntries
#include "scene.h"  // MyMainMenu, windowEdgePx
