// program_clock_page_web.cpp: the browser, where the program's timers run on the clock in
// program_clock_web.cpp instead of the browser's setTimeout, and the page drives that clock and
// replays the run in its address. What the page calls and is handed is listed in docs/web.md.
//
// glutTimerFunc is defined here: a definition in the program takes the place of the one in
// Emscripten's GLUT library. The clock is paced by one browser timeout at a time, set for when
// the next timer falls due; each brings the clock up to the real time passed. A hidden tab's
// timeouts come late and seldom, and the clock's clamp keeps the gap from being made up in a burst.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <cstdint>
#include <optional>
#include <string>

#include "glut_api.h"
#include "learner_calls_web.h"
#include "program_clock_web.h"
#include "run_link.h"
#include "scene.h"

namespace {

double countedToRealMs = -1.0;  // Real time the clock has been brought up to; negative: none yet.
long wakeTimeout = 0;           // The browser timeout set for the next timer, if any.
std::string momentLink;         // The last link handed out by MomentLink.

// Brings the clock up to the real time now: every timer due by then fires.
void CatchUp() {
  const double nowRealMs = emscripten_get_now();
  if (countedToRealMs >= 0.0) program_clock::Elapse(nowRealMs - countedToRealMs);
  countedToRealMs = nowRealMs;
}

void Wake(void* /*userData*/);

// Sets the one browser timeout for when the next timer falls due, none while paused.
void ScheduleWake() {
  if (wakeTimeout != 0) emscripten_clear_timeout(wakeTimeout);
  const double delayMs = program_clock::RealMsToNextTimer();
  wakeTimeout = delayMs < 0.0 ? 0 : emscripten_set_timeout(Wake, delayMs, nullptr);
}

void Wake(void* /*userData*/) {
  wakeTimeout = 0;
  CatchUp();
  ScheduleWake();
}

}  // namespace

// The address's hash, copied into `into` only when it fits in size bytes with its terminator; its
// length in UTF-8 bytes either way, so a hash of any length is measured and never copied whole.
EM_JS(int, CopyAddressHash, (char* into, int size), {
  var hash = location.hash;
  var bytes = lengthBytesUTF8(hash);
  if (bytes < size) stringToUTF8(hash, into, size);
  return bytes;
});

// position: the call a refused list of calls is refused at, 1-based; 0 for the link's own reasons.
EM_JS(void, HandLinkToPage, (const char* reason, double found, double limit, double position), {
  if (Module["linkRead"]) {
    Module["linkRead"](
        {reason : UTF8ToString(reason), found : found, limit : limit, position : position});
  }
});

// hash is null for a run no link replays, calls while the draw mode's own are drawn; change names
// what changed it.
EM_JS(void, HandRunToPage,
      (const char* hash, double tick, int paused, const char* change, const char* calls, int speed),
      {
        if (!Module["runChanged"]) return;
        Module["runChanged"]({
          hash : hash ? UTF8ToString(hash) : null,
          tick : tick,
          paused : !!paused,
          change : UTF8ToString(change),
          calls : calls ? UTF8ToString(calls) : null,
          speed : speed
        });
      });

namespace {

run_link::Run CurrentRun(bool paused) {
  run_link::Run run{program_clock::Choices(), std::nullopt, LearnerCalls(),
                    program_clock::SpeedDivisor()};
  if (paused) run.pausedAt = program_clock::Tick();
  return run;
}

// The address's run, read and checked whole: a refused one leaves the program as it started.
run_link::Reading ReadAddress() {
  std::string hash(run_link::kMaxChars + 1, '\0');
  const int bytes = CopyAddressHash(hash.data(), static_cast<int>(hash.size()));
  if (bytes > static_cast<int>(run_link::kMaxChars)) {
    // Not copied: read as a hash one byte too long, which is refused, and told its own length.
    run_link::Reading reading = run_link::Read(hash);
    reading.found = static_cast<std::uint64_t>(bytes);
    return reading;
  }
  hash.resize(static_cast<std::size_t>(bytes));
  return run_link::Read(hash);
}

}  // namespace

