// main.cpp: start-up in its fixed order, then the GLUT main loop.
//
// Nothing is drawn and no timer fires before glutMainLoop: the steps below only create, register
// and arm, so the start-up report is complete before the first frame.
#include "glut_api.h"
#include "numeric.h"
#include "platform.h"
#include "scene.h"

namespace {

constexpr char kWindowTitle[] = "Sample Drawing";

}  // namespace

int main(int argc, char** argv) {
  AttachConsole();

  // GLUT takes its own options (such as -display) out of argv; anything left is ignored.
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB);
  glutInitWindowSize(kWindowSizePx, kWindowSizePx);
  glutInitWindowPosition(0, 0);
  glutCreateWindow(kWindowTitle);
  SetUpFixedView();

  AttachMainMenu();
  glutDisplayFunc(MyDisplay);
  glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);
  RunPrecisionExperiments();

  // Returns once the window is closed (FLTK's loop does; freeglut's is told to).
  glutMainLoop();
  return ConsoleExitStatus();
}
