// x_harness.cpp: private Xvfb servers, piped child processes and the Xlib/XTest helpers.
#include "x_harness.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace xharness {

namespace {

constexpr int kFirstPassedFd = 3;
constexpr std::size_t kReadChunkBytes = 4096;
constexpr milliseconds kKillGrace(2000);  // Between SIGTERM and SIGKILL when stopping Xvfb.

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// The file exec would run for program: itself if it names a path, else the first executable
// match in PATH. Resolved before fork, since the child may only make async-signal-safe calls.
std::string ResolveProgram(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return program;
}

std::vector<char*> CStrings(const std::vector<std::string>& strings) {
  std::vector<char*> result;
  result.reserve(strings.size() + 1);
  for (const std::string& s : strings) result.push_back(const_cast<char*>(s.c_str()));
  result.push_back(nullptr);
  return result;
}

// Makes fd refer to source in the child, without close-on-exec (dup2 onto itself keeps the flag).
void ChildPlaceFd(int source, int fd) {
  if (source == fd) {
    fcntl(fd, F_SETFD, 0);
  } else {
    dup2(source, fd);
  }
}

// Xlib's error handler is process-wide; the trap in force records here.
int trappedError = 0;

int TrapHandler(Display*, XErrorEvent* event) {
  if (trappedError == 0) trappedError = event->error_code;
  return 0;
}

std::optional<std::string> WindowName(Display* display, Window window) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) == 0 || name == nullptr) return std::nullopt;
  std::string result(name);
  XFree(name);
  return result;
}

Window FindBelow(Display* display, Window window, const std::string& name) {
  std::optional<std::string> own = WindowName(display, window);
  if (own && *own == name) return window;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    found = FindBelow(display, children[i], name);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Channel value of pixel under mask, scaled to 8 bits.
std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1UL) == 0) ++shift;
  unsigned long maxValue = mask >> shift;
  unsigned long value = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>(value * 255UL / maxValue);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& pred, milliseconds timeout, milliseconds interval) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<Clock::duration>(interval, deadline - now));
    if (Clock::now() >= deadline) return pred();
  }
}

std::vector<std::string> EnvironmentWithoutDisplay() {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "DISPLAY=", 8) == 0) continue;
    env.emplace_back(*entry);
  }
  return env;
}

