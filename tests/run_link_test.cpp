// run_link_test.cpp: the run's link: runs come back from their links as they were, and every kind
// of bad link is refused with its reason and the value found, before anything is replayed.
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
  const run_link::Run runs[] = {{{}, std::nullopt},
                                {{}, 0},
                                {{{5, 0}, {6, 0}, {11, 7}}, kHourTicks},
                                {{{5, 12}, {3, 40}}, {}}};
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
      {"#speed=2", R::kMalformed, 0, 0},
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
  EXPECT_EQ(run_link::Write({{{1, kHourTicks + 1}}, {}}), std::nullopt);
  EXPECT_EQ(run_link::Write({{{5, 0}}, kHourTicks + 1}), std::nullopt);
  EXPECT_EQ(run_link::Write(run_link::Run{{{0, 0}}, {}}), std::nullopt);
  EXPECT_EQ(run_link::Write({std::vector<program_clock::Choice>(700, {1, 0}), {}}), std::nullopt);
}

}  // namespace
