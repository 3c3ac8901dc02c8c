// Replays input files (or every file of the directories given) through the checked session, twice
// each, so the seed corpora and any saved finding run as an ordinary test in every build, also
// without the fuzzing compiler. Files named after "--options" begin with the options the fuzz
// target draws from its input's first bytes; those before it are plain standard input. Fails when
// a check fails, when two runs of one input differ, or when no input was found at all.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "session_check.h"

namespace {

using reversi::testing::DrawOptions;
using reversi::testing::RunCheckedSession;
using reversi::testing::SessionOptions;
using reversi::testing::SessionReport;

std::string currentFile;

// A failed check may come from a game caught in a loop that reads no input; it is reported and
// the replay ends there.
[[noreturn]] void StopAtFailure(const char* failure) {
  std::printf("%s FAILED\n  %s\n", currentFile.c_str(), failure);
  std::fflush(stdout);
  std::_Exit(1);
}

// Runs one file; prints what it found. True when every check held.
bool ReplayFile(const std::filesystem::path& path, bool withOptions) {
  currentFile = path.filename().string();
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> content((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
  SessionOptions options{};
  const std::size_t taken = withOptions ? DrawOptions(bytes, content.size(), options) : 0;
  const SessionOptions* given = withOptions ? &options : nullptr;
  const std::size_t size = content.size() - taken;
  const SessionReport first = RunCheckedSession(bytes + taken, size, StopAtFailure, given);
  const SessionReport second = RunCheckedSession(bytes + taken, size, StopAtFailure, given);
  const char* failure = first.failure;
  if (failure == nullptr &&
      (first.outputDigest != second.outputDigest || first.outputBytes != second.outputBytes)) {
    failure = "two runs of the same input wrote different output";
  }
  std::printf("%-40s %s: %d games, %d COM moves, %d other moves, %zu bytes out\n",
              path.filename().string().c_str(), failure == nullptr ? "ok" : "FAILED", first.games,
              first.comMoves, first.humanMoves, first.outputBytes);
  if (failure != nullptr) std::printf("  %s\n", failure);
  return failure == nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::filesystem::path, bool>> files;  // with options or not
  bool withOptions = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--options") {
      withOptions = true;
      continue;
    }
    const std::filesystem::path given(argv[i]);
    if (std::filesystem::is_directory(given)) {
      for (const auto& entry : std::filesystem::directory_iterator(given)) {
        if (entry.is_regular_file()) files.emplace_back(entry.path(), withOptions);
      }
    } else {
      files.emplace_back(given, withOptions);
    }
  }
  if (files.empty()) {
    std::printf("no input files given\n");
    return 1;
  }
  std::sort(files.begin(), files.end());
  int failed = 0;
  for (const auto& [path, options] : files)
    failed += ReplayFile(path, options) ? 0 : 1;
  std::printf("%zu inputs, %d failed\n", files.size(), failed);
  return failed == 0 ? 0 : 1;
}
