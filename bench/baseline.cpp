// baseline.cpp: the smallest GLUT program that shows what sample-drawing shows at start: the same
// 300 x 300 single-buffered window, the same first frame and the same 100 ms rotation timer, and
// nothing else. The benchmark measures sample-drawing against it.
#include <GL/glut.h>

namespace {

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

}  // namespace

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB);
  glutInitWindowSize(300, 300);
  glutInitWindowPosition(0, 0);
  glutCreateWindow("Baseline");
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
  glutDisplayFunc(Display);
  glutTimerFunc(100, Rotate, 0);
  glutMainLoop();
  return 0;
}
