// render_test.cpp: MyDisplay drawing into a real GLUT window on a private Xvfb, compared pixel by
// pixel with the cube's outline worked out independently of the drawing code.
#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) break gtest's headers.
#include <FL/glut.H>
#include <FL/x.H>
#include <GL/glx.h>

#include <memory>
#include <string>
#include <vector>

#include "program_facts.h"
#include "scene.h"
#include "scene_footprint.h"
#include "x_harness.h"

namespace {

using scenecheck::CheckScene;
using scenecheck::CubeOutline;
using scenecheck::kCleanFrameMismatches;
using scenecheck::kMarginPx;
using scenecheck::ToViewportPx;
using xharness::milliseconds;

constexpr milliseconds kWindowTimeout(30000);

// One server and one window per process: GLUT can be initialised only once.
class RenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new xharness::PrivateXServer();
    std::string displayName = server->displayName();
    std::string programName = "render_tests";
    std::string displayOption = "-display";
    std::vector<char*> argv{programName.data(), displayOption.data(), displayName.data(), nullptr};
    int argc = 3;
    glutInit(&argc, argv.data());
    // The window main opens, opened the way main opens it.
    OpenSceneWindow();
    glutDisplayFunc(MyDisplay);

    window = xharness::WaitForWindow(server->display(), facts::kWindowTitle, kWindowTimeout);
    if (window == 0) return;
    // The window is mapped on creation; FLTK's event loop must run for the expose to be served.
    xharness::WaitUntil(
        [] {
          Fl::check();
          return xharness::IsWindowViewable(server->display(), window);
        },
        kWindowTimeout);
  }

  static void TearDownTestSuite() {
    // FLTK's connection closes before the server goes, so nothing meets a dead server.
    glut_window->hide();
    fl_close_display();
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(window, 0u) << "no GLUT window appeared on " << server->displayName();
    ASSERT_TRUE(xharness::IsWindowViewable(server->display(), window));
  }

  // Draws one frame with the given scene variables and returns what the window then shows.
  static xharness::RgbImage Draw(int mode, float angleDeg, float scale) {
    drawMode = mode;
    spinAngle = angleDeg;
    scaleFactor = scale;
    MyDisplay();
    glFinish();
    // The frame travels to the server on GLUT's connection; the grab uses another.
    XSync(glXGetCurrentDisplay(), False);
    std::optional<xharness::RgbImage> image = xharness::GrabWindow(server->display(), window);
    return image ? *image : xharness::RgbImage();
  }

  static std::string Name(int mode, float angleDeg, float scale) {
    return "render_mode" + std::to_string(mode) + "_angle" +
           std::to_string(static_cast<int>(angleDeg)) + "_scale" +
           std::to_string(static_cast<int>(scale * 10.0f));
  }

  static xharness::PrivateXServer* server;
  static Window window;
};

xharness::PrivateXServer* RenderTest::server = nullptr;
Window RenderTest::window = 0;

TEST_F(RenderTest, FirstFrameShowsTheUnturnedCubeRightOfTheCentre) {
  const xharness::RgbImage image = Draw(1, 0.0f, 1.0f);
  ASSERT_EQ(image.width(), facts::kWindowPx);
  ASSERT_EQ(image.height(), facts::kWindowPx);

  // The cube spans 217.5 to 262.5 across and 127.5 to 172.5 up: pixels whose centres lie inside
  // are red, the next ones out white. The pixels the edges cut through in half may go either way.
  for (int j = 128; j <= 171; ++j) {
    for (int i = 218; i <= 261; ++i) {
      ASSERT_EQ(image.AtFromBottom(i, j), xharness::kRed) << "inside at " << i << "," << j;
    }
    if (!scenecheck::InAxisBand(216, j)) {
      EXPECT_EQ(image.AtFromBottom(216, j), xharness::kWhite) << "left of cube, row " << j;
    }
    if (!scenecheck::InAxisBand(263, j)) {
      EXPECT_EQ(image.AtFromBottom(263, j), xharness::kWhite) << "right of cube, row " << j;
    }
  }
  for (int i = 218; i <= 261; ++i) {
    EXPECT_EQ(image.AtFromBottom(i, 126), xharness::kWhite) << "below cube, column " << i;
    EXPECT_EQ(image.AtFromBottom(i, 173), xharness::kWhite) << "above cube, column " << i;
  }
  const scenecheck::SceneReport report =
      CheckScene(image, ToViewportPx(CubeOutline(1, 0.0, 1.0)), kMarginPx);
  EXPECT_EQ(report.wrongPixels, 0) << report.Describe();
}

TEST_F(RenderTest, CubeFootprintFollowsEveryDrawModeAndAngle) {
  struct Case {
    int mode;
    float scale;
  };
  const Case cases[] = {{1, 1.0f}, {2, 1.0f}, {3, 1.0f}, {4, 1.0f},
                        {5, 0.5f}, {5, 1.0f}, {5, 2.0f}};
  const float angles[] = {0.0f, 30.0f, 90.0f, 200.0f};
  for (const Case& c : cases) {
    for (float angle : angles) {
      SCOPED_TRACE(Name(c.mode, angle, c.scale));
      const xharness::RgbImage image = Draw(c.mode, angle, c.scale);
      ASSERT_EQ(image.width(), facts::kWindowPx);
      const scenecheck::Quad outline = ToViewportPx(
          CubeOutline(c.mode, static_cast<double>(angle), static_cast<double>(c.scale)));
      const scenecheck::SceneReport report = CheckScene(image, outline, kMarginPx);
      EXPECT_EQ(report.wrongPixels, 0)
          << report.Describe() << "\nsaved as "
          << scenecheck::SaveForInspection(image, Name(c.mode, angle, c.scale));
      // Pixel-centre sampling leaves only pixels the outline passes through exactly in doubt.
      EXPECT_LE(scenecheck::CountMismatches(image, outline), kCleanFrameMismatches);
    }
  }
}

TEST_F(RenderTest, AngleFitRecoversTheDrawnAngle) {
  // The end-to-end tests read the cube's angle back from a grabbed window with this fit, so it
  // must find the drawn angle, and not a neighbour, in every mode.
  struct Case {
    int mode;
    float angle;
    double expected;  // Modes 1, 2 and 5 look the same every quarter turn.
  };
  const Case cases[] = {{1, 0.0f, 0.0},   {1, 2.0f, 2.0},     {1, 20.0f, 20.0},   {1, 92.0f, 2.0},
                        {2, 44.0f, 44.0}, {3, 200.0f, 200.0}, {4, 358.0f, 358.0}, {5, 6.0f, 6.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.mode, c.angle, 1.0f));
    const scenecheck::AngleFit fit = scenecheck::FitAngle(Draw(c.mode, c.angle, 1.0f), c.mode, 1.0);
    EXPECT_EQ(fit.angleDeg, c.expected) << fit.mismatches << " mismatches";
  }
}

}  // namespace
