// learner_calls_web.h: the learner's calls drawn in place of the draw mode's own (browser).
#pragma once

#include <optional>
#include <vector>

#include "call_list.h"
#include "glut_api.h"

// The calls in force, or none while the program draws the draw mode's own.
const std::optional<std::vector<call_list::Call>>& LearnerCalls();
// Puts the calls in force (none: the draw mode's own again) and asks for a redraw.
void PutLearnerCallsInForce(std::optional<std::vector<call_list::Call>> calls);
// At the cube's draw call: issues the calls to GL, each read back, draws a cube for each
// glutSolidCube and the selected call's axes, and closes what the calls left pushed.
void DrawLearnerCalls();
// At the frame's flush: hands the page the calls' record of the frame.
void HandLearnerFrameToPage();
