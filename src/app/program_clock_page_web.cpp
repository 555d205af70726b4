// program_clock_page_web.cpp: the browser, where the program's timers run on the clock in
// program_clock_web.cpp instead of the browser's setTimeout, and the page drives that clock.
//
// glutTimerFunc is defined here: a definition in the program takes the place of the one in
// Emscripten's GLUT library. The clock is paced as the library's timers were, by one browser
// timeout at a time, set for when the next timer falls due; each brings the clock up to the real
// time that has passed. A hidden tab's timeouts come late and seldom, and the clock's clamp keeps
// the gap from being made up in a burst.
//
// What the page calls (as Module._Name):
//   ChooseEntry(entry)               chooses the menu entry at that position (from 1); 0 if none
//   PauseProgram(), ResumeProgram()
//   StepProgram()                    while paused, one tick on; 0 when running
//   SetProgramSpeed(divisor)         program time at 1/divisor of real time: 1, 2 or 4; 0 if not
//   ProgramTimeMs(), ProgramTick(), ProgramPaused()
//   QueueReplayChoice(entry, tick)   then ReplayRun(pausedAtTick or -1): replays a run from a
//                                    link, drawing once at the end; 0 when refused, and then a
//                                    fresh run goes on as if nothing had been asked
// Whenever the run changes (a choice, a pause, a step, a resume, a replay) the program calls
// Module.runChanged({choices: [{entry, tick}, ...], pausedAt: tick or null}), if the page has it.
#include <emscripten.h>
#include <emscripten/eventloop.h>

#include <cstdint>
#include <vector>

#include "glut_api.h"
#include "program_clock_web.h"

namespace {

double countedToRealMs = -1.0;  // Real time the clock has been brought up to; negative: none yet.
long wakeTimeout = 0;           // The browser timeout set for the next timer, if any.
std::vector<program_clock::Choice> replayQueue;
bool replayQueueValid = true;

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

EM_JS(void, HandRunToPage, (const int* entries, const int* ticks, int count, int pausedAt), {
  if (!Module["runChanged"]) return;
  var choices = [];
  for (var i = 0; i < count; ++i) {
    choices.push({entry : HEAP32[(entries >> 2) + i], tick : HEAP32[(ticks >> 2) + i]});
  }
  Module["runChanged"]({choices : choices, pausedAt : pausedAt < 0 ? null : pausedAt});
});

namespace {

void TellPageRunChanged() {
  const std::vector<program_clock::Choice>& run = program_clock::Choices();
  std::vector<int> entries;
  std::vector<int> ticks;
  for (const program_clock::Choice& choice : run) {
    entries.push_back(choice.entry);
    ticks.push_back(static_cast<int>(choice.tick));
  }
  HandRunToPage(entries.data(), ticks.data(), static_cast<int>(run.size()),
                program_clock::Paused() ? static_cast<int>(program_clock::Tick()) : -1);
}

}  // namespace

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
  TellPageRunChanged();
  return 1;
}

EMSCRIPTEN_KEEPALIVE void PauseProgram() {
  CatchUp();
  program_clock::Pause();
  ScheduleWake();
  TellPageRunChanged();
}

// The time spent paused is not counted.
EMSCRIPTEN_KEEPALIVE void ResumeProgram() {
  program_clock::Resume();
  countedToRealMs = emscripten_get_now();
  ScheduleWake();
  TellPageRunChanged();
}

EMSCRIPTEN_KEEPALIVE int StepProgram() {
  if (!program_clock::Step()) return 0;
  TellPageRunChanged();
  return 1;
}

// The time before the change is counted at the speed it passed at.
EMSCRIPTEN_KEEPALIVE int SetProgramSpeed(int divisor) {
  CatchUp();
  if (!program_clock::SetSpeedDivisor(divisor)) return 0;
  ScheduleWake();
  return 1;
}

EMSCRIPTEN_KEEPALIVE double ProgramTimeMs() { return static_cast<double>(program_clock::NowMs()); }

EMSCRIPTEN_KEEPALIVE int ProgramTick() { return static_cast<int>(program_clock::Tick()); }

EMSCRIPTEN_KEEPALIVE int ProgramPaused() { return program_clock::Paused() ? 1 : 0; }

// Negative ticks are refused here, so the clock sees only what it can check.
EMSCRIPTEN_KEEPALIVE int QueueReplayChoice(int entry, int tick) {
  replayQueueValid = replayQueueValid && tick >= 0;
  if (replayQueueValid) replayQueue.push_back({entry, static_cast<std::uint64_t>(tick)});
  return replayQueueValid ? 1 : 0;
}

// For start-up, before the first tick: Module.postRun is the moment. The time the replay takes
// is not counted.
EMSCRIPTEN_KEEPALIVE int ReplayRun(int pausedAtTick) {
  const bool replayed = replayQueueValid && program_clock::Replay(replayQueue, pausedAtTick);
  replayQueue.clear();
  replayQueueValid = true;
  if (!replayed) return 0;
  countedToRealMs = emscripten_get_now();
  ScheduleWake();
  TellPageRunChanged();
  return 1;
}

}  // extern "C"
