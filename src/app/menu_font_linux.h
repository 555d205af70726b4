// menu_font_linux.h: the font FLTK draws the menu's Korean labels with (Linux).
#pragma once

#include <string>

// The installed font family that covers every character of every label: NanumGothic when
// installed, else another of the Korean families we know, else any; empty when none covers them.
std::string FindMenuFontFamily();
// Gives the menu the family FindMenuFontFamily finds; without one, says so in one line on
// standard error. Call before the menu is built.
void UseMenuFont();
