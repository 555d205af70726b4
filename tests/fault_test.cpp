// fault_test.cpp: the real program under faults around it: its X server dying, its window closed
// while scale chains print, its standard output closed by the reader, closed at start or unable
// to take a line, GLUT options with bad values, displays without OpenGL. It must end promptly or
// carry on sanely; it must never hang, crash, hide its window or lose output without a word.
#include <X11/keysym.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app_probe.h"
#include "program_facts.h"
#include "program_fixture.h"
#include "x_harness.h"

namespace {

using facts::kReportLines;
using facts::kWindowPx;
using facts::kWindowTitle;
using programtest::kProgram;
using programtest::kStartTimeout;
using xharness::Clock;
using xharness::milliseconds;

const std::string kFirstReportLine = facts::ExpectedReport().front();
constexpr milliseconds kExitTimeout(20000);
// A program that lost its display must notice at once: it sleeps in select() on the connection.
constexpr milliseconds kBrokenDisplayExit(2000);

// Runs the program through a shell that applies redirections (such as "1>&3 3>&-" or "2>&-")
// and execs it, so the program keeps the shell's process id. fds are inherited as 3, 4, ...
std::unique_ptr<xharness::ChildProcess> StartRedirected(
    const std::string& redirections, std::vector<std::string> args, std::vector<int> fds = {},
    std::vector<std::string> env = xharness::EnvironmentWithoutDisplay()) {
  args.insert(args.begin(), {"-c", "exec \"$0\" \"$@\" " + redirections, kProgram});
  return std::make_unique<xharness::ChildProcess>("/bin/sh", args, env, fds);
}

// Runs the program with its standard output on descriptor fd (a file or a pipe of the test's
// own) instead of the harness's pipe.
std::unique_ptr<xharness::ChildProcess> StartWithStdoutOn(int fd, std::vector<std::string> args) {
  return StartRedirected("1>&3 3>&-", std::move(args), {fd});
}

// The program's window once it shows a drawn frame; 0 if that never happened.
Window WaitForDrawnWindow(Display* display) {
  return appprobe::WaitForDrawnWindow(display, kWindowTitle, kStartTimeout);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t CountLines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Escape in the window, as a user would press it. Without a window manager the keyboard follows
// the pointer.
void PressEscapeIn(Display* display, Window window) {
  const std::optional<xharness::WindowGeometry> place = xharness::GetGeometry(display, window);
  ASSERT_TRUE(place);
  xharness::MovePointer(display, place->x + kWindowPx / 4, place->y + kWindowPx / 4);
  xharness::TypeKey(display, XK_Escape);
}

std::string DescribeStatus(int status) {
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  return "wait status " + std::to_string(status);
}

// Presses Escape in the window and says how the program then ended ("exit status 0", ...).
std::string EndByEscape(Display* display, Window window, xharness::ChildProcess& app) {
  PressEscapeIn(display, window);
  const std::optional<int> status = app.WaitExit(kExitTimeout);
  return status ? DescribeStatus(*status) : "still running after Escape";
}

TEST(FaultTest, XServerDeathEndsTheProgramPromptlyWithFailure) {
  xharness::PrivateXServer server;
  xharness::ChildProcess app(kProgram, {"-display", server.displayName()});
  const Window window = WaitForDrawnWindow(server.display());
  ASSERT_NE(window, 0u);
  ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, 5), "");
  ASSERT_TRUE(app.WaitForLines(kReportLines + 3, kStartTimeout)) << "no scale trace";

  server.Crash();
  const Clock::time_point crashed = Clock::now();
  const std::optional<int> status = app.WaitExit(kExitTimeout);
  const auto tookMs = std::chrono::duration_cast<milliseconds>(Clock::now() - crashed).count();
  ASSERT_TRUE(status) << "still running " << kExitTimeout.count() << " ms after its server died";
  EXPECT_LE(tookMs, kBrokenDisplayExit.count());
  ASSERT_TRUE(WIFEXITED(*status)) << DescribeStatus(*status);
  EXPECT_NE(WEXITSTATUS(*status), 0);
  ASSERT_TRUE(app.WaitForOutputClosed(kExitTimeout));
  // FLTK's handler of lost connections reports it before it exits.
  EXPECT_NE(app.Stderr().find("X I/O error"), std::string::npos) << app.Stderr();
}

