// platform.h: the one boundary between the shared program and a platform, in both directions.
// Each platform implements the first half in the files named for it, and CMake builds the
// target's: platform_windows.cpp, platform_web.cpp, and on Linux platform_linux.cpp with the X
// connection in display_linux.cpp, the menu's font in menu_font_linux.cpp and the screen's scale
// in screen_scale_linux.cpp.
#pragma once

// What main asks of a platform.

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

// Shows the pop-up menu's entries (kMainMenuEntries) the platform's way, opened by the right
// mouse button. Call with the window created.
void AttachMainMenu();

// What a platform may use of the shared program: the menu's table, the callback a choice calls
// with the chosen entry's value, and the window's edge in physical pixels.
#include "menu.h"   // kMainMenuEntries
#include "scene.h"  // MyMainMenu, windowEdgePx
