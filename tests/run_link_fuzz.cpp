// run_link_fuzz.cpp: the run's link under libFuzzer: any bytes are read without a crash, a hang
// or a leak, and a run the reader accepts is written as a link that reads back as the same run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "run_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const run_link::Reading reading =
      run_link::Read(std::string_view(reinterpret_cast<const char*>(data), size));
  if (reading.reason != run_link::Reason::kNone) return 0;
  const auto link = run_link::Write(reading.run);
  if (!link) std::abort();
  const run_link::Reading back = run_link::Read(*link);
  if (back.reason != run_link::Reason::kNone || run_link::Write(back.run) != link) std::abort();
  return 0;
}
