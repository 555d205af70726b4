// menu_e2e_test.cpp: the real program's pop-up menu driven with synthetic mouse events on a
// private Xvfb: what each entry draws, the scale trace that entries 5 and 6 start, and its pace.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) break gtest's headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app_probe.h"
#include "program_facts.h"
#include "program_fixture.h"
#include "scene_footprint.h"
#include "x_harness.h"

namespace {

using appprobe::TraceLine;
using facts::ExpectedTraceFromOne;
using programtest::Frame;
using programtest::kReportLines;
using programtest::kStartTimeout;
using scenecheck::CheckScene;
using scenecheck::CubeOutline;
using scenecheck::kCleanFrameMismatches;
using scenecheck::kMarginPx;
using scenecheck::ToViewportPx;
using xharness::Clock;
using xharness::kRed;
using xharness::milliseconds;
using xharness::OutputLine;
using xharness::RgbImage;

// A point in the window beside the open menu.
constexpr int kBesideMenuX = 10;
constexpr int kBesideMenuY = 10;
constexpr milliseconds kMenuTimeout(10000);
constexpr milliseconds kTraceTimeout(20000);
constexpr double kScaleStep = 0.1;
// Bounds on the mean time between ticks of one chain: 100 ms, served late on a loaded machine.
constexpr double kFastestTickMs = 90.0;
constexpr double kSlowestTickMs = 150.0;

::testing::AssertionResult ChooseMenuEntry(const xharness::PrivateXServer& server, Window window,
                                           int entry) {
  const std::string failure =
      appprobe::ChooseMenuEntry(server.display(), window, entry, kMenuTimeout);
  if (failure.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failure;
}

// One tick of a scale chain: when its first line arrived and the scale it left. MyTimer prints
// its step first and the scale on its next two lines; MyTimer2 prints the scale on all three.
struct Tick {
  Clock::time_point arrival;
  double scale = 0.0;
};

// The complete ticks among the lines after the report.
std::vector<Tick> TraceTicks(const std::vector<OutputLine>& lines) {
  std::vector<Tick> ticks;
  for (std::size_t k = kReportLines; k + 1 < lines.size(); ++k) {
    const std::optional<TraceLine> line = appprobe::ParseTraceLine(lines[k].text);
    if (!line || line->mark != 0) continue;
    const std::optional<TraceLine> next = appprobe::ParseTraceLine(lines[k + 1].text);
    if (!next) continue;
    ticks.push_back(Tick{lines[k].arrival, line->shrinking ? line->value : next->value});
  }
  return ticks;
}

// Mean milliseconds between the first and the last of the ticks, per interval.
double MeanIntervalMs(const std::vector<Tick>& ticks) {
  const double spanMs =
      std::chrono::duration<double, std::milli>(ticks.back().arrival - ticks.front().arrival)
          .count();
  return spanMs / static_cast<double>(ticks.size() - 1);
}

// How a frame of draw mode 5 fits the cube at the scales one tick either side of the traced one.
struct ScaledFit {
  double scale = 0.0;
  double angleDeg = 0.0;
  int mismatches = std::numeric_limits<int>::max();
  scenecheck::SceneReport report;
};

ScaledFit FitScaledFrame(const RgbImage& image, double tracedScale) {
  ScaledFit best;
  for (double scale : {tracedScale - kScaleStep, tracedScale, tracedScale + kScaleStep}) {
    const scenecheck::AngleFit fit = scenecheck::FitAngle(image, 5, scale);
    if (fit.mismatches < best.mismatches) {
      best.scale = scale;
      best.angleDeg = fit.angleDeg;
      best.mismatches = fit.mismatches;
    }
  }
  best.report =
      CheckScene(image, ToViewportPx(CubeOutline(5, best.angleDeg, best.scale)), kMarginPx);
  return best;
}

// True if the image shows draw mode 1 to 4 at scale 1 and some angle.
bool ShowsDrawMode(const RgbImage& image, int drawMode) {
  if (!programtest::IsDrawn(image)) return false;
  const scenecheck::AngleFit fit = scenecheck::FitAngle(image, drawMode, 1.0);
  return fit.mismatches <= kCleanFrameMismatches &&
         CheckScene(image, ToViewportPx(CubeOutline(drawMode, fit.angleDeg, 1.0)), kMarginPx)
                 .wrongPixels == 0;
}

class MenuE2eTest : public programtest::ProgramTest {
 protected:
  // Starts the program and waits for its first frame, edgePx a side, and its whole report.
  Window StartAndWaitForFirstFrame(const std::vector<std::string>& extraEnv = {},
                                   int edgePx = facts::kWindowPx) {
    StartApp(DisplayArgs(), extraEnv);
    const Window window = WaitForAppWindow();
    if (window == 0 || !WaitForDrawnFrame(window, edgePx)) return 0;
    if (!app->WaitForLines(kReportLines, kStartTimeout)) return 0;
    return window;
  }

  // Waits until the scene, after a menu choice, shows draw mode 1 to 4.
  bool WaitForDrawMode(Window window, int drawMode) {
    std::optional<Frame> last;
    const bool shown = xharness::WaitUntil(
        [&] {
          last = Grab(window);
          return last && ShowsDrawMode(last->image, drawMode);
        },
        kTraceTimeout, milliseconds(20));
    if (!shown && last) {
      ADD_FAILURE() << "draw mode " << drawMode << " not shown; last frame saved as "
                    << scenecheck::SaveForInspection(last->image,
                                                     "menu_mode" + std::to_string(drawMode));
    }
    return shown;
  }

  // Waits until at least count complete ticks have been traced.
  std::vector<Tick> WaitForTicks(std::size_t count) {
    std::vector<Tick> ticks;
    xharness::WaitUntil(
        [&] {
          ticks = TraceTicks(app->Lines());
          return ticks.size() >= count;
        },
        kTraceTimeout);
    return ticks;
  }

  // Grabs the window (hiding nothing: no menu is open) with the scale traced by the time of the
  // grab.
  struct ScaledFrame {
    RgbImage image;
    double tracedScale = 1.0;
    std::size_t ticks = 0;
  };
  // A frame with the scale last traced before it was grabbed. A frame grabbed across a tick is
  // left out: on a busy machine the redraw can then lag the trace by two ticks.
  std::optional<ScaledFrame> GrabWithTracedScale(Window window) {
    if (!app->SyncOutput(kStartTimeout)) return std::nullopt;
    const std::vector<Tick> ticks = TraceTicks(app->Lines());
    const std::optional<Frame> frame = Grab(window);
    if (!frame || !programtest::IsDrawn(frame->image) || !app->SyncOutput(kStartTimeout) ||
        TraceTicks(app->Lines()).size() != ticks.size()) {
      return std::nullopt;
    }
    return ScaledFrame{frame->image, ticks.empty() ? 1.0 : ticks.back().scale, ticks.size()};
  }
};

TEST_F(MenuE2eTest, AMenuDismissedWithoutAChoiceChoosesNothing) {
  const Window window = StartAndWaitForFirstFrame();
  ASSERT_NE(window, 0u);
  Display* display = server.display();
  const std::optional<xharness::WindowGeometry> place = xharness::GetGeometry(display, window);
  ASSERT_TRUE(place);

  // A click opens the menu at the pointer and leaves it open, eleven entries high.
  Window menu = appprobe::OpenMenuByClick(display, window, kMenuTimeout);
  ASSERT_NE(menu, 0u) << "the menu did not open";
  const std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->x, place->x + appprobe::kMenuPressX);
  EXPECT_EQ(box->y, place->y + appprobe::kMenuPressY);
  EXPECT_GT(appprobe::MenuEntryHeightPx(box->height), 0) << "menu height " << box->height;

  // The cube turns on while the menu is open: two rotation ticks are drawn beside it.
  std::optional<Frame> frame = Grab(window);
  ASSERT_TRUE(frame);
  const double openedAtDeg = scenecheck::FitAngle(frame->image, 1, 1.0).angleDeg;
  ASSERT_TRUE(xharness::WaitUntil(
      [&] {
        frame = Grab(window);
        return frame &&
               std::fabs(scenecheck::FitAngle(frame->image, 1, 1.0).angleDeg - openedAtDeg) >= 4.0;
      },
      kTraceTimeout, milliseconds(20)));
  EXPECT_EQ(appprobe::FindOpenMenu(display), menu) << "the menu closed by itself";

  // A left click in the window beside the menu closes it; so does Escape, which closes only the
  // menu and not the window.
  xharness::MovePointer(display, place->x + kBesideMenuX, place->y + kBesideMenuY);
  xharness::PressButton(display, appprobe::kLeftButton);
  xharness::ReleaseButton(display, appprobe::kLeftButton);
  ASSERT_TRUE(
      xharness::WaitUntil([&] { return appprobe::FindOpenMenu(display) == 0; }, kMenuTimeout));
  menu = appprobe::OpenMenuByClick(display, window, kMenuTimeout);
  ASSERT_NE(menu, 0u) << "the menu did not open again";
  xharness::TypeKey(display, XK_Escape);
  ASSERT_TRUE(
      xharness::WaitUntil([&] { return appprobe::FindOpenMenu(display) == 0; }, kMenuTimeout));

  // Once the uncovered part is drawn again the scene is still that of draw mode 1, and no
  // animation started.
  ASSERT_TRUE(WaitForDrawMode(window, 1));
  EXPECT_TRUE(app->Running());
  ASSERT_TRUE(app->SyncOutput(kStartTimeout));
  EXPECT_EQ(app->Lines().size(), kReportLines) << "a trace started: " << app->Lines().back().text;
}

// A machine without a font for the labels: fontconfig is shown only the DejaVu fonts, which have
// no Hangul. The menu still chooses, and one line on standard error says what to install.
TEST_F(MenuE2eTest, WithoutAKoreanFontTheMenuStillWorksAndOneLineSaysWhatToInstall) {
  char folder[] = "/tmp/menu_e2e_fonts_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string config = std::string(folder) + "/fonts.conf";
  std::ofstream(config)
      << "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts/truetype/dejavu"
         "</dir><cachedir>"
      << folder << "/cache</cachedir></fontconfig>\n";
  const Window window = StartAndWaitForFirstFrame({"FONTCONFIG_FILE=" + config});
  const bool chose = window != 0 && ChooseMenuEntry(server, window, 5);
  const bool traced = chose && app->WaitForLines(kReportLines + 3, kTraceTimeout);
  std::filesystem::remove_all(folder);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(chose);
  ASSERT_TRUE(traced);
  EXPECT_EQ(app->Lines()[kReportLines].text, "MyTimer  0.100000");
  const std::string warned = app->Stderr();
  EXPECT_EQ(std::count(warned.begin(), warned.end(), '\n'), 1) << warned;
  EXPECT_NE(warned.find("fonts-nanum"), std::string::npos) << warned;
}

int DifferingPixels(const RgbImage& a, const RgbImage& b) {
  if (a.width() != b.width() || a.height() != b.height()) return std::numeric_limits<int>::max();
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) differing += a.At(x, y) != b.At(x, y) ? 1 : 0;
  }
  return differing;
}

