// --solve on any bytes: lines of any length, any byte in them, no line end at the end. A file with
// a fault is refused in one line before anything is solved; a good one gets one row per position
// and the totals.
#include "problem_file_check.h"

#include <string>

#include "engine/engine.h"
#include "fuzz_file.h"
#include "harness.h"
#include "platform/console.h"

namespace reversi::testing {

namespace {

// Positions with more empty squares are refused, so that no input makes a long search.
constexpr int FuzzedEmpties = 10;

std::string errors;

void KeepErrors(const char* bytes, std::size_t count) {
  errors.append(bytes, count);
}

}  // namespace

const char* CheckProblemFile(const std::uint8_t* bytes, std::size_t size) {
  const char* path = WriteFuzzFile("problem-file", bytes, size);
  if (path == nullptr) return nullptr;  // nowhere to write: nothing to check
  ResetProcessState();
  errors.clear();
  platform::RedirectErrors(KeepErrors);
  const int status = engine::RunSolve(path, FuzzedEmpties);
  platform::RedirectErrors(nullptr);
  const std::string output = TakeOutput();
  const char* failure = nullptr;
  if (status == engine::ExitBadInput) {
    if (!output.empty()) failure = "a refused file was solved in part";
    if (errors.rfind("reversi: ", 0) != 0) failure = "a refusal without its line";
  } else if (status == engine::ExitAllGood || status == engine::ExitDisagrees) {
    if (!errors.empty()) failure = "a solved file with a complaint";
    if (output.size() < 7 || output.compare(output.size() - 7, 7, "differ\n") != 0) {
      failure = "a solved file without its totals";
    }
  } else {
    failure = "an exit code of no meaning";
  }
  ResetProcessState();
  return failure;
}

}  // namespace reversi::testing
