// menu.cpp: the right-button pop-up menu's table and its callback.
//
// The labels are Korean, kept as UTF-8; a platform whose menu takes another encoding converts
// them. The entries' order and values are what decide the behaviour.
#include "menu.h"

#include "glut_api.h"
#include "scene.h"

namespace {

// glutAddMenuEntry takes char* and keeps the pointer for the life of the menu. Each label is
// therefore an array of its own in static storage, handed over as it is: no cast could hide a
// write into read-only text.
char label1[] = "큐브 회전(기준 : 큐브중심,   위치 : (6,0) )";
char label2[] = "큐브 회전(기준:원점,  위치 : 원점)";
char label3[] = "큐브 회전(기준:원점,  회전반지름 : 6.0)";
char label4[] = "큐브 회전(반지름 6.0인 원을 따라 공전 및 자전)";
char label5[] = "큐브 확대/축소(기준 : 원점,   위치 : 원점)";
char label6[] = "큐브 확대/축소(기준 : 큐브중심,   위치 : (5,5))";
char label7[] = "큐브 확대/축소(기준 : 원점,   위치 : (3,3))";
char label8[] = "두개의 큐브(메뉴 1, 3번)";
char label9[] = "두개의 큐브(메뉴 5,6 번)";
char label10[] = "두개의 큐브(메뉴 3번 + 3번 바깥쪽에서 자전 및 공전)";
char label11[] = "두개의 큐브(지구와 달)";

constexpr int kFirstDrawMode = 1;

}  // namespace

const std::array<MenuEntry, kMainMenuEntryCount> kMainMenuEntries = {{
    {label1, 1},
    {label2, 2},
    {label3, 3},
    {label4, 4},
    {label5, 5},
    {label6, 5},
    {label7, 1},
    {label8, 1},
    {label9, 1},
    {label10, 1},
    {label11, 1},
}};

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