// The program leaves the locale as it is (C) and chooses the menu's font after the first frame,
// yet the menu, opened as soon as the window is drawn, shows the same pixels whether the program
// starts in a UTF-8 locale or in C; and Escape closes it, then the window, in either. The locale
// variable comes last in the environment, so it counts only where the test's own has no LC_ALL
// (getenv takes the first). At 192 dpi (Xft.dpi) the window is 600 pixels a side, filled by the
// scene, and the menu's type is twice the size.
TEST_F(MenuE2eTest, TheOpenMenuAndEscapeAreTheSameInAUtf8LocaleAndInCAndTwiceAsLargeAt192Dpi) {
  const std::pair<const char*, int> kRuns[] = {
      {"LC_ALL=C.UTF-8", 96}, {"LC_ALL=C", 96}, {"LC_ALL=C", 192}};
  std::vector<RgbImage> menus;
  Display* display = server.display();
  for (const auto& [locale, dpi] : kRuns) {
    SCOPED_TRACE(std::string(locale) + " at " + std::to_string(dpi) + " dpi");
    const int edgePx = facts::kWindowPx * dpi / 96;
    if (dpi != 96) xharness::SetResources(display, "Xft.dpi:\t" + std::to_string(dpi) + "\n");
    const Window window = StartAndWaitForFirstFrame({locale}, edgePx);
    ASSERT_NE(window, 0u);
    const std::optional<Frame> frame = Grab(window);
    ASSERT_TRUE(frame && frame->image.width() == edgePx && frame->image.height() == edgePx);
    // The y axis at the top edge; the cube 0.13 units above and below its centre at x = 0.6.
    const auto red = [&](int x, int yUp) { return frame->image.AtFromBottom(x, yUp) == kRed; };
    const int cubeX = edgePx * 8 / 10;
    const int insidePx = edgePx * 13 / 200;
    EXPECT_TRUE((red(edgePx / 2, edgePx - 3) || red(edgePx / 2 - 1, edgePx - 3)) &&
                red(cubeX, edgePx / 2 + insidePx) && red(cubeX, edgePx / 2 - insidePx))
        << "saved as " << scenecheck::SaveForInspection(frame->image, "dpi");
    const Window menu = appprobe::OpenMenuByClick(display, window, kMenuTimeout);
    ASSERT_NE(menu, 0u) << "the menu did not open";
    // Drawn once two grabs 100 ms apart agree.
    std::optional<RgbImage> last;
    std::optional<RgbImage> grabbed;
    ASSERT_TRUE(xharness::WaitUntil(
        [&] {
          last = std::move(grabbed);
          grabbed = xharness::GrabWindow(display, menu);
          return last && grabbed && DifferingPixels(*last, *grabbed) == 0;
        },
        kMenuTimeout, milliseconds(100)));
    menus.push_back(*grabbed);
    // The pointer stays in the window, where the keyboard follows it without a window manager.
    xharness::TypeKey(display, XK_Escape);
    ASSERT_TRUE(
        xharness::WaitUntil([&] { return appprobe::FindOpenMenu(display) == 0; }, kMenuTimeout));
    xharness::TypeKey(display, XK_Escape);
    ASSERT_TRUE(app->WaitExit(kStartTimeout)) << "Escape did not end the program";
  }
  EXPECT_EQ(DifferingPixels(menus[0], menus[1]), 0) << "the locale changes the menu";
  // Entries, less their leading, twice as high and labels twice as wide.
  const auto typePx = [](const RgbImage& menu) {
    return appprobe::MenuEntryHeightPx(menu.height()) - appprobe::kMenuLeadingPx;
  };
  EXPECT_NEAR(1.0 * typePx(menus[2]) / typePx(menus[1]), 2.0, 0.1) << menus[2].height();
  EXPECT_NEAR(1.0 * menus[2].width() / menus[1].width(), 2.0, 0.1) << menus[2].width();
}

