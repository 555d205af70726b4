// platform_web.cpp: the browser, where the page is the console and draws the menu. Emscripten's
// GLUT has no menus and no solid cube; this file supplies those four calls and nothing more.
//
// The menu is recorded as GLUT is given it and handed to the page, which shows it as an HTML menu
// on right-click (its fonts have Hangul) and calls back with the chosen entry's value.
#include <emscripten.h>

#include <vector>

#include "glut_api.h"
#include "platform.h"
#include "scene.h"

namespace {

void (*menuCallback)(int) = nullptr;
std::vector<const char*> menuLabels;  // UTF-8, kept by the caller for the life of the menu.
std::vector<int> menuValues;

// One face of the cube: its outward normal and two edge directions u, v with u x v = normal, so
// that the corners normal + s u + t v, (s, t) going round (-1, -1), (1, -1), (1, 1), (-1, 1), run
// counter-clockwise seen from outside.
struct CubeFace {
  GLfloat normal[3];
  GLfloat u[3];
  GLfloat v[3];
};

constexpr CubeFace kCubeFaces[] = {
    {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
    {{-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f}},
    {{0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}},
    {{0.0f, -1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
    {{0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}},
    {{0.0f, 0.0f, -1.0f}, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
};
constexpr GLfloat kCornerSigns[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};

}  // namespace

// Gives the page the entries in order; the page (web/index.html) defines Module.attachMenu.
EM_JS(void, HandMenuToPage, (const char* const* labels, const int* values, int count), {
  var entries = [];
  for (var i = 0; i < count; ++i) {
    entries.push(
        {label : UTF8ToString(HEAPU32[(labels >> 2) + i]), value : HEAP32[(values >> 2) + i]});
  }
  Module["attachMenu"](entries);
});

// The page's call when an entry is chosen.
extern "C" EMSCRIPTEN_KEEPALIVE void ChooseMenuEntry(int value) {
  if (menuCallback != nullptr) {
    menuCallback(value);
  }
}

int glutCreateMenu(void (*callback)(int)) {
  menuCallback = callback;
  menuLabels.clear();
  menuValues.clear();
  return 1;
}

void glutAddMenuEntry(const char* label, int value) {
  menuLabels.push_back(label);
  menuValues.push_back(value);
}

// The page opens the menu on the right button (a long press on a touch screen), the only button
// the program attaches a menu to.
void glutAttachMenu(int /*button*/) {
  HandMenuToPage(menuLabels.data(), menuValues.data(), static_cast<int>(menuValues.size()));
}

// Every vertex carries its own normal: the GL emulation takes attributes per vertex only.
void glutSolidCube(GLdouble size) {
  const GLfloat half = static_cast<GLfloat>(size / 2.0);
  glBegin(GL_QUADS);
  for (const CubeFace& face : kCubeFaces) {
    for (const auto& sign : kCornerSigns) {
      GLfloat corner[3];
      for (int k = 0; k < 3; ++k) {
        corner[k] = half * (face.normal[k] + sign[0] * face.u[k] + sign[1] * face.v[k]);
      }
      glNormal3f(face.normal[0], face.normal[1], face.normal[2]);
      glVertex3f(corner[0], corner[1], corner[2]);
    }
  }
  glEnd();
}

// The page keeps standard output: Emscripten's print gives it each line.
void AttachConsole() {}

void AttachMainMenu() { CreateMainMenu(); }
