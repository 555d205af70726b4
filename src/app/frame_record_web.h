// frame_record_web.h: what the browser's glutSolidCube tells the record of the frame (browser).
#pragma once

#include "glut_api.h"

// Records the cube's draw call and the model-view matrix GL holds as it is drawn.
void RecordCube(GLdouble size);
