// Replays the command-line seed corpus (every file of the directories given) through the checked
// command line, so that it runs as an ordinary test in every build. Fails on a failed check or
// when no file was found.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "command_line_check.h"

int main(int argc, char** argv) {
  int files = 0;
  int failed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      const std::vector<char> content((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
      const char* failure = reversi::testing::CheckCommandLine(
          reinterpret_cast<const std::uint8_t*>(content.data()), content.size());
      std::printf("%-40s %s\n", entry.path().filename().string().c_str(),
                  failure == nullptr ? "ok" : failure);
      ++files;
      failed += failure == nullptr ? 0 : 1;
    }
  }
  std::printf("%d inputs, %d failed\n", files, failed);
  return files > 0 && failed == 0 ? 0 : 1;
}
