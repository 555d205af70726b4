// cube_web.h: the solid cube's faces, drawn with GL (browser).
#pragma once

#include "glut_api.h"

// The cube's faces, edge size, about the model-view matrix's origin.
void DrawCubeFaces(GLdouble size);
