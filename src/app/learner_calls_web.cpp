// learner_calls_web.cpp: the browser, where the learner's calls take the place of the draw mode's
// placement of the cube. MyDisplay runs as ever; while the calls are in force, frame_record_web's
// wraps keep its placement from GL, and at its glutSolidCube the calls are issued instead, through
// the real GL calls, with the model-view matrix read back from GL after each, so the page shows
// what GL holds, not a restatement. GL guarantees a model-view stack 32 deep, more than a list's
// calls can push.
#include "learner_calls_web.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "cube_web.h"
#include "program_clock_web.h"
#include "scene.h"

// What the page is told when the program changes the run (program_clock_page_web.cpp).
void TellPageRunChanged(const char* change);

extern "C" {
void __real_glLoadIdentity();
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glScalef(GLfloat x, GLfloat y, GLfloat z);
}

namespace {

using call_list::CallKind;

constexpr int kMaxCalls = static_cast<int>(call_list::kMaxCalls);
constexpr GLfloat kAxisLength = 5.0f;  // In the call's own units; as long as the red axes.

// How a call fared on the stack.
enum Mark : int { kMatched, kUnmatched, kOpen };
constexpr const char* kMarkNames[] = {"", "unmatched", "open"};

struct Issued {
  std::array<double, 4> arguments{};  // Resolved, widened exactly.
  int depth = 0;                      // Pushes open after the call.
  int mark = kMatched;
  std::array<GLfloat, 16> matrix{};  // Column-major, as GL holds it after the call.
};

std::optional<std::vector<call_list::Call>> calls;
std::vector<std::string> texts;  // Each call as written, for the page.
int selected = -1;

std::array<Issued, kMaxCalls> issued;
int cubeCall = -1;  // The last glutSolidCube of the frame, whose matrix the panel shows.

GLfloat Resolve(const call_list::Argument& argument) {
  switch (argument.variable) {
    case call_list::Variable::kSpinAngle:
      return spinAngle;
    case call_list::Variable::kScaleFactor:
      return scaleFactor;
    case call_list::Variable::kNone:
      break;
  }
  return argument.value;
}

// Axes one desktop pixel wide (drawing.cpp's rule) as the matrix maps x, y and z: each pass is the
// lines shifted one device pixel along the window's x and along its y, so a line of any slope is
// widened.
void DrawFrameAxes(const GLfloat* matrix) {
  const int passes = std::max(1, (windowEdgePx + kWindowSizePx / 2) / kWindowSizePx);
  for (int pass = 0; pass < passes; ++pass) {
    const GLfloat shift =
        static_cast<GLfloat>(2.0 * static_cast<double>(pass) / static_cast<double>(windowEdgePx));
    for (int along = 0; along < 2; ++along) {
      __real_glLoadIdentity();
      __real_glTranslatef(along == 0 ? shift : 0.0f, along == 1 ? shift : 0.0f, 0.0f);
      glMultMatrixf(matrix);
      glBegin(GL_LINES);
      {
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(kAxisLength, 0.0f, 0.0f);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(0.0f, kAxisLength, 0.0f);
        glVertex3f(0.0f, 0.0f, 0.0f);
        glVertex3f(0.0f, 0.0f, kAxisLength);
      }
      glEnd();
    }
  }
}

}  // namespace

// Hands the frame's record to the page (Module.showFrame) in the record's usual form, with each
// call's text, depth, mark and matrix besides.
EM_JS(void, HandCallsFrameToPage,
      (const char* const* names, const char* const* texts, const double* arguments,
       const int* counts, const int* depths, const char* const* marks, const float* matrices,
       int callCount, int cubeCall, int selectedCall, int drawModeHeld, float spinAngleHeld,
       float scaleFactorHeld, int tick),
      {
        var calls = [];
        for (var i = 0; i < callCount; ++i) {
          var args = [];
          for (var k = 0; k < HEAP32[(counts >> 2) + i]; ++k) {
            args.push(HEAPF64[(arguments >> 3) + 4 * i + k]);
          }
          var m = (matrices >> 2) + 16 * i;
          calls.push({
            name : UTF8ToString(HEAPU32[(names >> 2) + i]),
            floats : true,
            args : args,
            text : UTF8ToString(HEAPU32[(texts >> 2) + i]),
            depth : HEAP32[(depths >> 2) + i],
            mark : UTF8ToString(HEAPU32[(marks >> 2) + i]),
            matrix : Array.from(HEAPF32.subarray(m, m + 16))
          });
        }
        Module["showFrame"]({
          learner : true,
          calls : calls,
          matrix : cubeCall < 0 ? null : calls[cubeCall].matrix,
          selected : selectedCall,
          drawMode : drawModeHeld,
          spinAngle : spinAngleHeld,
          scaleFactor : scaleFactorHeld,
          tick : tick
        });
      });

EM_JS(void, HandCallsReadToPage, (const char* reason, double found, double limit, double position),
      {
        if (Module["callsRead"]) {
          Module["callsRead"](
              {reason : UTF8ToString(reason), found : found, limit : limit, position : position});
        }
      });

EM_JS(void, HandArgumentToPage, (const char* state, double value, const char* text), {
  if (Module["argumentRead"]) {
    Module["argumentRead"]({state : UTF8ToString(state), value : value, text : UTF8ToString(text)});
  }
});

const std::optional<std::vector<call_list::Call>>& LearnerCalls() { return calls; }

