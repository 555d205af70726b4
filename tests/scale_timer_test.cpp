// scale_timer_test.cpp: the scale-animation chains on the virtual clock.
//
// The expected traces come from a model written here from the arithmetic rules alone: growth is
// a single-precision addition of 0.1f - 1e-9f, shrinking a double subtraction of 0.1 rounded to
// float, and the bands are strict inequalities on the value widened to double.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "program_facts.h"
#include "scene_test.h"
#include "stdout_capture.h"

namespace {

std::string Line(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// All chains tick every 100 ms from the same start, so they take turns in the order they were
// started; each applies its own step and its own band test.
std::vector<std::vector<std::string>> ModelTicks(int chains, int tickCount) {
  std::vector<bool> growing(chains, true);
  float scale = 1.0f;
  std::vector<std::vector<std::string>> ticks;
  for (int tick = 0; tick < tickCount; ++tick) {
    const int chain = tick % chains;
    std::vector<std::string> lines;
    if (growing[chain]) {
      const float step = 0.1f - 1e-9f;
      scale = scale + step;
      const double wide = static_cast<double>(scale);
      const bool turn = wide > 1.9999 && wide < 2.0001;
      lines.push_back(Line("MyTimer  %f", static_cast<double>(step)));
      lines.push_back(Line(turn ? "MyTimer  %f  1" : "MyTimer  %f  3", wide));
      lines.push_back(Line(turn ? "MyTimer  %f  2" : "MyTimer  %f  4", wide));
      growing[chain] = !turn;
    } else {
      scale = static_cast<float>(static_cast<double>(scale) - 0.1);
      const double wide = static_cast<double>(scale);
      const bool turn = wide > 0.4999 && wide < 0.5001;
      lines.push_back(Line("MyTimer2  %f", wide));
      lines.push_back(Line(turn ? "MyTimer2  %f  1" : "MyTimer2  %f  3", wide));
      lines.push_back(Line(turn ? "MyTimer2  %f  2" : "MyTimer2  %f  4", wide));
      growing[chain] = turn;
    }
    ticks.push_back(lines);
  }
  return ticks;
}

class ScaleTimerTest : public SceneTest {
 protected:
  // Starts the given number of chains the way the menu does, then fires ticks one by one,
  // checking on each what every scale tick must do, and returns each tick's printed lines.
  std::vector<std::vector<std::string>> Run(int chains, int ticks) {
    for (int chain = 0; chain < chains; ++chain) {
      MyMainMenu(5);
    }
    const int redisplaysFromMenu = fake_glut::RedisplayRequests();
    std::vector<std::vector<std::string>> printed;
    for (int tick = 0; tick < ticks; ++tick) {
      const std::size_t armsBefore = fake_glut::Arms().size();
      bool fired = false;
      printed.push_back(LinesPrintedBy([&] { fired = fake_glut::FireNext(); }));
      EXPECT_TRUE(fired);
      EXPECT_EQ(fake_glut::Arms().size(), armsBefore + 1) << "tick " << tick + 1;
      if (fake_glut::Arms().size() == armsBefore + 1) {
        const fake_glut::TimerArm& arm = fake_glut::Arms().back();
        EXPECT_EQ(arm.delayMs, facts::kTickMs);
        EXPECT_EQ(arm.value, kScaleTimerValue);
        EXPECT_TRUE(arm.callback == &MyTimer || arm.callback == &MyTimer2);
      }
      EXPECT_EQ(fake_glut::PendingCount(&MyTimer) + fake_glut::PendingCount(&MyTimer2),
                static_cast<std::size_t>(chains))
          << "chains never stop";
    }
    EXPECT_EQ(fake_glut::RedisplayRequests(), redisplaysFromMenu)
        << "scale ticks request no redraw";
    return printed;
  }
};

TEST_F(ScaleTimerTest, OneChainTracesEveryTickExactly) {
  const auto printed = Run(1, 60);
  EXPECT_EQ(printed, ModelTicks(1, 60));

  // Landmarks of the first cycle, written out in full.
  using Lines = std::vector<std::string>;
  EXPECT_EQ(printed[0],
            (Lines{"MyTimer  0.100000", "MyTimer  1.100000  3", "MyTimer  1.100000  4"}));
  EXPECT_EQ(printed[9],
            (Lines{"MyTimer  0.100000", "MyTimer  2.000000  1", "MyTimer  2.000000  2"}));
  EXPECT_EQ(printed[10],
            (Lines{"MyTimer2  1.900000", "MyTimer2  1.900000  3", "MyTimer2  1.900000  4"}));
  EXPECT_EQ(printed[24],
            (Lines{"MyTimer2  0.500000", "MyTimer2  0.500000  1", "MyTimer2  0.500000  2"}));
  EXPECT_EQ(printed[25],
            (Lines{"MyTimer  0.100000", "MyTimer  0.600000  3", "MyTimer  0.600000  4"}));
  EXPECT_EQ(printed[39],
            (Lines{"MyTimer  0.100000", "MyTimer  2.000000  1", "MyTimer  2.000000  2"}));
}

TEST_F(ScaleTimerTest, OneChainTicksAreOneHundredMillisecondsApart) {
  MyMainMenu(5);
  for (int tick = 1; tick <= 30; ++tick) {
    LinesPrintedBy([] { fake_glut::FireNext(); });
    EXPECT_EQ(fake_glut::NowMs(), static_cast<std::uint64_t>(tick) * facts::kTickMs);
  }
}

TEST_F(ScaleTimerTest, TwoChainsSettleIntoEndlessAlternationAboveTwo) {
  const auto printed = Run(2, 80);
  EXPECT_EQ(printed, ModelTicks(2, 80));
  for (std::size_t tick = 40; tick < printed.size(); ++tick) {
    SCOPED_TRACE(testing::Message() << "tick " << tick + 1);
    const std::string expected = tick % 2 == 0 ? "2.100000" : "2.000000";
    EXPECT_NE(printed[tick][1].find(expected), std::string::npos) << printed[tick][1];
  }
}

TEST_F(ScaleTimerTest, ThreeChainsPassTwoAndKeepGrowing) {
  const auto printed = Run(3, 300);
  EXPECT_EQ(printed, ModelTicks(3, 300));
  EXPECT_GT(scaleFactor, 5.0f) << "about 0.1 more for every three ticks once past 2.0";
}

}  // namespace
