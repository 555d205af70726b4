// fake_glut.h: a stand-in for the GLUT calls the scene makes, with a virtual clock.
//
// Timers behave as FLTK's timeouts do: they fire in order of due time, ties in the order they were
// armed, and a timer armed from inside a callback counts from that callback's due time (FLTK makes
// up a late tick's lateness).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fake_glut {

using TimerCallback = void (*)(int);
using MenuCallback = void (*)(int);
using MenuStatusCallback = void (*)(int, int, int);

struct TimerArm {
  std::uint64_t armedAtMs;
  unsigned delayMs;
  TimerCallback callback;
  int value;
};

inline bool operator==(const TimerArm& a, const TimerArm& b) {
  return a.armedAtMs == b.armedAtMs && a.delayMs == b.delayMs && a.callback == b.callback &&
         a.value == b.value;
}

struct MenuEntry {
  std::string label;
  int value;
};

// Empties the timer queue and every log, sets the clock to 0 and routes timers to the queue.
void Reset();

// Sends glutTimerFunc's timers to another clock (the browser's, in its tests), nullptr to the
// queue. They are logged either way.
void RouteTimers(void (*route)(unsigned delayMs, TimerCallback callback, int value));

std::uint64_t NowMs();

// Fires the earliest pending timer, moving the clock to its due time. False when none is pending.
bool FireNext();

// Fires, in order, every timer due up to NowMs() + ms, then sets the clock there.
void AdvanceBy(std::uint64_t ms);

// Every glutTimerFunc call since Reset, in call order.
const std::vector<TimerArm>& Arms();

// Timers armed and not yet fired that will call the given callback.
std::size_t PendingCount(TimerCallback callback);

// glutPostRedisplay calls since Reset.
int RedisplayRequests();

// What glutCreateMenu, glutAddMenuEntry and glutAttachMenu were given since Reset.
MenuCallback MenuCallbackCreated();
const std::vector<MenuEntry>& MenuEntries();
int MenuAttachedButton();  // -1 when no menu was attached
// What glutMenuStatusFunc was given last, if anything.
MenuStatusCallback MenuStatusCallbackSet();

}  // namespace fake_glut
