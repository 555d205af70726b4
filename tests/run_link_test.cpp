// run_link_test.cpp: the run's link: runs come back from their links as they were, and every kind
// of bad link is refused with its reason and the value found, before anything is replayed; the
// learner's calls in it, read, written in their shortest form and refused with the call at fault.
#include "run_link.h"

#include <gtest/gtest.h>

#include <string>

#include "program_facts.h"

namespace {

constexpr std::uint64_t kHourTicks = 36000;

std::string Repeat(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

TEST(RunLinkTest, RunsComeBackFromTheirLinks) {
  const run_link::Run runs[] = {{{}, std::nullopt, {}, 1},
                                {{}, 0, {}, 1},
                                {{{5, 0}, {6, 0}, {11, 7}}, kHourTicks, {}, 1},
                                {{{5, 12}, {3, 40}}, {}, {}, 1}};
  const char* const links[] = {"", "#pause=0", "#run=5@0,6@0,11@7&pause=36000", "#run=5@12,3@40"};
  for (std::size_t i = 0; i < std::size(runs); ++i) {
    SCOPED_TRACE(links[i]);
    EXPECT_EQ(run_link::Write(runs[i]), links[i]);
    const run_link::Reading back = run_link::Read(links[i]);
    EXPECT_EQ(back.reason, run_link::Reason::kNone);
    EXPECT_EQ(run_link::Write(back.run), links[i]);
  }
  // Escaped, without its '#', bare, fields the other way round: written as the page writes them.
  for (const auto& [link, written] : {std::pair{"#run=5%4010", "#run=5@10"},
                                      {"pause=3", "#pause=3"},
                                      {"#", ""},
                                      {"#pause=9&run=6@0,6@0", "#run=6@0,6@0&pause=9"}}) {
    EXPECT_EQ(run_link::Write(run_link::Read(link).run), written);
  }
  const std::string preset = std::string("#calls=") + call_list::ModeCalls(4);
  EXPECT_EQ(run_link::Write(run_link::Read(preset + "&run=5@0&speed=1").run), preset + "&run=5@0");
  for (const char* link : {"#calls=&pause=3&speed=4", "#run=5@0&pause=10&speed=2"}) {
    EXPECT_EQ(run_link::Write(run_link::Read(link).run), link);
  }
  const std::string tenAnimations = "#run=" + Repeat("5@0,", 9) + "6@0,1@0&pause=10";
  EXPECT_EQ(run_link::Write(run_link::Read(tenAnimations).run), tenAnimations);
}

TEST(RunLinkTest, BadLinksAreRefusedWithWhatWasFound) {
  using R = run_link::Reason;
  const std::string eleven = "#run=" + Repeat("6@0,", 10) + "5@0";
  const std::string manyAnimations = "#run=" + Repeat("5@0,", 494) + "5@0";
  const std::string tooLong = "#run=" + Repeat("1@0,", 600) + "1@0";
  const struct {
    std::string link;
    R reason;
    std::uint64_t found, limit;
  } cases[] = {
      {"#run=5@0,6", R::kMalformed, 0, 0},
      {"#run=5@0&run=6@1", R::kMalformed, 0, 0},
      {"#speed=3", R::kMalformed, 0, 0},
      {"#calls=glScalef(1,1,1)&calls=", R::kMalformed, 0, 0},
      {"#run=5@07", R::kMalformed, 0, 0},
      {"#run=%E0%A4%A", R::kMalformed, 0, 0},
      {"#pause=", R::kMalformed, 0, 0},
      {"#run=<b>@1", R::kMalformed, 0, 0},
      {"#run=5@0&", R::kMalformed, 0, 0},
      {"#run=5@0,", R::kMalformed, 0, 0},
      {"#pause=9999999999999", R::kMalformed, 0, 0},
      {"#run=12@0", R::kUnknownEntry, 12, facts::kMenuEntries},
      {"#run=0@0", R::kUnknownEntry, 0, facts::kMenuEntries},
      {"#run=99999999@0", R::kUnknownEntry, 99999999, facts::kMenuEntries},
      {"#run=5@10,6@9", R::kBackwards, 9, 10},
      {"#run=5@10&pause=9", R::kBackwards, 9, 10},
      {"#run=1@36001", R::kTooFar, 36001, kHourTicks},
      {"#pause=999999999", R::kTooFar, 999999999, kHourTicks},
      {eleven, R::kTooManyAnimations, 11, 10},
      {manyAnimations, R::kTooManyAnimations, 495, 10},
      {"#run=5@0,5@0,6@0,5@0&pause=36000", R::kTooMuchTrace, 4 * kHourTicks, 3 * kHourTicks},
      {tooLong, R::kTooLong, tooLong.size(), 2000},
  };
  for (const auto& bad : cases) {
    SCOPED_TRACE(bad.link.substr(0, 40));
    const run_link::Reading reading = run_link::Read(bad.link);
    EXPECT_EQ(reading.reason, bad.reason);
    EXPECT_EQ(reading.found, bad.found);
    EXPECT_EQ(reading.limit, bad.limit);
    EXPECT_TRUE(reading.run.choices.empty() && !reading.run.pausedAt);
  }
  // The writer refuses the same runs, so the page is never handed a link it would refuse.
  EXPECT_EQ(run_link::Write({{{1, kHourTicks + 1}}, {}, {}, 1}), std::nullopt);
  EXPECT_EQ(run_link::Write({{{5, 0}}, kHourTicks + 1, {}, 1}), std::nullopt);
  EXPECT_EQ(run_link::Write(run_link::Run{{{0, 0}}, {}, {}, 1}), std::nullopt);
  EXPECT_EQ(run_link::Write({std::vector<program_clock::Choice>(700, {1, 0}), {}, {}, 1}),
            std::nullopt);
  EXPECT_EQ(run_link::Write({{}, {}, {}, 3}), std::nullopt);
}

TEST(RunLinkTest, CallsAreReadCheckedAndWrittenShortest) {
  // Each mode's calls read back as written; numbers in any form come back in their shortest.
  for (int mode = 1; mode <= 5; ++mode) {
    const call_list::Reading reading = call_list::Read(call_list::ModeCalls(mode));
    EXPECT_EQ(reading.reason, call_list::Reason::kNone);
    EXPECT_EQ(call_list::Write(reading.calls), call_list::ModeCalls(mode));
  }
  EXPECT_EQ(call_list::Write(call_list::Read("glTranslatef(.5,+6.00E-1,-0);glPushMatrix();"
                                             "glRotatef(1e20,2.5e-3,1e-9,16777217);glPopMatrix()")
                                 .calls),
            "glTranslatef(0.5,0.6,-0);glPushMatrix();glRotatef(100000000000000000000,0.0025,"
            "1e-9,16777216);glPopMatrix()");
  for (const auto& [number, shortest] : {std::pair{"3.4028235e38", "3.4028235e+38"},
                                         {"1e-45", "1e-45"},
                                         {"0.1", "0.1"},
                                         {"1e-7", "1e-7"},
                                         {"0.000001", "0.000001"},
                                         {"123456789", "123456790"}}) {
    EXPECT_EQ(call_list::WriteArgument(call_list::ReadArgument(number).argument), shortest);
  }
  using S = call_list::ArgumentState;
  for (const auto& [text, state] : {std::pair{"-", S::kIncomplete},
                                    {"0.", S::kIncomplete},
                                    {"1e", S::kIncomplete},
                                    {".", S::kIncomplete},
                                    {"-.", S::kIncomplete},
                                    {"spin", S::kIncomplete},
                                    {"", S::kEmpty},
                                    {"nan", S::kNotANumber},
                                    {"-INF", S::kInfinite},
                                    {"1e39", S::kOutOfRange},
                                    {"0x10", S::kMalformed},
                                    {"1 ", S::kMalformed},
                                    {"1e5e5", S::kMalformed},
                                    {"scaleFactor", S::kOk},
                                    {"-.5e-3", S::kOk}}) {
    EXPECT_EQ(call_list::ReadArgument(text).state, state) << text;
  }
  EXPECT_EQ(call_list::ReadArgument(std::string(41, '1')).state, S::kMalformed);

  // A bad list in a link: its reason, the call at fault and what was found there.
  using C = call_list::Reason;
  const struct {
    std::string calls;
    C reason;
    std::size_t position;
    std::uint64_t found, limit;
  } cases[] = {
      {"glLoadIdentity();glTranslate(1,0,0)", C::kUnknownCall, 2, 0, 0},
      {"glRotatef(30,0,0)", C::kArgumentCount, 1, 3, 4},
      {"glPushMatrix(1)", C::kArgumentCount, 1, 1, 0},
      {"glScalef(1,1e39,1)", C::kBadNumber, 1, 2, 0},
      {"glScalef(1,nan,1)", C::kBadNumber, 1, 2, 0},
      {"glScalef(1,,1)", C::kBadNumber, 1, 2, 0},
      {Repeat("glPushMatrix();", 16) + "glPopMatrix()", C::kTooManyCalls, 17, 17, 16},
      {"glScalef(<b>1</b>,1,1)", C::kMalformed, 1, 0, 0},
      {"glLoadIdentity();;glPopMatrix()", C::kMalformed, 2, 0, 0},
      {"glLoadIdentity() ", C::kMalformed, 1, 0, 0},
  };
  for (const auto& bad : cases) {
    SCOPED_TRACE(bad.calls);
    const run_link::Reading reading = run_link::Read("#calls=" + bad.calls + "&run=5@0");
    EXPECT_EQ(reading.reason, run_link::Reason::kCalls);
    EXPECT_EQ(reading.calls.reason, bad.reason);
    EXPECT_EQ(reading.calls.position, bad.position);
    EXPECT_EQ(reading.calls.found, bad.found);
    EXPECT_EQ(reading.calls.limit, bad.limit);
    EXPECT_TRUE(reading.run.choices.empty() && !reading.run.calls);
  }
  // Sixteen calls in their longest written form do not fit an address with a long run.
  const std::string longest = Repeat("glRotatef(1e20,1e20,1e20,1e20);", 15) + "glutSolidCube(1)";
  const std::string link = "#calls=" + longest + "&run=" + Repeat("1@0,", 200) + "1@0";
  EXPECT_EQ(run_link::Read(link).reason, run_link::Reason::kTooLong);
}

}  // namespace
