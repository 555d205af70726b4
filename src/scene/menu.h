// menu.h: the pop-up menu's entries, one table for every platform. Each platform shows it its own
// way (src/app/platform_*.cpp); choosing an entry calls MyMainMenu with the entry's value.
#pragma once

#include <array>

struct MenuEntry {
  char* label;  // UTF-8. Writable and static, since GLUT's glutAddMenuEntry takes char*.
  int value;    // Passed to MyMainMenu when the entry is chosen.
};
constexpr int kMainMenuEntryCount = 11;
// The entries in menu order. Several labels name scenes that are not drawn; each entry does what
// its value selects: entries 5 and 6 start the scale animation, entries 7 to 11 act as entry 1.
extern const std::array<MenuEntry, kMainMenuEntryCount> kMainMenuEntries;