// ChildProcess

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, const std::vector<int>& passFds) {
  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  const std::string path = ResolveProgram(program);
  std::vector<char*> argv = CStrings(argvStrings);
  std::vector<char*> envp = CStrings(env);

  int outPipe[2];
  int errPipe[2];
  int execPipe[2];  // Closed by a successful exec; carries errno if exec fails.
  if (pipe2(outPipe, O_CLOEXEC) != 0) throw SystemError("pipe");
  if (pipe2(errPipe, O_CLOEXEC) != 0) throw SystemError("pipe");
  if (pipe2(execPipe, O_CLOEXEC) != 0) throw SystemError("pipe");
  if (pipe2(stopFd_, O_CLOEXEC) != 0) throw SystemError("pipe");
  int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (devNull < 0) throw SystemError("open /dev/null");

  // Every descriptor the child needs moves above the ones it will be placed on, so placing one
  // never overwrites another still to be placed.
  const int highFloor = kFirstPassedFd + static_cast<int>(passFds.size()) + 8;
  std::vector<int> sources{devNull, outPipe[1], errPipe[1]};
  sources.insert(sources.end(), passFds.begin(), passFds.end());
  std::vector<int> raised;
  for (int fd : sources) {
    int high = fcntl(fd, F_DUPFD_CLOEXEC, highFloor);
    if (high < 0) throw SystemError("fcntl F_DUPFD");
    raised.push_back(high);
  }
  const int execWrite = fcntl(execPipe[1], F_DUPFD_CLOEXEC, highFloor);
  if (execWrite < 0) throw SystemError("fcntl F_DUPFD");
  close(execPipe[1]);
  const pid_t parentPid = getpid();

  pid_ = fork();
  if (pid_ < 0) throw SystemError("fork");
  if (pid_ == 0) {
    // Child: async-signal-safe calls only.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parentPid) _exit(127);
    ChildPlaceFd(raised[0], 0);
    ChildPlaceFd(raised[1], 1);
    ChildPlaceFd(raised[2], 2);
    for (std::size_t i = 3; i < raised.size(); ++i) {
      ChildPlaceFd(raised[i], kFirstPassedFd + static_cast<int>(i - 3));
    }
    // Whatever else is open (library connections, other children's pipes) stays behind.
    const int keepBelow = kFirstPassedFd + static_cast<int>(raised.size() - 3);
    if (syscall(SYS_close_range, keepBelow, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
      for (int fd = keepBelow; fd < 65536; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    execve(path.c_str(), argv.data(), envp.data());
    int error = errno;
    ssize_t ignored = write(execWrite, &error, sizeof error);
    (void)ignored;
    _exit(127);
  }

  for (int fd : raised) close(fd);
  close(devNull);
  close(outPipe[1]);
  close(errPipe[1]);
  close(execWrite);
  stdoutFd_ = outPipe[0];
  stderrFd_ = errPipe[0];
  int execError = 0;
  ssize_t got;
  do {
    got = read(execPipe[0], &execError, sizeof execError);
  } while (got < 0 && errno == EINTR);
  close(execPipe[0]);
  if (got == static_cast<ssize_t>(sizeof execError)) {
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    close(stdoutFd_);
    close(stderrFd_);
    close(stopFd_[0]);
    close(stopFd_[1]);
    errno = execError;
    throw SystemError("exec " + path);
  }
  reader_ = std::thread([this] { ReaderLoop(); });
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  // The pipes may outlive the child in a grandchild; the stop pipe ends the reader regardless.
  char stop = 1;
  ssize_t ignored = write(stopFd_[1], &stop, 1);
  (void)ignored;
  if (reader_.joinable()) reader_.join();
  for (int fd : {stdoutFd_, stderrFd_, stopFd_[0], stopFd_[1]}) {
    if (fd >= 0) close(fd);
  }
}

void ChildProcess::TakeStdout(const char* data, std::size_t size, Clock::time_point now) {
  partialLine_.append(data, size);
  std::size_t start = 0;
  for (std::size_t newline = partialLine_.find('\n'); newline != std::string::npos;
       newline = partialLine_.find('\n', start)) {
    lines_.push_back(OutputLine{partialLine_.substr(start, newline - start), now});
    start = newline + 1;
  }
  partialLine_.erase(0, start);
}

void ChildProcess::ReaderLoop() {
  char buffer[kReadChunkBytes];
  for (;;) {
    pollfd fds[3] = {{stopFd_[0], POLLIN, 0}, {stdoutFd_, POLLIN, 0}, {stderrFd_, POLLIN, 0}};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!stdoutOpen_) fds[1].fd = -1;
      if (!stderrOpen_) fds[2].fd = -1;
      if (fds[1].fd < 0 && fds[2].fd < 0) return;
    }
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents != 0) return;
    for (int i = 1; i < 3; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        readerBusy_ = true;
      }
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      const Clock::time_point now = Clock::now();
      std::lock_guard<std::mutex> lock(mutex_);
      readerBusy_ = false;
      if (got > 0) {
        if (i == 1) {
          TakeStdout(buffer, static_cast<std::size_t>(got), now);
        } else {
          stderr_.append(buffer, static_cast<std::size_t>(got));
        }
      } else if (got == 0 || errno != EINTR) {
        if (i == 1) {
          stdoutOpen_ = false;
          if (!partialLine_.empty()) lines_.push_back(OutputLine{partialLine_, now});
          partialLine_.clear();
        } else {
          stderrOpen_ = false;
        }
      }
      changed_.notify_all();
    }
  }
}

bool ChildProcess::WaitForLines(std::size_t count, milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return lines_.size() >= count || !stdoutOpen_; });
  return lines_.size() >= count;
}