TEST_F(MenuE2eTest, EntryFiveStartsTheTraceAndGrowsTheCubeAtTheOrigin) {
  const Window window = StartAndWaitForFirstFrame();
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(app->SyncOutput(kStartTimeout));
  ASSERT_EQ(app->Lines().size(), kReportLines) << "traced before any choice";

  ASSERT_TRUE(ChooseMenuEntry(server, window, 5));
  // Frames with the scale traced at the time, one per tick, until the chain has grown to 2.0
  // and turned; the analysis is left until then so that the grabs keep pace with the ticks.
  const std::vector<std::string> expected = ExpectedTraceFromOne();
  std::vector<ScaledFrame> frames;
  ASSERT_TRUE(xharness::WaitUntil(
      [&] {
        std::optional<ScaledFrame> frame = GrabWithTracedScale(window);
        if (frame && (frames.empty() || frames.back().ticks < frame->ticks)) {
          frames.push_back(*frame);
        }
        return app->Lines().size() >= kReportLines + expected.size();
      },
      kTraceTimeout, milliseconds(20)))
      << "the trace stopped after " << app->Lines().size() - kReportLines << " lines";

  const std::vector<OutputLine> lines = app->Lines();
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(lines[kReportLines + k].text, expected[k]) << "trace line " << k + 1;
  }
  const std::vector<Tick> ticks = TraceTicks(lines);
  ASSERT_GE(ticks.size(), 12u);
  const double meanMs = MeanIntervalMs(std::vector<Tick>(ticks.begin(), ticks.begin() + 12));
  EXPECT_GE(meanMs, kFastestTickMs);
  EXPECT_LE(meanMs, kSlowestTickMs);

  // While the chain grows (ticks 1 to 10) the cube sits at the origin, scaled as traced give or
  // take the tick between a trace line and the next redraw, and larger frame by frame. Three
  // frames, the first, a middle and the last, keep the fitting quick in sanitizer builds.
  std::vector<ScaledFrame> growing;
  for (const ScaledFrame& frame : frames) {
    if (frame.ticks >= 1 && frame.ticks <= 10) growing.push_back(frame);
  }
  ASSERT_GE(growing.size(), 3u) << "too few frames caught while the cube grew";
  ASSERT_GE(growing.back().ticks - growing.front().ticks, 4u) << "frames caught too close together";
  std::vector<double> grownScales;
  for (std::size_t k : {std::size_t{0}, growing.size() / 2, growing.size() - 1}) {
    const ScaledFrame& frame = growing[k];
    SCOPED_TRACE("frame after tick " + std::to_string(frame.ticks) + ", traced scale " +
                 std::to_string(frame.tracedScale));
    const ScaledFit fit = FitScaledFrame(frame.image, frame.tracedScale);
    EXPECT_EQ(fit.report.wrongPixels, 0)
        << "best fit at scale " << fit.scale << ", " << fit.angleDeg
        << " degrees: " << fit.report.Describe() << "\nsaved as "
        << scenecheck::SaveForInspection(frame.image, "menu_grow_" + std::to_string(frame.ticks));
    grownScales.push_back(fit.scale);
  }
  // A frame lags the trace by a tick at most, so four ticks apart it has grown by three.
  EXPECT_LE(grownScales[0], grownScales[1] + 1e-6);
  EXPECT_LE(grownScales[1], grownScales[2] + 1e-6);
  EXPECT_GE(grownScales[2] - grownScales[0], 3.0 * kScaleStep - 1e-6);
}

