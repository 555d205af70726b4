// program_clock_web.cpp: the browser's clock for the program's timers (browser). The timers behave
// as on the desktop at full speed: they fire in order of due time, ties in arming order, and a
// re-arm counts from the firing timer's due time, so a late tick does not shift the ones after it.
//
// A choice made between ticks belongs to the tick that last passed: the entry is applied as if at
// that tick's boundary, after every timer due there has fired, and what it arms counts from the
// boundary. Every timer the program arms is a multiple of kTickMs from start-up, so none falls
// between the boundary and the moment of the choice, and applying the choice then is the same as
// applying it at the boundary. A run is therefore its (entry, tick) pairs in order: a replay
// fires every timer up to each choice's tick, applies the choice, and the trace, the scene
// variables and the pending timers come out the same.
#include "program_clock_web.h"

#include <cmath>
#include <map>

#include "menu.h"
#include "scene.h"

namespace program_clock {
namespace {

struct Pending {
  void (*callback)(int);
  int value;
};

struct State {
  std::uint64_t nowMs = 0;
  // A multimap keeps equal keys in insertion order: ties fire first-in first-out.
  std::multimap<std::uint64_t, Pending> queue;
  bool paused = false;
  int speedDivisor = 1;
  double carryMs = 0.0;  // Program time counted but short of a whole millisecond.
  std::vector<Choice> choices;
};

State state;

// Fires, in order, every timer due up to endMs, then sets the clock there.
void AdvanceTo(std::uint64_t endMs) {
  while (!state.queue.empty() && state.queue.begin()->first <= endMs) {
    const auto first = state.queue.begin();
    const Pending due = first->second;
    state.nowMs = first->first;
    state.queue.erase(first);
    due.callback(due.value);
  }
  state.nowMs = endMs;
}

bool ValidEntry(int entry) { return entry >= 1 && entry <= kMainMenuEntryCount; }

}  // namespace

void Reset() { state = State{}; }

void Arm(unsigned delayMs, void (*callback)(int), int value) {
  state.queue.emplace(state.nowMs + delayMs, Pending{callback, value});
}

std::uint64_t NowMs() { return state.nowMs; }

std::uint64_t Tick() { return state.nowMs / kTickMs; }

bool Paused() { return state.paused; }

void Elapse(double realMs) {
  if (state.paused || !(realMs > 0.0)) return;
  state.carryMs += std::fmin(realMs / static_cast<double>(state.speedDivisor), kMaxStepMs);
  const double wholeMs = std::floor(state.carryMs);
  state.carryMs -= wholeMs;
  AdvanceTo(state.nowMs + static_cast<std::uint64_t>(wholeMs));
}

double RealMsToNextTimer() {
  if (state.paused || state.queue.empty()) return -1.0;
  const double programMs = static_cast<double>(state.queue.begin()->first - state.nowMs);
  return (programMs - state.carryMs) * static_cast<double>(state.speedDivisor);
}

bool SetSpeedDivisor(int divisor) {
  if (divisor != 1 && divisor != 2 && divisor != 4) return false;
  state.speedDivisor = divisor;
  return true;
}

int SpeedDivisor() { return state.speedDivisor; }

void Pause() {
  state.paused = true;
  state.nowMs = Tick() * kTickMs;
  state.carryMs = 0.0;
}

void Resume() { state.paused = false; }

bool Step() {
  if (!state.paused) return false;
  AdvanceTo(state.nowMs + kTickMs);
  return true;
}

bool Choose(int entry) {
  if (!ValidEntry(entry)) return false;
  state.choices.push_back({entry, Tick()});
  const std::uint64_t nowMs = state.nowMs;
  state.nowMs = Tick() * kTickMs;
  MyMainMenu(kMainMenuEntries[entry - 1].value);
  state.nowMs = nowMs;
  return true;
}

const std::vector<Choice>& Choices() { return state.choices; }

bool Replay(const std::vector<Choice>& run, std::int64_t pausedAtTick) {
  if (Tick() != 0 || !state.choices.empty()) return false;
  std::uint64_t lastTick = 0;
  for (const Choice& choice : run) {
    if (!ValidEntry(choice.entry) || choice.tick < lastTick || choice.tick > kMaxReplayTicks) {
      return false;
    }
    lastTick = choice.tick;
  }
  const bool pauses = pausedAtTick >= 0;
  if (pauses && (static_cast<std::uint64_t>(pausedAtTick) < lastTick ||
                 static_cast<std::uint64_t>(pausedAtTick) > kMaxReplayTicks)) {
    return false;
  }
  for (const Choice& choice : run) {
    AdvanceTo(choice.tick * kTickMs);
    Choose(choice.entry);
  }
  AdvanceTo((pauses ? static_cast<std::uint64_t>(pausedAtTick) : lastTick) * kTickMs);
  state.paused = pauses;
  state.carryMs = 0.0;
  return true;
}

}  // namespace program_clock
