// drawing.cpp: the window with its fixed view, set up once at start-up, and the display callback:
// the scene's only GL calls.
//
// The projection is set once and never touched again; each frame works on the model-view matrix
// only and resets it. The axes keep the width they have in the usual 300-pixel window, one pixel
// of its 300, in a window of any density, whatever line widths GL allows.
#include <algorithm>

#include "glut_api.h"
#include "scene.h"

namespace {

constexpr GLfloat kAxisLength = 5.0f;  // Reaches past the view's edge, where it is clipped.
constexpr GLfloat kOrbitX = 0.6f;      // Offset of the cube in draw modes 1, 3 and 4.
constexpr GLdouble kCubeEdge = 0.3;

// Lines of width 1 (often the only width WebGL offers), drawn once for each device pixel the
// axes are wide, each pass one device pixel further into the first quadrant: round(edge / 300)
// passes, so the usual window gets exactly one, at the axes themselves.
void DrawAxes() {
  const int passes = std::max(1, (windowEdgePx + kWindowSizePx / 2) / kWindowSizePx);
  for (int pass = 0; pass < passes; ++pass) {
    // Pixels to view units: the view's 2 units span windowEdgePx pixels.
    const GLfloat shift =
        static_cast<GLfloat>(2.0 * static_cast<double>(pass) / static_cast<double>(windowEdgePx));
    glBegin(GL_LINES);
    {
      glVertex3f(0.0f, shift, 0.0f);
      glVertex3f(kAxisLength, shift, 0.0f);
      glVertex3f(shift, 0.0f, 0.0f);
      glVertex3f(shift, kAxisLength, 0.0f);
    }
    glEnd();
  }
}

void SpinAboutZ() { glRotatef(spinAngle, 0.0f, 0.0f, 1.0f); }

// Applies the transformation of the current draw mode. Modes 1 and 4 spin the cube about its own
// centre: move the pivot to the origin, turn, move it back. The -0.6 and +0.6 that then follow
// each other are both issued as written; they cancel up to single-precision rounding.
void PlaceCube() {
  switch (drawMode) {
    case 1:
      glTranslatef(kOrbitX, 0.0f, 0.0f);
      SpinAboutZ();
      glTranslatef(-kOrbitX, 0.0f, 0.0f);
      glTranslatef(kOrbitX, 0.0f, 0.0f);
      break;
    case 2:
      SpinAboutZ();
      break;
    case 3:
      SpinAboutZ();
      glTranslatef(kOrbitX, 0.0f, 0.0f);
      break;
    case 4:
      SpinAboutZ();
      glTranslatef(kOrbitX, 0.0f, 0.0f);
      SpinAboutZ();
      glTranslatef(-kOrbitX, 0.0f, 0.0f);
      glTranslatef(kOrbitX, 0.0f, 0.0f);
      break;
    case 5:
      glScalef(scaleFactor, scaleFactor, scaleFactor);
      SpinAboutZ();
      break;
    default:  // MyMainMenu sets only 1 to 5.
      break;
  }
}

}  // namespace

void OpenSceneWindow() {
  glutInitDisplayMode(GLUT_SINGLE | GLUT_RGB);
  glutInitWindowSize(windowEdgePx, windowEdgePx);
  glutInitWindowPosition(0, 0);
  glutCreateWindow(kWindowTitle);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
}

void MyDisplay() {
  glClear(GL_COLOR_BUFFER_BIT);
  // Fixed at the lower-left corner, so resizing the window neither moves nor stretches the scene.
  glViewport(0, 0, windowEdgePx, windowEdgePx);
  glColor3f(1.0f, 0.0f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  DrawAxes();
  PlaceCube();
  glutSolidCube(kCubeEdge);
  glFlush();
}