TEST_F(MenuE2eTest, EntryFiveTwiceRunsTwoChainsOnTheOneScale) {
  const Window window = StartAndWaitForFirstFrame();
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(ChooseMenuEntry(server, window, 5));
  ASSERT_GE(WaitForTicks(1).size(), 1u);
  ASSERT_TRUE(ChooseMenuEntry(server, window, 5));
  // The second chain's first tick is due 100 ms after the choice; count from a tick later.
  const Clock::time_point bothRunning = Clock::now() + milliseconds(200);
  constexpr std::size_t kTicksToMeasure = 20;
  std::vector<Tick> measured;
  ASSERT_TRUE(xharness::WaitUntil(
      [&] {
        measured.clear();
        for (const Tick& tick : TraceTicks(app->Lines())) {
          if (tick.arrival >= bothRunning) measured.push_back(tick);
        }
        return measured.size() >= kTicksToMeasure;
      },
      kTraceTimeout));

  // Two chains tick twice per period between them.
  const double perChainMs = 2.0 * MeanIntervalMs(measured);
  EXPECT_GE(perChainMs, kFastestTickMs);
  EXPECT_LE(perChainMs, kSlowestTickMs);
  // Each tick of either chain moves the one scale by one step, up or down.
  for (std::size_t k = 1; k < measured.size(); ++k) {
    EXPECT_NEAR(std::fabs(measured[k].scale - measured[k - 1].scale), kScaleStep, 1e-5)
        << "tick " << k << ": " << measured[k - 1].scale << " to " << measured[k].scale;
  }
}