std::vector<OutputLine> ChildProcess::Lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

std::string ChildProcess::Stderr() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stderr_;
}

bool ChildProcess::WaitForOutputClosed(milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return !stdoutOpen_ && !stderrOpen_; });
}

bool ChildProcess::SyncOutput(milliseconds timeout) {
  // Bytes still in the pipe, or read but not yet parsed, mean the reader has work left.
  return WaitUntil(
      [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!stdoutOpen_) return true;
        int pending = 0;
        if (ioctl(stdoutFd_, FIONREAD, &pending) != 0) return false;
        return pending == 0 && !readerBusy_;
      },
      timeout, milliseconds(1));
}

std::optional<int> ChildProcess::WaitExit(milliseconds timeout) {
  if (status_) return status_;
  if (pid_ <= 0) return std::nullopt;
  WaitUntil(
      [this] {
        int status = 0;
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) status_ = status;
        return status_.has_value();
      },
      timeout, milliseconds(5));
  return status_;
}

bool ChildProcess::Running() { return pid_ > 0 && !WaitExit(milliseconds(0)); }

void ChildProcess::Kill(int sig) {
  if (pid_ > 0 && !status_) kill(pid_, sig);
}

// PrivateXServer

void DisplayCloser::operator()(Display* display) const {
  if (display != nullptr) XCloseDisplay(display);
}

PrivateXServer::PrivateXServer(const std::string& screen, const std::vector<std::string>& options,
                               milliseconds startTimeout) {
  const Clock::time_point deadline = Clock::now() + startTimeout;
  std::vector<std::string> args{screen};
  args.insert(args.end(), options.begin(), options.end());
  process_ = std::make_unique<ChildProcess>(PRIVATE_XVFB_PATH, args);
  // The starter's first line is the display's number, once the server listens; end of file
  // means it gave up.
  const std::vector<OutputLine> lines =
      process_->WaitForLines(1, startTimeout) ? process_->Lines() : std::vector<OutputLine>{};
  const std::string number = lines.empty() ? "" : lines.front().text;
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
    process_->Kill(SIGKILL);
    process_->WaitForOutputClosed(milliseconds(1000));
    throw std::runtime_error("Xvfb did not report a display number; its stderr:\n" +
                             process_->Stderr());
  }
  number_ = std::stoi(number);

  WaitUntil(
      [this] {
        display_.reset(XOpenDisplay(displayName().c_str()));
        return display_ != nullptr;
      },
      std::chrono::duration_cast<milliseconds>(deadline - Clock::now()), milliseconds(20));
  if (!display_) {
    throw std::runtime_error("Xvfb " + displayName() + " accepts no connection; its stderr:\n" +
                             process_->Stderr());
  }
}

PrivateXServer::~PrivateXServer() {
  display_.reset();
  process_->Kill(SIGTERM);
  if (!process_->WaitExit(kKillGrace)) {
    process_->Kill(SIGKILL);
    process_->WaitExit(kKillGrace);
  }
}

void PrivateXServer::Crash() {
  display_.reset();
  process_->Kill(SIGKILL);
  process_->WaitExit(kKillGrace);
}

std::string PrivateXServer::displayName() const { return ":" + std::to_string(number_); }

// ScopedXErrorTrap

ScopedXErrorTrap::ScopedXErrorTrap(Display* display) : display_(display) {
  XSync(display_, False);
  trappedError = 0;
  previous_ = XSetErrorHandler(TrapHandler);
}

ScopedXErrorTrap::~ScopedXErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
}

int ScopedXErrorTrap::Check() {
  XSync(display_, False);
  return trappedError;
}

void SetResources(Display* display, const std::string& resources) {
  XChangeProperty(display, RootWindow(display, 0), XA_RESOURCE_MANAGER, XA_STRING, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                  static_cast<int>(resources.size()));
  XSync(display, False);
}

// Windows

Window FindWindowByName(Display* display, const std::string& name) {
  ScopedXErrorTrap trap(display);  // A window may vanish while the tree is walked.
  return FindBelow(display, DefaultRootWindow(display), name);
}

