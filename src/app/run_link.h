// run_link.h: a run of the program as a link's hash and back, e.g. "#run=5@0,6@7&pause=37": menu
// entry 5 at tick 0, entry 6 at tick 7, paused at tick 37; with "calls=LIST" first, the learner's
// calls (call_list.h), and "speed=2" or "speed=4" last, the pace. What a link holds comes from
// outside, so the reader bounds and checks all of it against the menu and the clock before any of
// it is replayed, and says what it refused with the value it found. Pure: no GL, no page, no
// globals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "call_list.h"
#include "program_clock_web.h"

namespace run_link {

// Characters of the hash, its '#' included, as the address holds it.
constexpr std::size_t kMaxChars = 2000;
// Scale animations a link may start in all: each traces three lines a tick.
constexpr std::uint64_t kMaxAnimations = 10;
// Ticks of animation a link's run may trace in all: three animations for an hour.
constexpr std::uint64_t kMaxAnimationTicks = 3 * program_clock::kMaxReplayTicks;

// A run as a link holds it. A run without a pause goes on live from its last choice's tick.
struct Run {
  std::vector<program_clock::Choice> choices;  // In the order chosen, ticks never decreasing.
  std::optional<std::uint64_t> pausedAt;       // The tick paused at, at or after the last choice.
  std::optional<std::vector<call_list::Call>> calls;  // The learner's calls, in force after it.
  int speedDivisor = 1;                               // Program time at 1/divisor: 1, 2 or 4.
};

enum class Reason : std::uint8_t {
  kNone,               // Read: the run is the link's.
  kTooLong,            // found: the hash's length; limit: kMaxChars.
  kMalformed,          // Not of the link's form.
  kUnknownEntry,       // found: the entry; limit: the menu's last entry.
  kBackwards,          // found: the tick; limit: the tick before it.
  kTooFar,             // found: the tick; limit: program_clock::kMaxReplayTicks.
  kTooManyAnimations,  // found: the animations started; limit: kMaxAnimations.
  kTooMuchTrace,       // found: the animations' ticks in all; limit: kMaxAnimationTicks.
  kCalls,              // The calls refused: Reading::calls says why.
};

struct Reading {
  Reason reason = Reason::kNone;
  std::uint64_t found = 0;
  std::uint64_t limit = 0;
  Run run;                   // Empty unless the reason is kNone.
  call_list::Reading calls;  // The calls' reading, when the link holds calls.
};

// Reads a hash, with or without its '#'. Percent-escapes are read as the bytes they stand for; a
// number has at most nine digits and no leading zero.
Reading Read(std::string_view hash);
// The run's hash ("" for a fresh run), or nothing for a run that Read would refuse.
std::optional<std::string> Write(const Run& run);
// The reason's name for the page: "too-long", "unknown-entry", ...; "" for kNone; the calls'
// reason ("unknown-call", ...) for kCalls, with "malformed" as the link's own.
const char* ReasonName(const Reading& reading);

}  // namespace run_link