TEST(FaultTest, WindowClosedWhileScaleChainsRunEndsCleanlyWithCompleteLines) {
  xharness::PrivateXServer server;
  char path[] = "/tmp/fault_close_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::unique_ptr<xharness::ChildProcess> app =
      StartWithStdoutOn(fd, {"-display", server.displayName()});
  close(fd);

  const Window window = WaitForDrawnWindow(server.display());
  ASSERT_NE(window, 0u);
  for (int chain = 0; chain < 3; ++chain) {
    ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, 5), "") << "chain " << chain;
  }
  // Three chains print nine lines per 100 ms; close mid-stream.
  ASSERT_TRUE(xharness::WaitUntil([&] { return CountLines(ReadFile(path)) >= kReportLines + 60; },
                                  kStartTimeout));
  xharness::SendDeleteWindow(server.display(), window);
  const std::optional<int> status = app->WaitExit(kExitTimeout);
  ASSERT_TRUE(status) << "still running after the close";
  ASSERT_TRUE(WIFEXITED(*status)) << DescribeStatus(*status);
  EXPECT_EQ(WEXITSTATUS(*status), 0);

  const std::string text = ReadFile(path);
  std::remove(path);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n') << "the output ends in a partial line";
  std::istringstream lines(text);
  std::string line;
  std::size_t number = 0;
  std::size_t badLines = 0;
  while (std::getline(lines, line)) {
    ++number;
    if (number == 1) {
      EXPECT_EQ(line, kFirstReportLine);
    }
    if (number > kReportLines && !appprobe::ParseTraceLine(line) && ++badLines <= 5) {
      ADD_FAILURE() << "line " << number << " is no trace line: \"" << line << "\"";
    }
  }
  EXPECT_EQ(badLines, 0u);
  EXPECT_GE(number, kReportLines + 60);
}

// Like `sample-drawing | head -n 5`: the reader takes five lines and goes away. The rest of the
// report is already in the pipe by then and is discarded; in draw mode 1 the program prints
// nothing more and so runs on; its next line, the first of a scale tick, raises SIGPIPE, whose
// default action ends it.
TEST(FaultTest, StdoutClosedByTheReaderEndsTheProgramAtItsNextLine) {
  // A disposition of SIG_IGN would be inherited through exec; the program relies on the default.
  signal(SIGPIPE, SIG_DFL);
  xharness::PrivateXServer server;
  int pipeFds[2];
  ASSERT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
  std::unique_ptr<xharness::ChildProcess> app =
      StartWithStdoutOn(pipeFds[1], {"-display", server.displayName()});
  close(pipeFds[1]);

  std::string received;
  const bool gotFive = xharness::WaitUntil(
      [&] {
        pollfd ready{pipeFds[0], POLLIN, 0};
        if (poll(&ready, 1, 0) > 0) {
          char buffer[256];
          const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
          if (got > 0) received.append(buffer, static_cast<std::size_t>(got));
        }
        return CountLines(received) >= 5;
      },
      kStartTimeout, milliseconds(1));
  close(pipeFds[0]);
  ASSERT_TRUE(gotFive) << "received: " << received;
  EXPECT_EQ(received.substr(0, received.find('\n')), kFirstReportLine);

  const Window window = WaitForDrawnWindow(server.display());
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(app->Running()) << "ended before printing again";
  ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, 5), "");
  const std::optional<int> status = app->WaitExit(kExitTimeout);
  ASSERT_TRUE(status) << "still running while printing into a closed pipe";
  ASSERT_TRUE(WIFSIGNALED(*status)) << DescribeStatus(*status);
  EXPECT_EQ(WTERMSIG(*status), SIGPIPE);
}

// Started with standard output or standard error closed, the program must not take the free
// descriptor for its own files: the X connection would get it, and the report or fontconfig's
// complaint about its missing configuration would be written into the protocol stream, which
// hangs the program. The closed stream is reopened on /dev/null and the program runs as usual.
TEST(FaultTest, ClosedStandardStreamsAtStartLeaveTheProgramWorking) {
  struct Case {
    const char* name;
    const char* redirections;
  };
  const Case kCases[] = {{"standard output closed", ">&- </dev/null"},
                         {"standard error closed", "2>&-"}};
  std::vector<std::string> env = xharness::EnvironmentWithoutDisplay();
  env.emplace_back("FONTCONFIG_FILE=/nonexistent");
  for (const Case& test : kCases) {
    SCOPED_TRACE(test.name);
    xharness::PrivateXServer server;
    std::unique_ptr<xharness::ChildProcess> app =
        StartRedirected(test.redirections, {"-display", server.displayName()}, {}, env);
    const Window window = WaitForDrawnWindow(server.display());
    ASSERT_NE(window, 0u) << "no drawn frame; stderr: " << app->Stderr();
    EXPECT_EQ(EndByEscape(server.display(), window, *app), "exit status 0");
  }
}

// Every write to /dev/full fails with ENOSPC. The first failed line is reported once on standard
// error, the window keeps turning while the trace goes on failing, and the exit status says that
// output was lost.
TEST(FaultTest, UnwritableStandardOutputIsReportedOnceAndEndsWithStatusOne) {
  xharness::PrivateXServer server;
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  std::unique_ptr<xharness::ChildProcess> app =
      StartWithStdoutOn(full, {"-display", server.displayName()});
  close(full);

  const Window window = WaitForDrawnWindow(server.display());
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(xharness::WaitUntil([&] { return !app->Stderr().empty(); }, kStartTimeout));
  ASSERT_EQ(appprobe::ChooseMenuEntry(server.display(), window, 5), "");
  // Two seconds of the trace: about 60 more failed lines.
  const std::optional<xharness::RgbImage> before = xharness::GrabWindow(server.display(), window);
  std::this_thread::sleep_for(milliseconds(2000));
  const std::optional<xharness::RgbImage> after = xharness::GrabWindow(server.display(), window);
  ASSERT_TRUE(before && after);
  int changedPx = 0;
  for (int y = 0; y < kWindowPx; ++y) {
    for (int x = 0; x < kWindowPx; ++x) {
      changedPx += before->At(x, y) != after->At(x, y) ? 1 : 0;
    }
  }
  EXPECT_GT(changedPx, 0) << "the cube stopped turning";
  EXPECT_TRUE(app->Running());
  EXPECT_EQ(app->Stderr(),
            "sample-drawing: cannot write to standard output: No space left on device\n");

  EXPECT_EQ(EndByEscape(server.display(), window, *app), "exit status 1");
}

