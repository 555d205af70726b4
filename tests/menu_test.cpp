// menu_test.cpp: the pop-up menu's entries and what choosing each of them does.
#include <cstddef>
#include <string>
#include <vector>

#include "scene_test.h"
#include "stdout_capture.h"

namespace {

// What one menu choice leaves behind, for comparing entries with each other.
struct Effect {
  int drawMode;
  std::vector<fake_glut::TimerArm> arms;
  int redisplayRequests;
};

bool operator==(const Effect& a, const Effect& b) {
  return a.drawMode == b.drawMode && a.arms == b.arms && a.redisplayRequests == b.redisplayRequests;
}

class MenuTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    CreateMainMenu();
    menuCallback = fake_glut::MenuCallbackCreated();
    menuEntries = fake_glut::MenuEntries();
  }

  // Chooses entry number `entry` (1-based) from a fresh scene showing draw mode 3.
  Effect Choose(std::size_t entry) {
    SceneTest::SetUp();
    drawMode = 3;
    menuCallback(menuEntries.at(entry - 1).value);
    return {drawMode, fake_glut::Arms(), fake_glut::RedisplayRequests()};
  }

  // Kept from start-up, since every choice below begins from a fresh fake GLUT.
  fake_glut::MenuCallback menuCallback = nullptr;
  std::vector<fake_glut::MenuEntry> menuEntries;
};

TEST_F(MenuTest, ElevenEntriesInOrderOnTheRightButton) {
  EXPECT_EQ(menuCallback, &MyMainMenu);
  EXPECT_EQ(fake_glut::MenuAttachedButton(), GLUT_RIGHT_BUTTON);

  const int values[] = {1, 2, 3, 4, 5, 5, 1, 1, 1, 1, 1};
  ASSERT_EQ(menuEntries.size(), 11u);
  for (std::size_t i = 0; i < menuEntries.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i + 1 << ": " << menuEntries[i].label);
    EXPECT_EQ(menuEntries[i].value, values[i]);
  }
}

TEST_F(MenuTest, EntriesOneToFourSelectTheirDrawModeAndRequestARedraw) {
  for (std::size_t entry = 1; entry <= 4; ++entry) {
    SCOPED_TRACE(testing::Message() << "entry " << entry);
    const Effect effect = Choose(entry);
    EXPECT_EQ(effect.drawMode, static_cast<int>(entry));
    EXPECT_TRUE(effect.arms.empty());
    EXPECT_EQ(effect.redisplayRequests, 1);
  }
}

TEST_F(MenuTest, EntryFiveStartsOneScaleChain) {
  const Effect effect = Choose(5);
  EXPECT_EQ(effect.drawMode, 5);
  ASSERT_EQ(effect.arms.size(), 1u);
  EXPECT_EQ(effect.arms[0].callback, &MyTimer);
  EXPECT_EQ(effect.arms[0].delayMs, kTickMs);
  EXPECT_EQ(effect.arms[0].value, kScaleTimerValue);
  EXPECT_EQ(effect.redisplayRequests, 1);
}

TEST_F(MenuTest, EntrySixActsAsFiveAndSevenToElevenAsOne) {
  EXPECT_TRUE(Choose(6) == Choose(5));
  for (std::size_t entry = 7; entry <= 11; ++entry) {
    SCOPED_TRACE(testing::Message() << "entry " << entry);
    EXPECT_TRUE(Choose(entry) == Choose(1));
  }
}

TEST_F(MenuTest, EveryChoiceOfFiveAddsAChainAndOtherEntriesStopNone) {
  menuCallback(5);
  menuCallback(5);  // already in draw mode 5: a further chain all the same
  EXPECT_EQ(drawMode, 5);
  EXPECT_EQ(fake_glut::PendingCount(&MyTimer), 2u);

  for (int value : {1, 2, 3, 4}) {
    menuCallback(value);
    EXPECT_EQ(drawMode, value);
  }
  testing::internal::CaptureStdout();
  fake_glut::AdvanceBy(30 * kTickMs);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(fake_glut::PendingCount(&MyTimer) + fake_glut::PendingCount(&MyTimer2), 2u);
  EXPECT_NE(scaleFactor, 1.0f) << "the chains went on stepping the scale";
}

TEST_F(MenuTest, UnknownValuesLeaveTheDrawModeAlone) {
  for (int value : {0, 6, -1, 100}) {
    SCOPED_TRACE(testing::Message() << "value " << value);
    SceneTest::SetUp();
    drawMode = 2;
    MyMainMenu(value);
    EXPECT_EQ(drawMode, 2);
    EXPECT_TRUE(fake_glut::Arms().empty());
    EXPECT_EQ(fake_glut::RedisplayRequests(), 1);
  }
}

}  // namespace
