// libFuzzer entry point for the record file behind --resume: every input is a whole file. A
// failed check aborts, which libFuzzer records as a finding.
#include <cstdio>
#include <cstdlib>

#include "record_reader_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const char* failure = reversi::testing::CheckRecordReader(data, size)) {
    std::fprintf(stderr, "record reader check failed: %s\n", failure);
    std::abort();
  }
  return 0;
}
