// The engine protocols on any bytes: lines of any length, any byte in them, commands in any order.
#include "protocol_check.h"

#include <string>
#include <string_view>

#include "board/board.h"
#include "com/com.h"
#include "engine/engine.h"
#include "harness.h"

namespace reversi::testing {

namespace {

// Whether every GTP answer in `output` starts with '=' or '?' and ends with a blank line.
bool AnswersAreWellFormed(const std::string& output) {
  std::size_t at = 0;
  while (at < output.size()) {
    if (output[at] != '=' && output[at] != '?') return false;
    const std::size_t end = output.find("\n\n", at);
    if (end == std::string::npos) return false;
    at = end + 2;
  }
  return true;
}

}  // namespace

const char* CheckProtocol(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0) return nullptr;
  const bool gtp = bytes[0] % 2 == 0;
  const int level = bytes[0] / 2 % 2 == 0 ? RuleBasedLevel : FirstSearchingLevel;
  const std::string input(reinterpret_cast<const char*>(bytes + 1), size - 1);
  ResetProcessState();
  SetComLevel(0, level);
  SetComLevel(1, level);
  FeedInput(input);
  const engine::EngineStart start = {nullptr, 1};
  const int status = gtp ? engine::RunGtp(start) : engine::RunNBoard(start);
  const std::string output = TakeOutput();
  const char* failure = nullptr;
  if (status != 0) failure = "a protocol ended with a failure";
  if (gtp && !AnswersAreWellFormed(output)) failure = "a GTP answer out of form";
  ResetProcessState();
  return failure;
}

}  // namespace reversi::testing
