// libFuzzer entry point for --solve's problem file: every input is one file. A failed check
// aborts, which libFuzzer records as a finding.
#include <cstdio>
#include <cstdlib>

#include "problem_file_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* failure = reversi::testing::CheckProblemFile(data, size)) {
    std::fprintf(stderr, "problem file check failed: %s\n", failure);
    std::abort();
  }
  return 0;
}
