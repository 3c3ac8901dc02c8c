// Replays the seed corpora of the command line, of the record file's reader, of the engine
// protocols and of --solve's problem file through their checks, so that they run as ordinary tests
// in every build: "--command-line DIR...", "--record-file DIR...", "--protocol DIR..." or
// "--problem-file DIR...". Fails on a failed check
// or when no file was found.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <cstring>

#include "command_line_check.h"
#include "problem_file_check.h"
#include "protocol_check.h"
#include "record_reader_check.h"

int main(int argc, char** argv) {
  int files = 0;
  int failed = 0;
  if (argc < 2) return 1;
  const bool commandLine = std::strcmp(argv[1], "--command-line") == 0;
  const bool protocol = std::strcmp(argv[1], "--protocol") == 0;
  const bool problemFile = std::strcmp(argv[1], "--problem-file") == 0;
  for (int i = 2; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      const std::vector<char> content((std::istreambuf_iterator<char>(file)),
                                      std::istreambuf_iterator<char>());
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
      const char* failure = commandLine ? reversi::testing::CheckCommandLine(bytes, content.size())
                            : protocol  ? reversi::testing::CheckProtocol(bytes, content.size())
                            : problemFile
                                ? reversi::testing::CheckProblemFile(bytes, content.size())
                                : reversi::testing::CheckRecordReader(bytes, content.size());
      std::printf("%-40s %s\n", entry.path().filename().string().c_str(),
                  failure == nullptr ? "ok" : failure);
      ++files;
      failed += failure == nullptr ? 0 : 1;
    }
  }
  std::printf("%d inputs, %d failed\n", files, failed);
  return files > 0 && failed == 0 ? 0 : 1;
}
