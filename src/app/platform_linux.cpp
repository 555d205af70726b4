// platform_linux.cpp: Linux, where the process has no console to allocate and the GLUT layer is
// FLTK's, whose menus draw the Korean labels with an installed font.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "glut_api.h"
#include "menu_font_linux.h"
#include "platform.h"

namespace {

constexpr int kLastStandardFd = 2;  // Standard input, output and error: 0, 1 and 2.

// GLUT calls it as the menu opens and as it closes.
void UseMenuFontAsMenuOpens(int status, int /*x*/, int /*y*/) {
  if (status == GLUT_MENU_IN_USE) UseDeferredMenuFont();
}

}  // namespace

void AttachConsole() {
  // Standard output stays where the user put it: the terminal, a pipe or a file. A standard
  // descriptor that was closed is reopened on /dev/null, since the next file or connection
  // opened would take its number, and the report would go into it (into the X connection,
  // which then hangs). open() takes the lowest free number, which is the closed one.
  for (int fd = 0; fd <= kLastStandardFd; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", O_RDWR);
    }
  }
}

// FLTK's loop returns by itself once the window is closed (or Escape is pressed), and FLTK 1.3
// draws at one scale, so there is nothing to follow.
void FollowWindow() {}

void AttachMainMenu() {
  // The font is looked up after the first frame, or as the menu opens if that comes first.
  DeferMenuFont();
  glutMenuStatusFunc(UseMenuFontAsMenuOpens);
  // glutAddMenuEntry keeps the label's pointer for the life of the menu; the table's are static.
  glutCreateMenu(MyMainMenu);
  for (const MenuEntry& entry : kMainMenuEntries) {
    glutAddMenuEntry(entry.label, entry.value);
  }
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}
