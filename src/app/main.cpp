// main.cpp: start-up in its fixed order, then the GLUT main loop.
//
// Nothing is drawn and no timer fires before glutMainLoop: the steps below only create, register
// and arm, so the start-up report is complete before the first frame.
#include "console.h"
#include "glut_api.h"
#include "numeric.h"
#include "platform.h"
#include "scene.h"

int main(int argc, char** argv) {
  AttachConsole();

  // GLUT takes its own options (such as -display) out of argv; anything left is ignored.
  glutInit(&argc, argv);
  ConnectDisplay();
  OpenSceneWindow();
  FollowWindow();

  AttachMainMenu();
  glutDisplayFunc(MyDisplay);
  glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);
  RunPrecisionExperiments();

  // On the desktop the loop returns once the window is closed (FLTK's does; freeglut's is told
  // to), and the status says whether every line reached standard output. In the browser it
  // never returns: the page's own loop serves the callbacks for as long as the page is open.
  glutMainLoop();
  return ConsoleExitStatus();
}
