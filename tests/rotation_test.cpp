// rotation_test.cpp: the rotation timer on the virtual clock.
#include <cstddef>
#include <vector>

#include "program_facts.h"
#include "scene_test.h"

namespace {

using RotationTest = SceneTest;

TEST_F(RotationTest, AnglesStepByTwoAndWrapAfterHoldingThreeSixty) {
  glutTimerFunc(kTickMs, MyRotateTimer, kRotateTimerValue);  // as start-up arms it

  std::vector<float> expected;
  for (int degrees = 2; degrees <= 360; degrees += 2) {
    expected.push_back(static_cast<float>(degrees));
  }
  for (int degrees = 2; degrees <= 20; degrees += 2) {
    expected.push_back(static_cast<float>(degrees));
  }

  for (std::size_t tick = 0; tick < expected.size(); ++tick) {
    SCOPED_TRACE(testing::Message() << "tick " << tick + 1);
    const std::size_t armsBefore = fake_glut::Arms().size();
    ASSERT_TRUE(fake_glut::FireNext());

    EXPECT_EQ(spinAngle, expected[tick]);
    EXPECT_EQ(fake_glut::NowMs(), (tick + 1) * facts::kTickMs) << "ticks are 100 ms apart";
    EXPECT_EQ(fake_glut::RedisplayRequests(), static_cast<int>(tick + 1)) << "one redraw per tick";
    ASSERT_EQ(fake_glut::Arms().size(), armsBefore + 1) << "exactly one re-arm per tick";
    const fake_glut::TimerArm& arm = fake_glut::Arms().back();
    EXPECT_EQ(arm.delayMs, facts::kTickMs);
    EXPECT_EQ(arm.callback, &MyRotateTimer);
    EXPECT_EQ(arm.value, kRotateTimerValue);
    EXPECT_EQ(fake_glut::PendingCount(&MyRotateTimer), 1u) << "exactly one rotation chain";
  }
}

TEST_F(RotationTest, ManyTurnsStayExactMultiplesOfTwoAndNeverReturnToZero) {
  float angle = 0.0f;
  for (int tick = 1; tick <= 180 * 50; ++tick) {
    angle = NextSpinAngle(angle);
    const int expected = (tick - 1) % 180 * 2 + 2;
    ASSERT_EQ(angle, static_cast<float>(expected)) << "tick " << tick;
  }
}

TEST_F(RotationTest, WrapIsStrictlyAboveThreeSixty) {
  EXPECT_EQ(NextSpinAngle(358.0f), 360.0f);
  EXPECT_EQ(NextSpinAngle(360.0f), 2.0f);
  EXPECT_EQ(NextSpinAngle(359.5f), 1.5f);
}

}  // namespace
