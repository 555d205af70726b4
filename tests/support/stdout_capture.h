// stdout_capture.h: runs a piece of code and returns what it printed on standard output.
//
// The capture redirects file descriptor 1, so printf is caught exactly as a pipe would see it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

template <typename Action>
std::string TextPrintedBy(Action action) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  action();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

inline std::vector<std::string> LinesOf(const std::string& text) {
  std::istringstream printed(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(printed, line);) {
    lines.push_back(line);
  }
  return lines;
}

template <typename Action>
std::vector<std::string> LinesPrintedBy(Action action) {
  return LinesOf(TextPrintedBy(action));
}