Window WaitForWindow(Display* display, const std::string& name, milliseconds timeout) {
  Window found = 0;
  WaitUntil(
      [&] {
        found = FindWindowByName(display, name);
        return found != 0;
      },
      timeout);
  return found;
}

bool IsWindowViewable(Display* display, Window window) {
  ScopedXErrorTrap trap(display);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.Check() != 0) return false;
  return attributes.map_state == IsViewable;
}

bool WaitWindowViewable(Display* display, Window window, milliseconds timeout) {
  return WaitUntil([&] { return IsWindowViewable(display, window); }, timeout);
}

std::optional<WindowGeometry> GetGeometry(Display* display, Window window) {
  ScopedXErrorTrap trap(display);
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.Check() != 0) {
    return std::nullopt;
  }
  WindowGeometry geometry;
  geometry.width = attributes.width;
  geometry.height = attributes.height;
  Window child = 0;
  if (XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &geometry.x,
                            &geometry.y, &child) == 0 ||
      trap.Check() != 0) {
    return std::nullopt;
  }
  return geometry;
}

// Pixels

std::string ToString(const Rgb& colour) {
  return "(" + std::to_string(colour.r) + "," + std::to_string(colour.g) + "," +
         std::to_string(colour.b) + ")";
}

RgbImage::RgbImage(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height)) {}

bool RgbImage::WritePpm(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width_ << " " << height_ << "\n255\n";
  for (const Rgb& pixel : pixels_) {
    const char bytes[3] = {static_cast<char>(pixel.r), static_cast<char>(pixel.g),
                           static_cast<char>(pixel.b)};
    out.write(bytes, 3);
  }
  return static_cast<bool>(out);
}

namespace {

// The pixels of a rectangle of the window; empty if the window is gone, unmapped, or the
// rectangle does not lie inside it.
std::optional<RgbImage> GrabArea(Display* display, Window window, int x, int y, int width,
                                 int height) {
  if (x < 0 || y < 0 || width <= 0 || height <= 0) return std::nullopt;
  ScopedXErrorTrap trap(display);
  XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (trap.Check() != 0 || image == nullptr) {
    if (image != nullptr) XDestroyImage(image);
    return std::nullopt;
  }
  RgbImage result(image->width, image->height);
  for (int row = 0; row < image->height; ++row) {
    for (int column = 0; column < image->width; ++column) {
      const unsigned long pixel = XGetPixel(image, column, row);
      result.At(column, row) =
          Rgb{Channel(pixel, image->red_mask), Channel(pixel, image->green_mask),
              Channel(pixel, image->blue_mask)};
    }
  }
  XDestroyImage(image);
  return result;
}

}  // namespace

std::optional<RgbImage> GrabWindow(Display* display, Window window) {
  std::optional<WindowGeometry> geometry = GetGeometry(display, window);
  if (!geometry) return std::nullopt;
  return GrabArea(display, window, 0, 0, geometry->width, geometry->height);
}

std::optional<Rgb> PixelAt(Display* display, Window window, int x, int y) {
  const std::optional<RgbImage> pixel = GrabArea(display, window, x, y, 1, 1);
  if (!pixel) return std::nullopt;
  return pixel->At(0, 0);
}

// Input and messages

void MovePointer(Display* display, int x, int y) {
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XFlush(display);
}

void PressButton(Display* display, unsigned button) {
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  XFlush(display);
}

void ReleaseButton(Display* display, unsigned button) {
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  XFlush(display);
}

void TypeKey(Display* display, unsigned long keysym) {
  const KeyCode key = XKeysymToKeycode(display, keysym);
  XTestFakeKeyEvent(display, key, True, CurrentTime);
  XTestFakeKeyEvent(display, key, False, CurrentTime);
  XFlush(display);
}

void ResizeWindow(Display* display, Window window, int width, int height) {
  XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(display);
}

void SendDeleteWindow(Display* display, Window window) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

}  // namespace xharness
