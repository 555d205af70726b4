// wine_e2e_test.cpp: the Windows build (sample-drawing.exe) under Wine on a private Xvfb: its
// report on a redirected standard output, its window with the cube, Windows' own popup menu driven
// with synthetic mouse events, and its end when the window closes.
//
// Run by scripts/test-windows.sh, which names the exe (SAMPLE_DRAWING_EXE), Wine's launcher (WINE)
// and the Wine prefix it made for the run (WINEPREFIX, passed on to the program), and a copy of
// that prefix set to 144 dpi, a scale of 150% (WINEPREFIX_144DPI).
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) break gtest's headers.
#include <X11/Xlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app_probe.h"
#include "program_facts.h"
#include "program_fixture.h"
#include "scene_footprint.h"
#include "x_harness.h"

namespace {

using facts::kReportLines;
using facts::kWindowPx;
using facts::kWindowTitle;
using scenecheck::kCleanFrameMismatches;
using scenecheck::kMarginPx;
using xharness::milliseconds;

// The fixture's, doubled: Wine starts a program in a second or two, a loaded machine takes longer.
constexpr milliseconds kStartTimeout = 2 * programtest::kStartTimeout;
constexpr milliseconds kMenuTimeout(10000);
constexpr milliseconds kTraceTimeout(20000);
constexpr char kWineLifetimeS[] = "120";  // timeout(1) ends a Wine process left running this long
// Where the right button goes down, from the window's top-left corner, and where a left click
// beside the open menu dismisses it.
constexpr int kPressX = 40;
constexpr int kPressY = 60;
constexpr int kBesideMenuX = 10;
constexpr int kBesideMenuY = 10;
// A column inside a highlighted entry's bar, left of every label.
constexpr int kHighlightProbePx = 6;

std::string Required(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The text of each line, its CR removed; false in `crlf` if any line did not end with one.
std::vector<std::string> WithoutCr(const std::vector<xharness::OutputLine>& lines, bool& crlf) {
  std::vector<std::string> texts;
  crlf = true;
  for (const xharness::OutputLine& line : lines) {
    std::string text = line.text;
    if (text.empty() || text.back() != '\r') {
      crlf = false;
    } else {
      text.pop_back();
    }
    texts.push_back(text);
  }
  return texts;
}

bool ShowsDrawModeOne(const xharness::RgbImage& image) {
  if (!programtest::IsDrawn(image)) return false;
  const scenecheck::AngleFit fit = scenecheck::FitAngle(image, 1, 1.0);
  return fit.mismatches <= kCleanFrameMismatches &&
         scenecheck::CheckScene(
             image, scenecheck::ToViewportPx(scenecheck::CubeOutline(1, fit.angleDeg, 1.0)),
             kMarginPx)
                 .wrongPixels == 0;
}

// One X server for the whole suite: Wine's desktop process stays connected to the display the
// first program used, so every program of the run shares it.
class WineE2eTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new xharness::PrivateXServer(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void TearDown() override {
    if (HasFailure() && app) std::cerr << "program stderr:\n" << app->Stderr() << "\n";
    app.reset();
  }

  // Starts the exe with its standard output on a pipe and waits for its drawn window; on the
  // suite's server in the run's own Wine prefix unless others are given.
  Window StartAndWaitForWindow(xharness::PrivateXServer* onServer = server,
                               const std::string& prefix = "") {
    const std::string exe = Required("SAMPLE_DRAWING_EXE");
    const std::string wine = Required("WINE");
    if (exe.empty() || wine.empty() || Required("WINEPREFIX").empty()) {
      ADD_FAILURE() << "SAMPLE_DRAWING_EXE, WINE and WINEPREFIX must be set (test-windows.sh)";
      return 0;
    }
    std::vector<std::string> env = xharness::EnvironmentWithoutDisplay();
    env.push_back("DISPLAY=" + onServer->displayName());
    if (!prefix.empty()) {
      std::replace_if(
          env.begin(), env.end(),
          [](const std::string& e) { return e.rfind("WINEPREFIX=", 0) == 0; },
          "WINEPREFIX=" + prefix);
    }
    app = std::make_unique<xharness::ChildProcess>(
        "timeout", std::vector<std::string>{"-k", "5", kWineLifetimeS, wine, exe}, env);
    Display* display = onServer->display();
    const Window window = xharness::WaitForWindow(display, kWindowTitle, kStartTimeout);
    if (window == 0 || !xharness::WaitWindowViewable(display, window, kStartTimeout)) {
      return 0;
    }
    return window;
  }

  std::optional<xharness::RgbImage> WaitForDrawnFrame(Window window) {
    std::optional<xharness::RgbImage> image;
    xharness::WaitUntil(
        [&] {
          image = xharness::GrabWindow(server->display(), window);
          return image && ShowsDrawModeOne(*image);
        },
        kStartTimeout, milliseconds(20));
    return image && ShowsDrawModeOne(*image) ? image : std::nullopt;
  }

  // Presses the right button in the window and waits for the menu; the button stays down.
  Window PressForMenu(Window window) {
    const std::optional<xharness::WindowGeometry> place =
        xharness::GetGeometry(server->display(), window);
    if (!place) return 0;
    xharness::MovePointer(server->display(), place->x + kPressX, place->y + kPressY);
    xharness::PressButton(server->display(), appprobe::kRightButton);
    Window menu = 0;
    xharness::WaitUntil(
        [&] {
          menu = appprobe::FindOpenMenu(server->display());
          return menu != 0;
        },
        kMenuTimeout);
    return menu;
  }

  bool WaitForMenuClosed() {
    return xharness::WaitUntil([&] { return appprobe::FindOpenMenu(server->display()) == 0; },
                               kMenuTimeout);
  }

  static xharness::PrivateXServer* server;
  std::unique_ptr<xharness::ChildProcess> app;
};

xharness::PrivateXServer* WineE2eTest::server = nullptr;

TEST_F(WineE2eTest, ReportOnARedirectedOutputThenTheCubeAndClosingEndsWithStatusZero) {
  const Window window = StartAndWaitForWindow();
  ASSERT_NE(window, 0u) << "no window titled \"" << kWindowTitle << "\"";
  const std::optional<xharness::WindowGeometry> geometry =
      xharness::GetGeometry(server->display(), window);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width, kWindowPx);
  EXPECT_EQ(geometry->height, kWindowPx);

  const std::optional<xharness::RgbImage> frame = WaitForDrawnFrame(window);
  ASSERT_TRUE(frame) << "the window never showed draw mode 1";
  const scenecheck::AngleFit fit = scenecheck::FitAngle(*frame, 1, 1.0);
  const scenecheck::SceneReport report = scenecheck::CheckScene(
      *frame, scenecheck::ToViewportPx(scenecheck::CubeOutline(1, fit.angleDeg, 1.0)), kMarginPx);
  EXPECT_EQ(report.wrongPixels, 0) << report.Describe();

  // The reopen on the console is skipped for a redirected output: the pipe gets the report, in
  // text mode, so every line ends with CR LF.
  ASSERT_TRUE(app->SyncOutput(kStartTimeout));
  bool crlf = false;
  const std::vector<std::string> lines = WithoutCr(app->Lines(), crlf);
  EXPECT_TRUE(crlf) << "a line without CR LF";
  EXPECT_EQ(lines, facts::ExpectedReport());

  xharness::SendDeleteWindow(server->display(), window);
  const std::optional<int> status = app->WaitExit(kStartTimeout);
  ASSERT_TRUE(status) << "still running after the window was closed";
  ASSERT_TRUE(WIFEXITED(*status)) << "killed by signal " << WTERMSIG(*status);
  EXPECT_EQ(WEXITSTATUS(*status), 0);
}

TEST_F(WineE2eTest, TheNativeMenuDismissedChoosesNothingAndEntryFiveStartsTheExactTrace) {
  const Window window = StartAndWaitForWindow();
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(WaitForDrawnFrame(window));
  ASSERT_TRUE(app->WaitForLines(kReportLines, kStartTimeout));
  Display* display = server->display();
  const std::optional<xharness::WindowGeometry> place = xharness::GetGeometry(display, window);
  ASSERT_TRUE(place);

  // A right click opens the menu at the pointer and leaves it open; a left click beside it
  // closes it without a choice.
  Window menu = PressForMenu(window);
  xharness::ReleaseButton(display, appprobe::kRightButton);
  ASSERT_NE(menu, 0u) << "the menu did not open";
  std::optional<xharness::WindowGeometry> box = xharness::GetGeometry(display, menu);
  ASSERT_TRUE(box);
  EXPECT_NEAR(box->x, place->x + kPressX, 2);
  EXPECT_NEAR(box->y, place->y + kPressY, 2);
  ASSERT_FALSE(app->WaitForLines(kReportLines + 1, milliseconds(300))) << "chosen by a click";
  xharness::MovePointer(display, place->x + kBesideMenuX, place->y + kBesideMenuY);
  xharness::PressButton(display, appprobe::kLeftButton);
  xharness::ReleaseButton(display, appprobe::kLeftButton);
  ASSERT_TRUE(WaitForMenuClosed());
  ASSERT_TRUE(WaitForDrawnFrame(window)) << "not draw mode 1 after the dismissed menu";
  EXPECT_FALSE(app->WaitForLines(kReportLines + 1, milliseconds(500)))
      << "the dismissed menu chose: " << app->Lines().back().text;
  EXPECT_TRUE(app->Running());

  // Press, move onto entry 5 until it shows highlighted, release there. The entries share the
  // menu's height between its two borders of a few pixels each.
  menu = PressForMenu(window);
  ASSERT_NE(menu, 0u) << "the menu did not open again";
  box = xharness::GetGeometry(display, menu);
  ASSERT_TRUE(box);
  const auto entryCentreY = [&](int entry) {
    return box->height * (2 * entry - 1) / (2 * appprobe::kMenuEntries);
  };
  int nudge = 0;
  const bool highlighted = xharness::WaitUntil(
      [&] {
        xharness::MovePointer(display, box->x + box->width / 2 + (nudge++ % 2),
                              box->y + entryCentreY(5));
        const auto mark = appprobe::PixelAt(display, menu, kHighlightProbePx, entryCentreY(5));
        const auto plain = appprobe::PixelAt(display, menu, kHighlightProbePx, entryCentreY(1));
        return mark && plain && *mark != *plain;
      },
      kMenuTimeout, milliseconds(20));
  xharness::ReleaseButton(display, appprobe::kRightButton);
  ASSERT_TRUE(highlighted) << "entry 5 never showed highlighted";
  ASSERT_TRUE(WaitForMenuClosed()) << "the menu stayed open after the release";

  const std::vector<std::string> expected = facts::ExpectedTraceFromOne();
  ASSERT_TRUE(app->WaitForLines(kReportLines + expected.size(), kTraceTimeout));
  bool crlf = false;
  const std::vector<std::string> lines = WithoutCr(app->Lines(), crlf);
  EXPECT_TRUE(crlf) << "a line without CR LF";
  const std::vector<std::string> trace(lines.begin() + kReportLines,
                                       lines.begin() + kReportLines + expected.size());
  EXPECT_EQ(trace, expected);
}

// At 150% the window is 300 logical pixels a side, 450 physical ones, and the scene fills them:
// the axes reach the right and top edges and the cube stands at x = 0.6 of the larger view, where a
// 300-pixel viewport in the corner would leave white. On a server of its own: once a program of
// the 96-dpi prefix has used a server, Wine gives the next prefix's programs 96 dpi there too.
TEST_F(WineE2eTest, AtOneHundredAndFiftyPercentTheWindowIs450PixelsAndTheSceneFillsIt) {
  constexpr int kScaledPx = kWindowPx * 3 / 2;
  constexpr int kCubeX = kScaledPx * 8 / 10;  // (0.6 + 1) / 2 of the view
  constexpr int kInsideCubePx = 20;  // less than the 0.15-unit half edge, 33.75 px, at any angle
  const std::string prefix = Required("WINEPREFIX_144DPI");
  ASSERT_FALSE(prefix.empty()) << "WINEPREFIX_144DPI must be set (test-windows.sh)";
  xharness::PrivateXServer ownServer;
  const Window window = StartAndWaitForWindow(&ownServer, prefix);
  ASSERT_NE(window, 0u);
  const std::optional<xharness::WindowGeometry> geometry =
      xharness::GetGeometry(ownServer.display(), window);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width, kScaledPx);
  EXPECT_EQ(geometry->height, kScaledPx);

  const bool filled = xharness::WaitUntil(
      [&] {
        const auto image = xharness::GrabWindow(ownServer.display(), window);
        return image && programtest::IsDrawn(*image, kScaledPx) &&
               image->AtFromBottom(kCubeX, kScaledPx / 2 + kInsideCubePx) == xharness::kRed &&
               image->AtFromBottom(kCubeX, kScaledPx / 2 - kInsideCubePx) == xharness::kRed;
      },
      kStartTimeout, milliseconds(20));
  EXPECT_TRUE(filled) << "the scene does not fill the 450-pixel window";
  app.reset();  // before its server goes
}

}  // namespace
