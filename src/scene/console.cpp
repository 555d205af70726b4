// console.cpp: the one way text reaches the console, and what becomes of a line that cannot.
#include "console.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool writeFailed = false;  // Set by the first line that could not be written.

}  // namespace

void ConsolePrint(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  errno = 0;
  // va_start is just above; clang-tidy 14's checker loses sight of it when given several files.
  const bool printed =
      std::vprintf(format, arguments) >= 0;  // NOLINT(clang-analyzer-valist.Uninitialized)
  va_end(arguments);
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (printed && flushed) {
    return;
  }
  // The stream stays usable: each later line is tried again and lands if the fault has passed.
  std::clearerr(stdout);
  if (error == EPIPE || writeFailed) {
    return;
  }
  writeFailed = true;
  std::fprintf(stderr, "sample-drawing: cannot write to standard output: %s\n",
               std::strerror(error));
}

int ConsoleExitStatus() { return writeFailed ? 1 : 0; }
