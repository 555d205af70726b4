// stdout_capture.h: runs a piece of code and returns the lines it printed on standard output.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

template <typename Action>
std::vector<std::string> LinesPrintedBy(Action action) {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
  action();
  std::fflush(stdout);
  std::istringstream printed(testing::internal::GetCapturedStdout());
  std::vector<std::string> lines;
  for (std::string line; std::getline(printed, line);) {
    lines.push_back(line);
  }
  return lines;
}
