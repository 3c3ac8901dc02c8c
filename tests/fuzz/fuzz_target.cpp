// libFuzzer entry point: every input is a whole session's standard input. A failed check aborts,
// which libFuzzer records as a finding together with the input that caused it.
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
  reversi::testing::RunCheckedSession(data, size, AbortOnFailure);
  return 0;
}
