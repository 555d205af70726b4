// program_fixture.h: a test fixture that runs the real program on a private Xvfb with its standard
// output piped, finds its window and grabs frames from it.
//
// Header-only, because the program's path (SAMPLE_DRAWING_PATH) and, in sanitizer builds, the
// preload library's path (KEEP_LIBRARIES_LOADED_PATH) are compile definitions of each test
// executable. Include gtest before this header (see x_harness.h).
#pragma once

#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app_probe.h"
#include "program_facts.h"
#include "x_harness.h"

namespace programtest {

constexpr char kProgram[] = SAMPLE_DRAWING_PATH;
using facts::kReportLines;
using facts::kWindowPx;
using facts::kWindowTitle;
constexpr xharness::milliseconds kStartTimeout(30000);

// The program's environment: the test's own without DISPLAY. Sanitizer builds also preload a
// dlclose that keeps the GL driver loaded until the leak check at exit, so that its leaks can be
// named and suppressed (see lsan.supp); the sanitizer runtime must be told to accept a library
// loaded ahead of it.
inline std::vector<std::string> ProgramEnvironment() {
  std::vector<std::string> env = xharness::EnvironmentWithoutDisplay();
#ifdef KEEP_LIBRARIES_LOADED_PATH
  std::string asanOptions = "ASAN_OPTIONS=verify_asan_link_order=0";
  for (auto entry = env.begin(); entry != env.end();) {
    if (entry->rfind("ASAN_OPTIONS=", 0) == 0) {
      asanOptions += ":" + entry->substr(std::string("ASAN_OPTIONS=").size());
      entry = env.erase(entry);
    } else if (entry->rfind("LD_PRELOAD=", 0) == 0) {
      entry = env.erase(entry);
    } else {
      ++entry;
    }
  }
  env.push_back(asanOptions);
  env.push_back("LD_PRELOAD=" KEEP_LIBRARIES_LOADED_PATH);
#endif
  return env;
}

using appprobe::IsDrawn;

// A grab and the times it started and ended: the server took the picture in between.
struct Frame {
  xharness::RgbImage image;
  xharness::Clock::time_point start;
  xharness::Clock::time_point end;
};

class ProgramTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (::testing::Test::HasFailure() && app) {
      std::cerr << "program stderr:\n" << app->Stderr() << "\n";
    }
  }

  // extraEnv: "NAME=value" entries added to the program's environment.
  void StartApp(const std::vector<std::string>& args,
                const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> env = ProgramEnvironment();
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    app = std::make_unique<xharness::ChildProcess>(kProgram, args, env);
  }
  std::vector<std::string> DisplayArgs() const { return {"-display", server.displayName()}; }

  // The program's window once viewable; 0 if it never came.
  Window WaitForAppWindow() {
    Window window = xharness::WaitForWindow(server.display(), kWindowTitle, kStartTimeout);
    if (window == 0 || !xharness::WaitWindowViewable(server.display(), window, kStartTimeout))
      return 0;
    return window;
  }

  std::optional<Frame> Grab(Window window) {
    const xharness::Clock::time_point start = xharness::Clock::now();
    std::optional<xharness::RgbImage> image = xharness::GrabWindow(server.display(), window);
    if (!image) return std::nullopt;
    return Frame{*image, start, xharness::Clock::now()};
  }
  // The first grab of the window that shows a drawn scene edgePx a side.
  std::optional<Frame> WaitForDrawnFrame(Window window, int edgePx = kWindowPx) {
    std::optional<Frame> frame;
    xharness::WaitUntil(
        [&] {
          frame = Grab(window);
          return frame && IsDrawn(frame->image, edgePx);
        },
        kStartTimeout, xharness::milliseconds(5));
    return frame && IsDrawn(frame->image, edgePx) ? frame : std::nullopt;
  }

  xharness::PrivateXServer server;
  std::unique_ptr<xharness::ChildProcess> app;
};

}  // namespace programtest
