// A fuzz target's input as a file, for the readers that take a path.
#include "fuzz_file.h"

#include <unistd.h>

#include <cstdio>

namespace reversi::testing {

const char* WriteFuzzFile(const char* name, const std::uint8_t* bytes, std::size_t size) {
  // Written anew for every input: the path returned last is the only one in use.
  constexpr int PathLength = 64;
  static char path[PathLength];
  std::snprintf(path, sizeof path, "/tmp/reversi-%s-%d", name, static_cast<int>(getpid()));
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return nullptr;
  const bool written = size == 0 || std::fwrite(bytes, 1, size, file) == size;
  std::fclose(file);
  return written ? path : nullptr;
}

}  // namespace reversi::testing
