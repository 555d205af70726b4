// menu_test.cpp: the pop-up menu's entries and what choosing each of them does.
#include "menu.h"

#include <cstddef>
#include <string>
#include <vector>

#include "program_facts.h"
#include "scene_test.h"
#include "stdout_capture.h"

namespace {

// Bytes of a UTF-8 text in code page 949, or -1 when it holds a character other than ASCII and
// the Hangul syllables (U+AC00 to U+D7A3), which code page 949 gives one and two bytes each.
long Cp949Length(const std::string& utf8) {
  constexpr unsigned kFirstSyllable = 0xAC00;
  constexpr unsigned kLastSyllable = 0xD7A3;
  long bytes = 0;
  for (std::size_t k = 0; k < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[k]);
    if (lead < 0x80) {
      ++bytes;
      ++k;
      continue;
    }
    if ((lead & 0xF0) != 0xE0 || k + 2 >= utf8.size()) return -1;
    const auto second = static_cast<unsigned char>(utf8[k + 1]);
    const auto third = static_cast<unsigned char>(utf8[k + 2]);
    if ((second & 0xC0) != 0x80 || (third & 0xC0) != 0x80) return -1;
    const unsigned character = ((lead & 0x0Fu) << 12) | ((second & 0x3Fu) << 6) | (third & 0x3Fu);
    if (character < kFirstSyllable || character > kLastSyllable) return -1;
    bytes += 2;
    k += 3;
  }
  return bytes;
}

// What one menu choice leaves behind, for comparing entries with each other.
struct Effect {
  int drawMode;
  std::vector<fake_glut::TimerArm> arms;
  int redisplayRequests;
};

bool operator==(const Effect& a, const Effect& b) {
  return a.drawMode == b.drawMode && a.arms == b.arms && a.redisplayRequests == b.redisplayRequests;
}

// Every platform shows this table and calls MyMainMenu with the chosen entry's value.
class MenuTest : public SceneTest {
 protected:
  // Chooses entry number `entry` (1-based) from a fresh scene showing draw mode 3.
  Effect Choose(std::size_t entry) {
    SceneTest::SetUp();
    drawMode = 3;
    MyMainMenu(kMainMenuEntries.at(entry - 1).value);
    return {drawMode, fake_glut::Arms(), fake_glut::RedisplayRequests()};
  }
};

TEST_F(MenuTest, ElevenEntriesInOrder) {
  // A lost blank or a wrong character changes the length in the Korean code page.
  const long cp949Bytes[] = {43, 34, 39, 46, 42, 47, 43, 24, 24, 51, 22};
  ASSERT_EQ(kMainMenuEntries.size(), static_cast<std::size_t>(facts::kMenuEntries));
  for (std::size_t i = 0; i < kMainMenuEntries.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "entry " << i + 1 << ": " << kMainMenuEntries[i].label);
    EXPECT_EQ(kMainMenuEntries[i].value, facts::kMenuEntryValues[i]);
    EXPECT_EQ(Cp949Length(kMainMenuEntries[i].label), cp949Bytes[i]);
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
  EXPECT_EQ(effect.arms[0].delayMs, facts::kTickMs);
  EXPECT_EQ(effect.arms[0].value, kScaleTimerValue);
  EXPECT_EQ(effect.redisplayRequests, 1);
}

TEST_F(MenuTest, EntrySixActsAsFiveAndSevenToElevenAsOne) {
  EXPECT_TRUE(Choose(6) == Choose(5));
  for (std::size_t entry = 7; entry <= static_cast<std::size_t>(facts::kMenuEntries); ++entry) {
    SCOPED_TRACE(testing::Message() << "entry " << entry);
    EXPECT_TRUE(Choose(entry) == Choose(1));
  }
}

TEST_F(MenuTest, EveryChoiceOfFiveAddsAChainAndOtherEntriesStopNone) {
  MyMainMenu(5);
  MyMainMenu(5);  // already in draw mode 5: a further chain all the same
  EXPECT_EQ(drawMode, 5);
  EXPECT_EQ(fake_glut::PendingCount(&MyTimer), 2u);

  for (int value : {1, 2, 3, 4}) {
    MyMainMenu(value);
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