// The GLUT layer's own options, with missing, bad and extreme values. A missing or unreadable
// value is ignored; a geometry replaces the window's size, and FLTK keeps the window on the
// screen. The program always starts and prints its report.
TEST(FaultTest, GlutLayerOptionsNeverStopTheProgram) {
  struct Case {
    std::vector<std::string> args;  // After "-display <server>".
    int width;
    int height;
    bool sceneOnScreen;  // The scene's 300 x 300 corner lies on the 1024 x 768 screen.
  };
  const Case kCases[] = {
      {{"-display"}, kWindowPx, kWindowPx, true},
      {{"-geometry"}, kWindowPx, kWindowPx, true},
      {{"-geometry", "abc"}, kWindowPx, kWindowPx, true},
      {{"-geometry", "-0-0"}, kWindowPx, kWindowPx, true},
      {{"-geometry", "1x1+5000+5000"}, 1, 1, false},
      {{"-geometry", "4000x4000-3000-3000"}, 4000, 4000, false},
  };
  xharness::PrivateXServer server;
  for (const Case& test : kCases) {
    std::string shown;
    for (const std::string& arg : test.args) shown += " " + arg;
    SCOPED_TRACE("options:" + shown);
    std::vector<std::string> args{"-display", server.displayName()};
    args.insert(args.end(), test.args.begin(), test.args.end());
    xharness::ChildProcess app(kProgram, args);

    const Window window =
        test.sceneOnScreen ? WaitForDrawnWindow(server.display())
                           : xharness::WaitForWindow(server.display(), kWindowTitle, kStartTimeout);
    ASSERT_NE(window, 0u) << "no window; stderr: " << app.Stderr();
    const std::optional<xharness::WindowGeometry> geometry =
        xharness::GetGeometry(server.display(), window);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, test.width);
    EXPECT_EQ(geometry->height, test.height);
    ASSERT_TRUE(app.WaitForLines(kReportLines, kStartTimeout));
    EXPECT_EQ(app.Lines().front().text, kFirstReportLine);
    EXPECT_TRUE(app.Running());
    app.Kill(SIGKILL);
    app.WaitExit(kExitTimeout);
    // The next case must not find this window.
    ASSERT_TRUE(xharness::WaitUntil(
        [&] { return xharness::FindWindowByName(server.display(), kWindowTitle) == 0; },
        kExitTimeout));
  }
}

// A display that cannot show an OpenGL window ends the program at once with status 1, no report,
// and one line naming the display, what it lacks and what to do. Xvfb has no GLX at 8 bits; with
// a 24-bit screen 1 it has, but screen 0 then has no visual for the window.
TEST(FaultTest, DisplayWithoutOpenGlEndsTheProgramWithOneLineAndStatusOne) {
  // Screen 0 and Xvfb's options for a server of the test's own, else the program's -display
  // ("": no DISPLAY).
  const std::tuple<std::string, std::vector<std::string>, std::string, const char*> kCases[] = {
      {"", {}, "", "DISPLAY is not set"},
      {"", {}, ":32123", "no X server"},  // Above any number Xvfb -displayfd takes.
      {"300x300x24", {"-extension", "GLX"}, "", "no GLX"},
      {"300x300x8", {}, "", "no GLX"},
      {"300x300x8", {"-screen", "1", "300x300x24"}, "", "visual"}};
  for (auto [screen, options, display, lack] : kCases) {
    SCOPED_TRACE(lack);
    std::optional<xharness::PrivateXServer> server;
    if (!screen.empty()) display = server.emplace(screen, options).displayName();
    std::vector<std::string> args;
    if (!display.empty()) args = {"-display", display};
    xharness::ChildProcess app(kProgram, args);
    const std::optional<int> status = app.WaitExit(kBrokenDisplayExit);
    ASSERT_TRUE(status && app.WaitForOutputClosed(kExitTimeout)) << "still running";
    EXPECT_EQ(DescribeStatus(*status), "exit status 1");
    const std::string message = app.Stderr();
    EXPECT_TRUE(message.rfind("sample-drawing: ", 0) == 0 && CountLines(message) == 1 &&
                (display.empty() || message.find('"' + display + '"') != std::string::npos) &&
                message.find(lack) != std::string::npos &&
                message.find("xvfb-run -a sample-drawing") != std::string::npos)
        << message;
    EXPECT_TRUE(app.Lines().empty()) << "printed " << app.Lines().front().text;
  }
}

}  // namespace
