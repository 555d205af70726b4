// menu.cpp: the right-button pop-up menu and its callback.
//
// The labels are Korean and handed to GLUT as UTF-8, this platform's encoding. The menu's
// built-in bitmap fonts cover Latin-1 only, so the Hangul shows as unreadable glyphs; the
// entries' order and values are what decide the behaviour.
#include <GL/glut.h>

#include "scene.h"

namespace {

struct MenuEntry {
  const char* label;
  int value;
};

// Several labels name scenes that are not drawn; each entry does what its value selects.
// Entries 5 and 6 both start the scale animation, and entries 7 to 11 all act as entry 1.
constexpr MenuEntry kMainMenuEntries[] = {
    {"큐브 회전(기준 : 큐브중심,   위치 : (6,0) )", 1},
    {"큐브 회전(기준:원점,  위치 : 원점)", 2},
    {"큐브 회전(기준:원점,  회전반지름 : 6.0)", 3},
    {"큐브 회전(반지름 6.0인 원을 따라 공전 및 자전)", 4},
    {"큐브 확대/축소(기준 : 원점,   위치 : 원점)", 5},
    {"큐브 확대/축소(기준 : 큐브중심,   위치 : (5,5))", 5},
    {"큐브 확대/축소(기준 : 원점,   위치 : (3,3))", 1},
    {"두개의 큐브(메뉴 1, 3번)", 1},
    {"두개의 큐브(메뉴 5,6 번)", 1},
    {"두개의 큐브(메뉴 3번 + 3번 바깥쪽에서 자전 및 공전)", 1},
    {"두개의 큐브(지구와 달)", 1},
};

constexpr int kFirstDrawMode = 1;
constexpr int kScaleDrawMode = 5;  // Also the last draw mode.

}  // namespace

void CreateMainMenu() {
  glutCreateMenu(MyMainMenu);
  for (const MenuEntry& entry : kMainMenuEntries) {
    glutAddMenuEntry(entry.label, entry.value);
  }
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

void MyMainMenu(int value) {
  // The menu passes only 1 to 5; anything else leaves the draw mode as it is.
  if (value >= kFirstDrawMode && value <= kScaleDrawMode) {
    drawMode = value;
  }
  if (value == kScaleDrawMode) {
    glutTimerFunc(kTickMs, MyTimer, kScaleTimerValue);
  }
  glutPostRedisplay();
}
