// menu_probe.cpp: the program's window and pop-up menu found and driven as the tests do it
// (app_probe), for the picture scripts, so that they work out no window or menu geometry of their
// own.
//
//   menu_probe DISPLAY window           waits for the program's window; prints its id and "X Y"
//                                       of its top-left inside corner on the screen
//   menu_probe DISPLAY choose ENTRY     chooses entry ENTRY (1 to 11) as a user does: a right
//                                       press in the window, a move onto the entry, the release
//   menu_probe DISPLAY show ENTRY X Y   opens the menu with a right click at (X, Y) in the window
//                                       and points at ENTRY until it shows highlighted; leaves the
//                                       menu open and prints "X Y WIDTH HEIGHT" of it on the screen
//   menu_probe DISPLAY menu             waits for an open menu, the program's own or Windows' under
//                                       Wine; prints "X Y WIDTH HEIGHT" of it on the screen
//   menu_probe DISPLAY close            closes the open menu with Escape
//
// Exits 0 when done, 1 with what went wrong on standard error, 2 on a wrong command line.
#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app_probe.h"
#include "program_facts.h"
#include "x_harness.h"

namespace {

constexpr xharness::milliseconds kTimeout(10000);

int Fail(const std::string& what) {
  std::fprintf(stderr, "menu_probe: %s\n", what.c_str());
  return 1;
}

// The program's window once viewable; 0 if it did not come.
Window ProgramWindow(Display* display) {
  const Window window = xharness::WaitForWindow(display, facts::kWindowTitle, kTimeout);
  if (window == 0 || !xharness::WaitWindowViewable(display, window, kTimeout)) return 0;
  return window;
}

int Run(Display* display, const std::string& command, int argc, char** argv) {
  const Window window = ProgramWindow(display);
  if (window == 0) return Fail(std::string("no window \"") + facts::kWindowTitle + "\"");
  if (command == "window" && argc == 3) {
    const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, window);
    if (!box) return Fail("the window is gone");
    std::printf("0x%lx %d %d\n", window, box->x, box->y);
    return 0;
  }
  if (command == "choose" && argc == 4) {
    const std::string failure =
        appprobe::ChooseMenuEntry(display, window, std::atoi(argv[3]), kTimeout);
    return failure.empty() ? 0 : Fail(failure);
  }
  if (command == "show" && argc == 6) {
    const Window menu = appprobe::OpenMenuByClick(display, window, kTimeout, std::atoi(argv[4]),
                                                  std::atoi(argv[5]));
    if (menu == 0) return Fail("the menu did not open");
    const std::string failure = appprobe::PointAtEntry(display, menu, std::atoi(argv[3]), kTimeout);
    if (!failure.empty()) return Fail(failure);
    const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
    if (!box) return Fail("the menu closed");
    std::printf("%d %d %d %d\n", box->x, box->y, box->width, box->height);
    return 0;
  }
  if (command == "menu" && argc == 3) {
    Window menu = 0;
    xharness::WaitUntil([&] { return (menu = appprobe::FindOpenMenu(display)) != 0; }, kTimeout);
    const std::optional<xharness::WindowGeometry> box =
        menu != 0 ? xharness::GetGeometry(display, menu) : std::nullopt;
    if (!box) return Fail("no menu is open");
    std::printf("%d %d %d %d\n", box->x, box->y, box->width, box->height);
    return 0;
  }
  if (command == "close" && argc == 3) {
    if (appprobe::FindOpenMenu(display) == 0) return Fail("no menu is open");
    xharness::TypeKey(display, XK_Escape);
    const bool closed =
        xharness::WaitUntil([&] { return appprobe::FindOpenMenu(display) == 0; }, kTimeout);
    return closed ? 0 : Fail("Escape did not close the menu");
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 2 ? argv[2] : "";
  int status = 2;
  if (argc > 2) {
    const xharness::DisplayPtr display(XOpenDisplay(argv[1]));
    if (!display) return Fail(std::string("cannot open display ") + argv[1]);
    status = Run(display.get(), command, argc, argv);
  }
  if (status == 2) {
    std::fprintf(stderr,
                 "usage: %s DISPLAY window | choose ENTRY | show ENTRY X Y | menu | close\n",
                 argc > 0 ? argv[0] : "menu_probe");
  }
  return status;
}
