// baseline.cpp: the smallest freeglut program that shows what sample-drawing shows at start: the
// same 300 x 300 single-buffered window, the same first frame and the same 100 ms rotation timer.
// With --menu it also has sample-drawing's eleven-entry pop-up menu on the right button; choosing
// an entry prints "menu <value>" and does nothing else. The benchmark measures sample-drawing
// against both forms.
#include <GL/glut.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kMenuOption[] = "--menu";

// sample-drawing's labels and values, in its order: the menu's cost depends on the labels' bytes
// and the number of entries, not on what the entries do. Copied rather than shared, so that the
// baseline links nothing of sample-drawing's own.
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

struct MenuEntry {
  char* label;
  int value;
};

const MenuEntry kMenuEntries[] = {
    {label1, 1}, {label2, 2}, {label3, 3}, {label4, 4},  {label5, 5},  {label6, 5},
    {label7, 1}, {label8, 1}, {label9, 1}, {label10, 1}, {label11, 1},
};

float angleDeg = 0.0f;

void Display() {
  glClear(GL_COLOR_BUFFER_BIT);
  glViewport(0, 0, 300, 300);
  glColor3f(1.0f, 0.0f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_LINES);
  {
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(5.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glVertex3f(0.0f, 5.0f, 0.0f);
  }
  glEnd();
  glTranslatef(0.6f, 0.0f, 0.0f);
  glRotatef(angleDeg, 0.0f, 0.0f, 1.0f);
  glutSolidCube(0.3);
  glFlush();
}

void Rotate(int value) {
  angleDeg = angleDeg + 2.0f;
  glutPostRedisplay();
  glutTimerFunc(100, Rotate, value);
}

// The one line lets the benchmark tell a chosen entry from a menu closed without a choice.
void Menu(int value) { std::printf("menu %d\n", value); }

void CreateMenu() {
  glutCreateMenu(Menu);
  for (const MenuEntry& entry : kMenuEntries) {
    glutAddMenuEntry(entry.label, entry.value);
  }
  glutAttachMenu(GLUT_RIGHT_BUTTON);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  // freeglut takes its own options out of argv and leaves the others.
  glutInit(&argc, argv);
  bool withMenu = false;
  for (int i = 1; i < argc; ++i) withMenu = withMenu || std::strcmp(argv[i], kMenuOption) == 0;
  glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB);
  glutInitWindowSize(300, 300);
  glutInitWindowPosition(0, 0);
  glutCreateWindow("Baseline");
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
  // Where sample-drawing creates its menu: after the window, before the main loop.
  if (withMenu) CreateMenu();
  glutDisplayFunc(Display);
  glutTimerFunc(100, Rotate, 0);
  glutMainLoop();
  return 0;
}
