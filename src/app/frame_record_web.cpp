// frame_record_web.cpp: the browser, where the page shows what each frame did: the model-view
// calls MyDisplay made, with their arguments as passed, the matrix GL held when the cube was drawn,
// and the scene variables the frame read, with the program's tick it was drawn at.
//
// The calls are caught on their way to GL, not restated: the web build links with
// --wrap=glLoadIdentity and the others below, so drawing.cpp's calls come here first and go on to
// GL unchanged. A frame is handed to the page once, when MyDisplay flushes it; the flush itself
// goes no further, as the browser sends a frame's commands when the frame's task ends. While the
// learner's calls are in force, MyDisplay's placement goes no further either
// (learner_calls_web.cpp places the cube).
#include "frame_record_web.h"

#include <emscripten.h>

#include <array>
#include <initializer_list>

#include "learner_calls_web.h"
#include "program_clock_web.h"
#include "scene.h"

namespace {

// The calls a frame can make on the model-view matrix, named for the page here and nowhere else.
enum CallKind : int { kLoadIdentity, kTranslate, kRotate, kScale, kSolidCube };

struct CallKindName {
  const char* name;
  bool takesFloats;  // glutSolidCube's edge is a double; the others take floats
};

constexpr CallKindName kCallKinds[] = {
    {"glLoadIdentity", true}, {"glTranslatef", true},   {"glRotatef", true},
    {"glScalef", true},       {"glutSolidCube", false},
};

struct Call {
  int kind;
  int argumentCount;
  std::array<double, 4> arguments;  // floats widened exactly; the cube's edge is a double
};

// MyDisplay makes at most seven model-view calls; the bound is only a guard against a frame that
// never flushes.
constexpr int kMaxCalls = 16;

struct Frame {
  std::array<Call, kMaxCalls> calls;
  int callCount = 0;
  std::array<GLfloat, 16> matrix{};  // column-major, as GL gives it
  bool hasMatrix = false;
};

Frame frame;

// A float argument as the page receives it: widened, which is exact.
double Wide(GLfloat value) { return static_cast<double>(value); }

void Record(int kind, std::initializer_list<double> arguments) {
  if (frame.callCount == kMaxCalls) return;
  Call& call = frame.calls[frame.callCount++];
  call.kind = kind;
  call.argumentCount = static_cast<int>(arguments.size());
  int k = 0;
  for (double argument : arguments) call.arguments[k++] = argument;
}

}  // namespace

// Hands one frame to the page (web/start.js defines Module.showFrame): each call as its name,
// whether its arguments are floats, and the arguments. Floats go widened, which is exact, so the
// page shows exactly what was held. The tick is the one the page's clock line shows.
EM_JS(void, HandFrameToPage,
      (const char* const* names, const int* floats, const double* arguments, const int* counts,
       int callCount, const float* matrix, int drawModeHeld, float spinAngleHeld,
       float scaleFactorHeld, int tick),
      {
        var calls = [];
        for (var i = 0; i < callCount; ++i) {
          var args = [];
          for (var k = 0; k < HEAP32[(counts >> 2) + i]; ++k) {
            args.push(HEAPF64[(arguments >> 3) + 4 * i + k]);
          }
          calls.push({
            name : UTF8ToString(HEAPU32[(names >> 2) + i]),
            floats : HEAP32[(floats >> 2) + i] > 0,
            args : args
          });
        }
        var m = matrix ? Array.from(HEAPF32.subarray(matrix >> 2, (matrix >> 2) + 16)) : null;
        Module["showFrame"]({
          calls : calls,
          matrix : m,
          drawMode : drawModeHeld,
          spinAngle : spinAngleHeld,
          scaleFactor : scaleFactorHeld,
          tick : tick
        });
      });

extern "C" {

void __real_glLoadIdentity();
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glScalef(GLfloat x, GLfloat y, GLfloat z);

// MyDisplay loads the identity once per frame, on the model-view matrix: a frame's record starts.
void __wrap_glLoadIdentity() {
  frame.callCount = 0;
  frame.hasMatrix = false;
  Record(kLoadIdentity, {});
  __real_glLoadIdentity();
}

void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  if (LearnerCalls()) return;
  Record(kTranslate, {Wide(x), Wide(y), Wide(z)});
  __real_glTranslatef(x, y, z);
}

void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  if (LearnerCalls()) return;
  Record(kRotate, {Wide(angle), Wide(x), Wide(y), Wide(z)});
  __real_glRotatef(angle, x, y, z);
}

void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
  if (LearnerCalls()) return;
  Record(kScale, {Wide(x), Wide(y), Wide(z)});
  __real_glScalef(x, y, z);
}

// WebGL's flush would send the commands to the GPU process ahead of the end of the animation
// frame, an extra round for it each tick (about a tenth of the page's CPU where it composites).
void __wrap_glFlush() {
  if (LearnerCalls()) {
    HandLearnerFrameToPage();
    return;
  }
  std::array<const char*, kMaxCalls> names{};
  std::array<int, kMaxCalls> floats{};
  std::array<int, kMaxCalls> counts{};
  std::array<double, 4 * kMaxCalls> arguments{};
  for (int i = 0; i < frame.callCount; ++i) {
    names[i] = kCallKinds[frame.calls[i].kind].name;
    floats[i] = kCallKinds[frame.calls[i].kind].takesFloats ? 1 : 0;
    counts[i] = frame.calls[i].argumentCount;
    for (int k = 0; k < 4; ++k) arguments[4 * i + k] = frame.calls[i].arguments[k];
  }
  HandFrameToPage(names.data(), floats.data(), arguments.data(), counts.data(), frame.callCount,
                  frame.hasMatrix ? frame.matrix.data() : nullptr, drawMode, spinAngle, scaleFactor,
                  static_cast<int>(program_clock::Tick()));
}

}  // extern "C"

void RecordCube(GLdouble size) {
  Record(kSolidCube, {size});
  glGetFloatv(GL_MODELVIEW_MATRIX, frame.matrix.data());
  frame.hasMatrix = true;
}
