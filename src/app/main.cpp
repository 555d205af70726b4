// main.cpp: start-up in its fixed order, then the GLUT main loop.
//
// Nothing is drawn and no timer fires before glutMainLoop: the steps below only create, register
// and arm, so the start-up report is complete before the first frame.
#include <FL/glut.H>

#include <cstdio>

#include "numeric.h"
#include "scene.h"

namespace {

constexpr char kWindowTitle[] = "Sample Drawing";

}  // namespace

int main(int argc, char** argv) {
  // There is no console to allocate here: standard output stays where the user put it (terminal,
  // pipe or file). Line-buffered, so a piped trace arrives line by line as it is printed.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);

  // GLUT takes its own options (such as -display) out of argv; anything left is ignored.
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB);
  glutInitWindowSize(kWindowSizePx, kWindowSizePx);
  glutInitWindowPosition(0, 0);
  glutCreateWindow(kWindowTitle);
  SetUpFixedView();

  UseMenuFont();
  CreateMainMenu();
  glutDisplayFunc(MyDisplay);
  glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);
  RunPrecisionExperiments();

  glutMainLoop();
  return 0;
}
