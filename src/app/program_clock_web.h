// program_clock_web.h: the browser's clock for the program's GLUT timers, in milliseconds of
// program time, which the page can pause, step, slow down and replay (browser).
//
// A run is the menu entries chosen and the tick each was chosen at, so replaying the entries at
// their ticks reproduces the trace exactly. Ticks are kTickMs long and counted from start-up.
#pragma once

#include <cstdint>
#include <vector>

namespace program_clock {

// The longest run a replay goes through: an hour of program time.
constexpr std::uint64_t kMaxReplayTicks = 36000;
// The most program time one pacing step moves on by: a hidden tab or a stall is not made up in a
// burst.
constexpr double kMaxStepMs = 250.0;

// One menu choice of a run: the entry's position in the menu, from 1, and its tick.
struct Choice {
  int entry;
  std::uint64_t tick;
};

// The program at start-up: no timers, time 0, running at full speed, nothing chosen.
void Reset();

// Arms a one-shot timer due delayMs after the current program time; inside a timer's callback
// that is the callback's own due time. Timers due at the same time fire in arming order.
void Arm(unsigned delayMs, void (*callback)(int), int value);

std::uint64_t NowMs();
std::uint64_t Tick();
bool Paused();

// Counts realMs of real time at the current speed, at most kMaxStepMs of program time, and fires
// every timer that falls due. Does nothing while paused.
void Elapse(double realMs);
// The real time until the next timer is due at the current speed; negative while paused or with
// no timer pending.
double RealMsToNextTimer();
// Program time runs at 1/divisor of real time; divisor is 1, 2 or 4. False for any other.
bool SetSpeedDivisor(int divisor);
int SpeedDivisor();

// Pausing moves the clock back to the start of its tick, the state a replay of the run reaches.
void Pause();
void Resume();
// While paused: one tick on, firing every timer due in it. False when running.
bool Step();

// Chooses the menu entry at this position (from 1) at the current tick and records the choice.
// False, with nothing done, for a position outside the menu.
bool Choose(int entry);
// The run so far, in the order chosen.
const std::vector<Choice>& Choices();

// From start-up, before the first tick and any choice: goes through the run's choices at their
// ticks, then to pausedAtTick and pauses there, or with pausedAtTick < 0 stays running at the
// last choice's tick. False, with nothing done, for a run that is not fresh, names an entry
// outside the menu, runs backwards or goes beyond kMaxReplayTicks.
bool Replay(const std::vector<Choice>& run, std::int64_t pausedAtTick);

}  // namespace program_clock
