// fake_glut.cpp: the fake GLUT's timer queue, virtual clock and call logs.
#include "fake_glut.h"

#include <FL/glut.H>

#include <map>

namespace fake_glut {
namespace {

struct Pending {
  TimerCallback callback;
  int value;
};

struct State {
  std::uint64_t nowMs = 0;
  // A multimap keeps equal keys in insertion order: ties fire first-in first-out.
  std::multimap<std::uint64_t, Pending> queue;
  std::vector<TimerArm> arms;
  int redisplayRequests = 0;
  MenuCallback menuCallback = nullptr;
  std::vector<MenuEntry> menuEntries;
  int attachedButton = -1;
  MenuStatusCallback menuStatusCallback = nullptr;
  void (*route)(unsigned, TimerCallback, int) = nullptr;
};

State& TheState() {
  static State state;
  return state;
}

}  // namespace

void Reset() { TheState() = State{}; }

void RouteTimers(void (*route)(unsigned, TimerCallback, int)) { TheState().route = route; }

std::uint64_t NowMs() { return TheState().nowMs; }

bool FireNext() {
  State& state = TheState();
  if (state.queue.empty()) {
    return false;
  }
  const auto first = state.queue.begin();
  const Pending due = first->second;
  state.nowMs = first->first;
  state.queue.erase(first);
  due.callback(due.value);
  return true;
}

void AdvanceBy(std::uint64_t ms) {
  State& state = TheState();
  const std::uint64_t end = state.nowMs + ms;
  while (!state.queue.empty() && state.queue.begin()->first <= end) {
    FireNext();
  }
  state.nowMs = end;
}

const std::vector<TimerArm>& Arms() { return TheState().arms; }

std::size_t PendingCount(TimerCallback callback) {
  std::size_t count = 0;
  for (const auto& entry : TheState().queue) {
    count += entry.second.callback == callback ? 1 : 0;
  }
  return count;
}

int RedisplayRequests() { return TheState().redisplayRequests; }

MenuCallback MenuCallbackCreated() { return TheState().menuCallback; }

const std::vector<MenuEntry>& MenuEntries() { return TheState().menuEntries; }

int MenuAttachedButton() { return TheState().attachedButton; }

MenuStatusCallback MenuStatusCallbackSet() { return TheState().menuStatusCallback; }

}  // namespace fake_glut

// The GLUT calls the scene makes, as the fake <FL/glut.H> declares them.

void glutTimerFunc(unsigned int time, void (*callback)(int), int value) {
  fake_glut::State& state = fake_glut::TheState();
  state.arms.push_back({state.nowMs, time, callback, value});
  if (state.route != nullptr) return state.route(time, callback, value);
  state.queue.emplace(state.nowMs + time, fake_glut::Pending{callback, value});
}

void glutPostRedisplay() { ++fake_glut::TheState().redisplayRequests; }

int glutCreateMenu(void (*callback)(int)) {
  fake_glut::TheState().menuCallback = callback;
  return 1;
}

void glutAddMenuEntry(char* label, int value) {
  fake_glut::TheState().menuEntries.push_back({label, value});
}

void glutAttachMenu(int button) { fake_glut::TheState().attachedButton = button; }

void glutMenuStatusFunc(void (*callback)(int status, int x, int y)) {
  fake_glut::TheState().menuStatusCallback = callback;
}
