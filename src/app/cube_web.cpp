// cube_web.cpp: the solid cube's faces (browser), which Emscripten's GLUT does not draw: for the
// program's glutSolidCube (platform_web.cpp) and for the learner's calls (learner_calls_web.cpp).
#include "cube_web.h"

namespace {

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

// Every vertex carries its own normal: the GL emulation takes attributes per vertex only.
void DrawCubeFaces(GLdouble size) {
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
