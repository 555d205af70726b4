// program_clock_web_test.cpp: the browser's clock against the virtual clock's model: the same
// choices at the same ticks give the same trace and scene at every pace, through pauses and steps,
// and when replayed.
#include "program_clock_web.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "program_facts.h"
#include "scene_test.h"
#include "stdout_capture.h"

namespace {

// The trace, the program time and the scene variables.
using Outcome = std::tuple<std::vector<std::string>, std::uint64_t, float, float, int>;

// Two animations seven ticks apart, then entry 3; entry 6 starts an animation as entry 5 does.
const std::vector<program_clock::Choice> kPlan = {{5, 0}, {6, 7}, {3, 30}};
constexpr std::uint64_t kEndTick = 80;

class ProgramClockTest : public SceneTest {
 protected:
  // Start-up as main does it, on the browser's clock or (route false) on the fake's queue.
  void Start(bool route) {
    SceneTest::SetUp();
    program_clock::Reset();
    fake_glut::RouteTimers(route ? program_clock::Arm : nullptr);
    glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);
  }
  void SetUp() override { Start(true); }
  static Outcome Now(std::vector<std::string> lines, std::uint64_t nowMs) {
    return {std::move(lines), nowMs, spinAngle, scaleFactor, drawMode};
  }
  // The model: the choices made at their ticks' boundaries on the fake's queue, to nowMs.
  Outcome Model(const std::vector<program_clock::Choice>& run, std::uint64_t nowMs) {
    Start(false);
    const auto lines = LinesPrintedBy([&] {
      for (const program_clock::Choice& choice : run) {
        fake_glut::AdvanceBy(choice.tick * facts::kTickMs - fake_glut::NowMs());
        MyMainMenu(facts::kMenuEntryValues[choice.entry - 1]);
      }
      fake_glut::AdvanceBy(nowMs - fake_glut::NowMs());
    });
    return Now(lines, fake_glut::NowMs());
  }
  // Chooses the plan's entries once their ticks come, moving the clock on by pace, to kEndTick.
  Outcome Live(const std::function<void()>& pace) {
    const auto lines = LinesPrintedBy([&] {
      for (std::size_t next = 0; program_clock::Tick() < kEndTick; pace()) {
        while (next < kPlan.size() && program_clock::Tick() >= kPlan[next].tick) {
          program_clock::Choose(kPlan[next++].entry);
        }
      }
    });
    return Now(lines, program_clock::NowMs());
  }
};

TEST_F(ProgramClockTest, EveryPaceTracesAsTheModelWithTheChoicesAtTheirTicks) {
  // Real frames at each speed, stalls at full speed, and steps while paused (no frames).
  const std::pair<int, double> paces[] = {{1, 16.7}, {2, 16.7}, {4, 33.3}, {1, 5000.0}, {1, 0.0}};
  for (const auto& [divisor, frameMs] : paces) {
    SCOPED_TRACE(testing::Message() << divisor << " " << frameMs);
    Start(true);
    ASSERT_TRUE(program_clock::SetSpeedDivisor(divisor));
    if (frameMs == 0.0) program_clock::Pause();
    const double elapseMs = frameMs;  // A structured binding is not captured by name in C++17.
    const Outcome live = Live([&] {
      program_clock::Step();
      program_clock::Elapse(elapseMs);
    });
    const std::vector<program_clock::Choice> run = program_clock::Choices();
    EXPECT_EQ(run.size(), kPlan.size());
    if (frameMs < 100.0) {  // No frame passes over a tick: the choices keep their ticks.
      for (std::size_t i = 0; i < run.size(); ++i) EXPECT_EQ(run[i].tick, kPlan[i].tick);
    }
    EXPECT_EQ(live, Model(run, std::get<1>(live)));
  }
}

TEST_F(ProgramClockTest, PausedStepsAreOneTickEachAndSpeedsAndStallsAreExact) {
  program_clock::Choose(5);
  program_clock::Pause();
  for (int step = 1; step <= 3; ++step) {
    const float spin = spinAngle;
    EXPECT_EQ(LinesPrintedBy([] { program_clock::Elapse(1000.0); }).size(), 0u) << "paused";
    EXPECT_EQ(LinesPrintedBy([] { EXPECT_TRUE(program_clock::Step()); }).size(), 3u);
    EXPECT_EQ(spinAngle, spin + 2.0f);
    EXPECT_EQ(program_clock::Tick(), static_cast<std::uint64_t>(step));
  }
  program_clock::Resume();
  EXPECT_FALSE(program_clock::Step()) << "a step only while paused";
  for (int divisor : {1, 2, 4}) {  // One second of 20 ms frames, then a minute's stall.
    program_clock::SetSpeedDivisor(divisor);
    const std::uint64_t startMs = program_clock::NowMs();
    LinesPrintedBy([] {
      for (int frame = 0; frame < 50; ++frame) program_clock::Elapse(20.0);
      program_clock::Elapse(60000.0);
    });
    EXPECT_EQ(program_clock::NowMs() - startMs, 1000u / divisor + 250u) << divisor;
  }
  EXPECT_FALSE(program_clock::SetSpeedDivisor(3));
}

TEST_F(ProgramClockTest, AReplayReachesTheModelsStateAndRefusesBadRuns) {
  const std::vector<std::vector<program_clock::Choice>> bad = {
      {{5, 10}, {6, 9}}, {{12, 0}}, {{0, 0}}, {{5, program_clock::kMaxReplayTicks + 1}}};
  for (const auto& badRun : bad) EXPECT_FALSE(program_clock::Replay(badRun, -1));
  EXPECT_FALSE(program_clock::Replay(kPlan, 29)) << "paused before the last choice";
  EXPECT_TRUE(program_clock::NowMs() == 0 && program_clock::Choices().empty()) << "untouched";

  bool replayed = false;
  const auto lines = LinesPrintedBy([&] { replayed = program_clock::Replay(kPlan, kEndTick); });
  EXPECT_TRUE(replayed && program_clock::Paused() && program_clock::Choices().size() == 3);
  EXPECT_FALSE(program_clock::Replay(kPlan, kEndTick)) << "only from start-up";
  const Outcome again = Now(lines, program_clock::NowMs());
  EXPECT_EQ(again, Model(kPlan, kEndTick * kTickMs));
}

}  // namespace
