// program_clock_web_test.cpp: the browser's clock against the virtual clock's model: the same
// choices at the same ticks give the same trace and scene at every pace, through pauses and steps,
// and when replayed.
#include "program_clock_web.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "program_facts.h"
#include "scene_test.h"
#include "stdout_capture.h"

namespace {

using program_clock::Choice;

struct Outcome {
  std::vector<std::string> lines;
  std::uint64_t nowMs;
  float spin;
  float scale;
  int mode;
};

void ExpectSame(const Outcome& a, const Outcome& b) {
  EXPECT_EQ(a.lines, b.lines);
  EXPECT_EQ(a.nowMs, b.nowMs);
  EXPECT_EQ(a.spin, b.spin);
  EXPECT_EQ(a.scale, b.scale);
  EXPECT_EQ(a.mode, b.mode);
}

// Two animations seven ticks apart, then entry 3; entry 6 starts an animation as entry 5 does.
const std::vector<Choice> kPlan = {{5, 0}, {6, 7}, {3, 30}};
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
  Outcome Now(std::vector<std::string> lines) const {
    return {std::move(lines), program_clock::NowMs(), spinAngle, scaleFactor, drawMode};
  }
  // The model: the choices made at their ticks' boundaries on the fake's queue, to nowMs.
  Outcome Model(const std::vector<Choice>& run, std::uint64_t nowMs) {
    Start(false);
    const auto lines = LinesPrintedBy([&] {
      for (const Choice& choice : run) {
        fake_glut::AdvanceBy(choice.tick * facts::kTickMs - fake_glut::NowMs());
        MyMainMenu(facts::kMenuEntryValues[choice.entry - 1]);
      }
      fake_glut::AdvanceBy(nowMs - fake_glut::NowMs());
    });
    return {lines, fake_glut::NowMs(), spinAngle, scaleFactor, drawMode};
  }
  // Chooses the plan's entries once their ticks come, moving the clock on by pace, to kEndTick.
  Outcome Live(const std::function<void()>& pace) {
    return Now(LinesPrintedBy([&] {
      std::size_t next = 0;
      while (program_clock::Tick() < kEndTick) {
        while (next < kPlan.size() && program_clock::Tick() >= kPlan[next].tick) {
          program_clock::Choose(kPlan[next++].entry);
        }
        pace();
      }
    }));
  }
};

TEST_F(ProgramClockTest, EveryPaceTracesAsTheModelWithTheChoicesAtTheirTicks) {
  const struct {
    const char* pace;
    int divisor;
    double frameMs;
    bool stepped;
  } paces[] = {{"1x", 1, 16.7, false},
               {"1/2x", 2, 16.7, false},
               {"1/4x", 4, 33.3, false},
               {"stalls", 1, 5000.0, false},
               {"stepped", 1, 0.0, true}};
  for (const auto& pace : paces) {
    SCOPED_TRACE(pace.pace);
    Start(true);
    ASSERT_TRUE(program_clock::SetSpeedDivisor(pace.divisor));
    if (pace.stepped) program_clock::Pause();
    const Outcome live = Live([&] {
      if (pace.stepped) program_clock::Step();
      program_clock::Elapse(pace.frameMs);
    });
    const std::vector<Choice> run = program_clock::Choices();
    EXPECT_EQ(run.size(), kPlan.size());
    if (pace.frameMs < 100.0) {  // No frame passes over a tick: the choices keep their ticks.
      for (std::size_t i = 0; i < run.size(); ++i) EXPECT_EQ(run[i].tick, kPlan[i].tick);
    }
    ExpectSame(live, Model(run, live.nowMs));
    EXPECT_GT(live.lines.size(), 200u);
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

TEST_F(ProgramClockTest, AReplayReachesTheLiveRunsStateAndRefusesBadRuns) {
  program_clock::Pause();
  const Outcome live = Live([] { program_clock::Step(); });
  const std::vector<Choice> run = program_clock::Choices();
  EXPECT_FALSE(program_clock::Replay(run, kEndTick)) << "only from start-up";

  Start(true);
  const std::vector<std::vector<Choice>> bad = {
      {{5, 10}, {6, 9}}, {{12, 0}}, {{0, 0}}, {{5, program_clock::kMaxReplayTicks + 1}}};
  for (const auto& badRun : bad) EXPECT_FALSE(program_clock::Replay(badRun, -1));
  EXPECT_FALSE(program_clock::Replay(run, 29)) << "paused before the last choice";
  EXPECT_EQ(program_clock::NowMs(), 0u);
  EXPECT_TRUE(program_clock::Choices().empty());

  bool replayed = false;
  const Outcome again = Now(LinesPrintedBy([&] { replayed = program_clock::Replay(run, 80); }));
  EXPECT_TRUE(replayed);
  ExpectSame(again, live);
  EXPECT_TRUE(program_clock::Paused());
  EXPECT_EQ(program_clock::Choices().size(), run.size());
}

}  // namespace
