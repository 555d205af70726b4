// menu_font_linux.h: the font FLTK draws the menu's Korean labels with (Linux).
#pragma once

#include <string>

// The installed font family that covers every character of every label: NanumGothic when
// installed, else another of the Korean families we know, else any; empty when none covers them.
std::string FindMenuFontFamily();
// Gives the menu the family FindMenuFontFamily finds; without one, says so in one line on
// standard error. Call before the menu first opens.
void UseMenuFont();
// Arranges for one UseMenuFont call, made by the first UseDeferredMenuFont or, at the latest, in
// FLTK's loop once it has drawn the program's window (just shown) for the first time.
void DeferMenuFont();
// Makes the call DeferMenuFont arranged, unless it has been made.
void UseDeferredMenuFont();