void TellPageRunChanged(const char* change) {
  const run_link::Run run = CurrentRun(program_clock::Paused());
  const std::optional<std::string> hash = run_link::Write(run);
  const std::string calls = run.calls ? call_list::Write(*run.calls) : "";
  HandRunToPage(hash ? hash->c_str() : nullptr, static_cast<double>(program_clock::Tick()),
                program_clock::Paused() ? 1 : 0, change, run.calls ? calls.c_str() : nullptr,
                run.speedDivisor);
}

// Start-up's first timer starts the count of real time, as the library's setTimeout did. A timer
// armed by another timer's callback is within a wake, which schedules the next one.
void glutTimerFunc(unsigned int time, void (*callback)(int), int value) {
  program_clock::Arm(time, callback, value);
  if (countedToRealMs < 0.0) {
    countedToRealMs = emscripten_get_now();
    ScheduleWake();
  }
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int ChooseEntry(int entry) {
  CatchUp();
  if (!program_clock::Choose(entry)) return 0;
  ScheduleWake();
  TellPageRunChanged("choice");
  return 1;
}

EMSCRIPTEN_KEEPALIVE void PauseProgram() {
  CatchUp();
  program_clock::Pause();
  ScheduleWake();
  TellPageRunChanged("pause");
}

// The time spent paused is not counted.
EMSCRIPTEN_KEEPALIVE void ResumeProgram() {
  program_clock::Resume();
  countedToRealMs = emscripten_get_now();
  ScheduleWake();
  TellPageRunChanged("resume");
}

EMSCRIPTEN_KEEPALIVE int StepProgram() {
  if (!program_clock::Step()) return 0;
  TellPageRunChanged("step");
  return 1;
}

// The time before the change is counted at the speed it passed at.
EMSCRIPTEN_KEEPALIVE int SetProgramSpeed(int divisor) {
  CatchUp();
  if (!program_clock::SetSpeedDivisor(divisor)) return 0;
  ScheduleWake();
  TellPageRunChanged("speed");
  return 1;
}

EMSCRIPTEN_KEEPALIVE double ProgramTimeMs() { return static_cast<double>(program_clock::NowMs()); }

EMSCRIPTEN_KEEPALIVE int ProgramTick() { return static_cast<int>(program_clock::Tick()); }

EMSCRIPTEN_KEEPALIVE int ProgramPaused() { return program_clock::Paused() ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE int ProgramTickMs() { return static_cast<int>(kTickMs); }

// For start-up, before the first tick (Module.postRun is the moment): the address's run, replayed
// whole or not at all, then its calls put in force and its speed set. The page is handed the
// reading, then the run. The time the replay takes is not counted.
EMSCRIPTEN_KEEPALIVE int ApplyAddressLink() {
  const run_link::Reading reading = ReadAddress();
  const run_link::Run& run = reading.run;
  const bool read = reading.reason == run_link::Reason::kNone;
  const bool replayed =
      read && program_clock::Replay(run.choices,
                                    run.pausedAt ? static_cast<std::int64_t>(*run.pausedAt) : -1);
  if (read && !replayed) {  // Checked already: only a program past its start refuses.
    HandLinkToPage("refused", 0.0, 0.0, 0.0);
  } else {
    HandLinkToPage(run_link::ReasonName(reading), static_cast<double>(reading.found),
                   static_cast<double>(reading.limit), static_cast<double>(reading.calls.position));
  }
  if (replayed) {
    if (run.calls) PutLearnerCallsInForce(run.calls);
    program_clock::SetSpeedDivisor(run.speedDivisor);
    countedToRealMs = emscripten_get_now();
    ScheduleWake();
  }
  TellPageRunChanged("link");
  return replayed ? 1 : 0;
}

// The link to the run paused at the current tick, whether or not it runs; "" for a run no link
// replays. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* MomentLink() {
  momentLink = run_link::Write(CurrentRun(true)).value_or("");
  return momentLink.c_str();
}

}  // extern "C"
