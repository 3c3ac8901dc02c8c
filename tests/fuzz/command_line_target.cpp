// libFuzzer entry point for the command line: every input is an argument vector, its arguments
// separated by NUL bytes. A failed check aborts, which libFuzzer records as a finding.
#include <cstdio>
#include <cstdlib>

#include "command_line_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* failure = reversi::testing::CheckCommandLine(data, size)) {
    std::fprintf(stderr, "command line check failed: %s\n", failure);
    std::abort();
  }
  return 0;
}
