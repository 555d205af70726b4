// menu_font_linux.cpp: the font the pop-up menu draws its Korean labels with (Linux).
//
// FLTK draws a label in one font, with no fallback per character, and its default sans face
// usually has no Hangul; so the menu gets an installed family, found through fontconfig, that
// covers every character of every label. Reading every font's character set takes milliseconds
// the first frame does not need: the look-up waits for that frame, or for the menu if it opens
// sooner, which is early enough, since FLTK measures and draws the labels only as the menu opens.
#include "menu_font_linux.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Window.H>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "menu.h"

namespace {

// Tried in this order; after them, any other family that covers the labels, alphabetically.
constexpr const char* kPreferredFamilies[] = {"NanumGothic", "Noto Sans CJK KR", "UnDotum"};
// The Debian package that brings the first of them.
constexpr char kFontPackage[] = "fonts-nanum";
// FLTK's Xft font names start with a style letter; a blank is the plain style.
constexpr char kPlainStyle[] = " ";

struct FontconfigDeleter {
  void operator()(FcCharSet* chars) const { FcCharSetDestroy(chars); }
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
  void operator()(FcObjectSet* objects) const { FcObjectSetDestroy(objects); }
  void operator()(FcFontSet* fonts) const { FcFontSetDestroy(fonts); }
};
template <typename T>
using FcPtr = std::unique_ptr<T, FontconfigDeleter>;

// Fl::set_font keeps the pointer it is given, so the name lives as long as the process.
std::string menuFontName;
bool menuFontDeferred = false;

// Every character of every label, as Unicode code points.
FcPtr<FcCharSet> LabelCharacters() {
  FcPtr<FcCharSet> characters(FcCharSetCreate());
  for (const MenuEntry& entry : kMainMenuEntries) {
    const std::string label = entry.label;
    const auto* next = reinterpret_cast<const FcChar8*>(label.data());
    int bytesLeft = static_cast<int>(label.size());
    FcChar32 character = 0;
    int length = 0;
    while (bytesLeft > 0 && (length = FcUtf8ToUcs4(next, &character, bytesLeft)) > 0) {
      FcCharSetAddChar(characters.get(), character);
      next += length;
      bytesLeft -= length;
    }
  }
  return characters;
}

// An FLTK check: FLTK runs it before each redraw of its loop, after the timeouts. The GLUT
// window is created invalid and marks itself valid as it first draws, so the first check that
// finds it valid comes after the first frame.
void UseMenuFontOnceDrawn(void* window) {
  if (!static_cast<Fl_Gl_Window*>(window)->valid()) return;
  Fl::remove_check(UseMenuFontOnceDrawn, window);
  UseDeferredMenuFont();
}

}  // namespace

std::string FindMenuFontFamily() {
  const FcPtr<FcCharSet> needed = LabelCharacters();
  const FcPtr<FcPattern> anyFont(FcPatternCreate());
  const FcPtr<FcObjectSet> fields(FcObjectSetBuild(FC_FAMILY, FC_CHARSET, nullptr));
  const FcPtr<FcFontSet> fonts(FcFontList(nullptr, anyFont.get(), fields.get()));
  std::set<std::string> covering;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcCharSet* has = nullptr;
    if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &has) != FcResultMatch ||
        !FcCharSetIsSubset(needed.get(), has)) {
      continue;
    }
    // A family may go by several names, an English one and a localised one among them.
    FcChar8* family = nullptr;
    for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &family) == FcResultMatch;
         ++k) {
      covering.insert(reinterpret_cast<const char*>(family));
    }
  }
  for (const char* preferred : kPreferredFamilies) {
    if (covering.count(preferred) != 0) return preferred;
  }
  return covering.empty() ? std::string() : *covering.begin();
}

void UseMenuFont() {
  const std::string family = FindMenuFontFamily();
  if (family.empty()) {
    std::fprintf(stderr,
                 "sample-drawing: no installed font has every character of the menu's Korean "
                 "labels, so they show as boxes; install the package %s\n",
                 kFontPackage);
    return;
  }
  // The menu's labels use FLTK's default face, FL_HELVETICA, and so does nothing else here.
  menuFontName = kPlainStyle + family;
  Fl::set_font(FL_HELVETICA, menuFontName.c_str());
}

void DeferMenuFont() {
  menuFontDeferred = true;
  Fl_Window* shown = Fl::first_window();
  Fl_Gl_Window* window = shown != nullptr ? shown->as_gl_window() : nullptr;
  // Without a GL window to wait for, the call waits for the menu.
  if (window != nullptr) Fl::add_check(UseMenuFontOnceDrawn, window);
}

void UseDeferredMenuFont() {
  if (!menuFontDeferred) return;
  menuFontDeferred = false;
  UseMenuFont();
}