void PutLearnerCallsInForce(std::optional<std::vector<call_list::Call>> newCalls) {
  calls = std::move(newCalls);
  texts.clear();
  if (calls) {
    for (const call_list::Call& call : *calls) texts.push_back(call_list::Write({call}));
  }
  if (!calls || selected >= static_cast<int>(calls->size())) selected = -1;
  glutPostRedisplay();
}

void DrawLearnerCalls() {
  int depth = 0;
  std::array<int, kMaxCalls> pushes{};  // The calls whose pushes are open, innermost last.
  cubeCall = -1;
  for (int i = 0; i < static_cast<int>(calls->size()); ++i) {
    const call_list::Call& call = (*calls)[i];
    Issued& record = issued[i];
    record.mark = kMatched;
    std::array<GLfloat, 4> a{};
    for (std::size_t k = 0; k < call.arguments.size(); ++k) {
      a[k] = Resolve(call.arguments[k]);
      record.arguments[k] = static_cast<double>(a[k]);
    }
    switch (call.kind) {
      case CallKind::kLoadIdentity:
        __real_glLoadIdentity();
        break;
      case CallKind::kTranslate:
        __real_glTranslatef(a[0], a[1], a[2]);
        break;
      case CallKind::kRotate:
        __real_glRotatef(a[0], a[1], a[2], a[3]);
        break;
      case CallKind::kScale:
        __real_glScalef(a[0], a[1], a[2]);
        break;
      case CallKind::kPushMatrix:
        glPushMatrix();
        pushes[depth++] = i;
        break;
      case CallKind::kPopMatrix:
        if (depth == 0) {
          record.mark = kUnmatched;
        } else {
          glPopMatrix();
          --depth;
        }
        break;
      case CallKind::kSolidCube:
        DrawCubeFaces(static_cast<GLdouble>(a[0]));
        cubeCall = i;
        break;
    }
    record.depth = depth;
    glGetFloatv(GL_MODELVIEW_MATRIX, record.matrix.data());
  }
  for (int open = 0; open < depth; ++open) issued[pushes[open]].mark = kOpen;
  if (selected >= 0) {
    glColor3f(0.0f, 0.0f, 1.0f);
    DrawFrameAxes(issued[selected].matrix.data());
    glColor3f(1.0f, 0.0f, 0.0f);
  }
  while (depth-- > 0) glPopMatrix();
}

void HandLearnerFrameToPage() {
  std::array<const char*, kMaxCalls> names{};
  std::array<const char*, kMaxCalls> callTexts{};
  std::array<const char*, kMaxCalls> marks{};
  std::array<int, kMaxCalls> counts{};
  std::array<int, kMaxCalls> depths{};
  std::array<double, 4 * kMaxCalls> arguments{};
  std::array<GLfloat, 16 * kMaxCalls> matrices{};
  const int count = static_cast<int>(calls->size());
  for (int i = 0; i < count; ++i) {
    const call_list::Call& call = (*calls)[i];
    names[i] = call_list::CallName(call.kind);
    callTexts[i] = texts[i].c_str();
    marks[i] = kMarkNames[issued[i].mark];
    counts[i] = static_cast<int>(call.arguments.size());
    depths[i] = issued[i].depth;
    std::copy(issued[i].arguments.begin(), issued[i].arguments.end(), &arguments[4 * i]);
    std::copy(issued[i].matrix.begin(), issued[i].matrix.end(), &matrices[16 * i]);
  }
  HandCallsFrameToPage(names.data(), callTexts.data(), arguments.data(), counts.data(),
                       depths.data(), marks.data(), matrices.data(), count, cubeCall, selected,
                       drawMode, spinAngle, scaleFactor, static_cast<int>(program_clock::Tick()));
}

extern "C" {

// 1: the calls are in force and drawn; 0: refused, the program draws as it did. The page is
// handed the reading either way (reason "" when read).
EMSCRIPTEN_KEEPALIVE int SetLearnerCalls(const char* text) {
  const call_list::Reading reading = call_list::Read(text ? std::string_view(text) : "");
  HandCallsReadToPage(call_list::ReasonName(reading.reason), static_cast<double>(reading.found),
                      static_cast<double>(reading.limit), static_cast<double>(reading.position));
  if (reading.reason != call_list::Reason::kNone) return 0;
  PutLearnerCallsInForce(reading.calls);
  TellPageRunChanged("calls");
  return 1;
}

EMSCRIPTEN_KEEPALIVE void LeaveLearnerCalls() {
  PutLearnerCallsInForce(std::nullopt);
  TellPageRunChanged("calls");
}

// Hands the page the argument's reading: its state, the float (a variable's value now) and the
// float as written, "" unless read.
EMSCRIPTEN_KEEPALIVE int CheckArgument(const char* text) {
  const call_list::ArgumentReading reading =
      call_list::ReadArgument(text ? std::string_view(text) : "");
  const bool ok = reading.state == call_list::ArgumentState::kOk;
  const std::string written = ok ? call_list::WriteArgument(reading.argument) : "";
  HandArgumentToPage(call_list::ArgumentStateName(reading.state),
                     ok ? static_cast<double>(Resolve(reading.argument)) : 0.0, written.c_str());
  return ok ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* ModeCalls(int mode) { return call_list::ModeCalls(mode); }

// The call whose axes are drawn in blue; -1, or any index not in the list, for none.
EMSCRIPTEN_KEEPALIVE void SelectCall(int index) {
  selected = calls && index >= 0 && index < static_cast<int>(calls->size()) ? index : -1;
  glutPostRedisplay();
}

}  // extern "C"
