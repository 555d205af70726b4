// x_harness.h: test support for programs with an X window: a private Xvfb per test, child
// processes with piped output, and Xlib/XTest helpers to find, grab, resize, close and click.
//
// Nothing here reads $DISPLAY: every connection names the server a test started itself, so tests
// run in parallel and never touch a user's screen. Everything is Linux-only. Include gtest before
// this header: Xlib defines macros (None, Bool, Status) that break gtest's own headers.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace xharness {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Polls pred every interval until it returns true or timeout has passed; returns its last result.
// pred is always called at least once, and once more at the deadline.
bool WaitUntil(const std::function<bool()>& pred, milliseconds timeout,
               milliseconds interval = milliseconds(10));

// The current environment without DISPLAY, as "NAME=value" entries: what a child gets by default.
std::vector<std::string> EnvironmentWithoutDisplay();

// One line of a child's standard output, without its newline, stamped when the reader got it.
struct OutputLine {
  std::string text;
  Clock::time_point arrival;
};

// A child process started with fork/exec. Standard input is /dev/null; standard output and
// standard error each go through a pipe that a reader thread drains as data arrives, so a chatty
// child never blocks on a full pipe and each stdout line gets an accurate arrival time.
// The child gets SIGKILL if the thread that created this object ends (a test killed on timeout
// leaves no stray process). Create it from the test's main thread.
class ChildProcess {
 public:
  // program: a path, or a name searched in PATH. args: argv[1..]. env: the complete environment.
  // passFds: descriptors the child inherits as 3, 4, ... in this order (others are closed).
  // Throws std::runtime_error if the program cannot be started.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& env = EnvironmentWithoutDisplay(),
               const std::vector<int>& passFds = {});
  // Kills (SIGKILL) and reaps a child still running.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }

  // Waits until at least count stdout lines have arrived (or stdout closed); true if they have.
  bool WaitForLines(std::size_t count, milliseconds timeout);
  // Every stdout line received so far.
  std::vector<OutputLine> Lines() const;
  // Everything received on stderr so far.
  std::string Stderr() const;
  // Waits until both output pipes reached end of file (the child and any heir closed them).
  bool WaitForOutputClosed(milliseconds timeout);
  // Waits until every byte written to stdout before this call is in Lines(). Use it to assert
  // what the child had printed by the time something else was observed.
  bool SyncOutput(milliseconds timeout);

  // Waits up to timeout for the child to end; returns its wait status (use WIFEXITED etc.).
  // Once reaped, returns the same status on every later call.
  std::optional<int> WaitExit(milliseconds timeout);
  // True while the child has not been reaped and has not ended.
  bool Running();
  // Sends sig unless the child was already reaped.
  void Kill(int sig);

 private:
  void ReaderLoop();
  void TakeStdout(const char* data, std::size_t size, Clock::time_point now);

  pid_t pid_ = -1;
  std::optional<int> status_;
  int stdoutFd_ = -1;
  int stderrFd_ = -1;
  int stopFd_[2] = {-1, -1};
  std::thread reader_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<OutputLine> lines_;
  std::string partialLine_;
  std::string stderr_;
  bool stdoutOpen_ = true;
  bool stderrOpen_ = true;
  bool readerBusy_ = false;
};

// Deleter for Display connections, so they can live in a std::unique_ptr.
struct DisplayCloser {
  void operator()(Display* display) const;
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// An Xvfb of its own, started by scripts/lib/private-xvfb with screen 0 as given (Xvfb's
// WxHxDepth) and the further Xvfb options. The constructor returns once the server accepts
// connections, the destructor kills and reaps it. Throws std::runtime_error if it does not start
// (the message carries the server's standard error).
class PrivateXServer {
 public:
  explicit PrivateXServer(const std::string& screen = "1024x768x24",
                          const std::vector<std::string>& options = {},
                          milliseconds startTimeout = milliseconds(30000));
  ~PrivateXServer();
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  // ":N", for XOpenDisplay, `-display` or a DISPLAY entry.
  std::string displayName() const;
  // A connection owned by this object, for the helpers below; closed before the server stops.
  Display* display() const { return display_.get(); }
  // Kills the server with SIGKILL, as a crash would, after closing this object's connection:
  // Xlib ends the whole process when it next uses a connection whose server died. Callers must
  // have closed their own connections first. display() is null afterwards.
  void Crash();

