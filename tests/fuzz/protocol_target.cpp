// libFuzzer entry point for the engine protocols: every input is one session. A failed check
// aborts, which libFuzzer records as a finding.
#include <cstdio>
#include <cstdlib>

#include "protocol_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* failure = reversi::testing::CheckProtocol(data, size)) {
    std::fprintf(stderr, "protocol check failed: %s\n", failure);
    std::abort();
  }
  return 0;
}
