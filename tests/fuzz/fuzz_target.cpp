// libFuzzer entry point: every input is a whole session, its options drawn from its first bytes
// and the rest its standard input. A failed check aborts, which libFuzzer records as a finding
// together with the input that caused it.
#include <cstdio>
#include <cstdlib>

#include "session_check.h"

namespace {

// Stops at the first failed check, so the stack shows where the game was.
[[noreturn]] void AbortOnFailure(const char* failure) {
  std::fprintf(stderr, "session check failed: %s\n", failure);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  reversi::testing::SessionOptions options;
  const std::size_t taken = reversi::testing::DrawOptions(data, size, options);
  reversi::testing::RunCheckedSession(data + taken, size - taken, AbortOnFailure, &options);
  return 0;
}