TEST_F(MenuE2eTest, EachEntrySelectsItsDrawModeAndOnlyFiveAndSixStartATrace) {
  const Window window = StartAndWaitForFirstFrame();
  ASSERT_NE(window, 0u);
  // Consecutive choices draw different modes, so each frame found shows the latest choice; the
  // entry's value is the draw mode it selects.
  constexpr int kEntries[] = {2, 7, 3, 8, 4, 9, 2, 10, 3, 11, 4, 1};
  for (const int entry : kEntries) {
    SCOPED_TRACE("entry " + std::to_string(entry));
    ASSERT_TRUE(ChooseMenuEntry(server, window, entry));
    ASSERT_TRUE(WaitForDrawMode(window, facts::kMenuEntryValues[entry - 1]));
  }
  ASSERT_TRUE(app->SyncOutput(kStartTimeout));
  ASSERT_EQ(app->Lines().size(), kReportLines) << "traced: " << app->Lines().back().text;

  // Entry 6 does what entry 5 does: draw mode 5 and a chain starting from scale 1.0.
  ASSERT_TRUE(ChooseMenuEntry(server, window, 6));
  ASSERT_TRUE(app->WaitForLines(kReportLines + 3, kTraceTimeout));
  const std::vector<OutputLine> lines = app->Lines();
  const std::vector<std::string> expected = ExpectedTraceFromOne();
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(lines[kReportLines + k].text, expected[k]) << "trace line " << k + 1;
  }
  std::optional<ScaledFrame> frame;
  ScaledFit fit;
  EXPECT_TRUE(xharness::WaitUntil(
      [&] {
        frame = GrabWithTracedScale(window);
        if (!frame) return false;
        fit = FitScaledFrame(frame->image, frame->tracedScale);
        return fit.report.wrongPixels == 0;
      },
      kTraceTimeout, milliseconds(20)))
      << "no frame of draw mode 5 near the traced scale; last: " << fit.report.Describe();

  // Entry 9 then gives draw mode 1 back while the animation goes on tracing, unseen.
  ASSERT_TRUE(ChooseMenuEntry(server, window, 9));
  ASSERT_TRUE(WaitForDrawMode(window, 1));
  const std::size_t ticksThen = TraceTicks(app->Lines()).size();
  EXPECT_GE(WaitForTicks(ticksThen + 3).size(), ticksThen + 3) << "the trace stopped";
  const std::optional<Frame> later = Grab(window);
  ASSERT_TRUE(later);
  EXPECT_TRUE(ShowsDrawMode(later->image, 1)) << "the scale timers brought draw mode 5 back";
}

}  // namespace
