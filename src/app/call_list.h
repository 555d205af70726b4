// call_list.h: the model-view calls a learner draws the cube with, as text and back, e.g.
// "glLoadIdentity();glTranslatef(0.6,0,0);glRotatef(spinAngle,0,0,1);glutSolidCube(0.3)". The
// text comes from a person or an address, so the reader checks and bounds all of it and says what
// it refused and where. Pure: no GL, no page, no globals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace call_list {

// Calls in a list.
constexpr std::size_t kMaxCalls = 16;
// Characters of a list's text, as many as an address holds.
constexpr std::size_t kMaxChars = 2000;
// Characters of one argument: more than any float needs in any form.
constexpr std::size_t kMaxArgumentChars = 40;

enum class CallKind : std::uint8_t {
  kLoadIdentity,
  kTranslate,
  kRotate,
  kScale,
  kPushMatrix,
  kPopMatrix,
  kSolidCube,
};

// A scene variable the program's timers change, read as the frame is drawn.
enum class Variable : std::uint8_t { kNone, kSpinAngle, kScaleFactor };

struct Argument {
  Variable variable = Variable::kNone;
  float value = 0.0f;  // Finite; used when variable is kNone.
  bool operator==(const Argument& other) const;
};

struct Call {
  CallKind kind = CallKind::kLoadIdentity;
  std::vector<Argument> arguments;  // As many as the kind takes.
  bool operator==(const Call& other) const {
    return kind == other.kind && arguments == other.arguments;
  }
};

enum class Reason : std::uint8_t {
  kNone,           // Read.
  kUnknownCall,    // position: the call.
  kArgumentCount,  // found: the arguments given; limit: the call's own count.
  kBadNumber,      // found: the argument (1-based); not a finite float.
  kTooManyCalls,   // found: the calls; limit: kMaxCalls.
  kMalformed,      // Anything else; found/limit: the text's length and kMaxChars when too long.
};

struct Reading {
  Reason reason = Reason::kNone;
  std::uint64_t found = 0;
  std::uint64_t limit = 0;
  std::size_t position = 0;  // The refused call, 1-based; 0 for the list as a whole.
  std::vector<Call> calls;   // Empty unless read.
};

enum class ArgumentState : std::uint8_t {
  kOk,
  kIncomplete,  // The start of a number or a variable's name: "-", "1e", ".", "spin".
  kEmpty,
  kNotANumber,
  kInfinite,
  kOutOfRange,  // A number beyond the largest float.
  kMalformed,
};

struct ArgumentReading {
  ArgumentState state = ArgumentState::kMalformed;
  Argument argument;  // Meaningful when kOk.
};

Reading Read(std::string_view text);
std::string Write(const std::vector<Call>& calls);
ArgumentReading ReadArgument(std::string_view text);
// The argument as written: the shortest decimal that reads back as the same float, in the form
// JavaScript writes numbers ("0.6", "-1", "1e-9", "1e+21"), or the variable's name.
std::string WriteArgument(const Argument& argument);
// The call's name, e.g. "glTranslatef".
const char* CallName(CallKind kind);
const char* ReasonName(Reason reason);
const char* ArgumentStateName(ArgumentState state);
// The calls draw mode 1 to 5 makes, as text; "" for any other mode.
const char* ModeCalls(int mode);

}  // namespace call_list