 private:
  std::unique_ptr<ChildProcess> process_;
  int number_ = -1;
  DisplayPtr display_;
};

// Turns X protocol errors into a result instead of the default handler's exit(). Installs a
// process-wide handler for its lifetime (and syncs on entry and exit); use from one thread.
class ScopedXErrorTrap {
 public:
  explicit ScopedXErrorTrap(Display* display);
  ~ScopedXErrorTrap();
  ScopedXErrorTrap(const ScopedXErrorTrap&) = delete;
  ScopedXErrorTrap& operator=(const ScopedXErrorTrap&) = delete;
  // Syncs and returns the error code of the first error since construction (0: none).
  int Check();

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
};

// Sets the server's resource database, as `xrdb` does: resources ("Xft.dpi:\t192\n") in the
// RESOURCE_MANAGER property of the first screen's root window, which a program reads as it
// connects.
void SetResources(Display* display, const std::string& resources);

// Window lookup and state.

// The first window found, depth first from the root, whose WM_NAME equals name;
// 0 if there is none.
Window FindWindowByName(Display* display, const std::string& name);
// Waits until FindWindowByName finds one; 0 on timeout.
Window WaitForWindow(Display* display, const std::string& name, milliseconds timeout);
// True if the window exists and its map state is IsViewable (mapped, with all its ancestors).
bool IsWindowViewable(Display* display, Window window);
bool WaitWindowViewable(Display* display, Window window, milliseconds timeout);

struct WindowGeometry {
  int x = 0;  // Absolute position of the top-left inside corner on the root window, in pixels.
  int y = 0;
  int width = 0;
  int height = 0;
};
std::optional<WindowGeometry> GetGeometry(Display* display, Window window);

// Pixels.

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
  bool operator!=(const Rgb& other) const { return !(*this == other); }
};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
std::string ToString(const Rgb& colour);

// An 8-bit RGB image in window coordinates: x to the right, y down from the top row, as X has it;
// AtFromBottom counts rows up from the bottom, as GL has it.
class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  const Rgb& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  Rgb& At(int x, int y) { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  const Rgb& AtFromBottom(int x, int yUp) const { return At(x, height_ - 1 - yUp); }
  // Writes a binary PPM (for looking at a failure); false if the file cannot be written.
  bool WritePpm(const std::string& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

// The window's current contents (XGetImage of the whole window); empty if the window is gone or
// not viewable.
std::optional<RgbImage> GrabWindow(Display* display, Window window);
// The window pixel at (x, y), x right and y down from the top-left inside corner; empty if the
// window is gone, unmapped, or the point lies outside it.
std::optional<Rgb> PixelAt(Display* display, Window window, int x, int y);

// Input and window-manager messages, as a user or a window manager would send them. Each flushes.

// Moves the pointer to root coordinates (x, y).
void MovePointer(Display* display, int x, int y);
// Presses or releases pointer button 1 to 5 (3 is the right button).
void PressButton(Display* display, unsigned button);
void ReleaseButton(Display* display, unsigned button);
// Presses and releases the key that types keysym (XK_Escape, ...), wherever the focus is.
void TypeKey(Display* display, unsigned long keysym);
// Asks the server to resize the window (no window manager runs, so it is done as asked).
void ResizeWindow(Display* display, Window window, int width, int height);
// Sends a WM_PROTOCOLS/WM_DELETE_WINDOW client message, as a window manager's close button does.
void SendDeleteWindow(Display* display, Window window);

}  // namespace xharness
