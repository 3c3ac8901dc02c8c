// The command line's answers, checked: standard output and standard error are caught through the
// console layer's seams, and the record file's open goes to /dev/null through the OS files'
// system-call table, so that a fuzzed "--record=NAME" leaves nothing behind.
#include "command_line_check.h"

#include <fcntl.h>

#include <cstring>

#include "app/options.h"
#include "game/game.h"
#include "platform/console.h"
#include "platform/posix/system_calls.h"

namespace reversi::testing {

namespace {

constexpr int MostArguments = 64;
constexpr std::size_t MostBytes = 1 << 16;
char argumentBytes[MostBytes + 1];
char* arguments[MostArguments + 2];

std::size_t outputBytes = 0;
std::size_t errorBytes = 0;
// The last bytes of standard error, enough for the usage hint that ends every refusal.
constexpr char UsageHint[] = "Try 'reversi --help'.\n";
constexpr std::size_t HintLength = sizeof UsageHint - 1;
char errorTail[HintLength];

void CountOutput(const char*, std::size_t count) {
  outputBytes += count;
}

void CountErrors(const char* bytes, std::size_t count) {
  errorBytes += count;
  for (std::size_t i = 0; i < count; ++i) {
    std::memmove(errorTail, errorTail + 1, HintLength - 1);
    errorTail[HintLength - 1] = bytes[i];
  }
}

int OpenNothing(const char*, int flags, mode_t mode) {
  return platform::os::sys::Real.open("/dev/null", flags, mode);
}

}  // namespace

const char* CheckCommandLine(const std::uint8_t* bytes, std::size_t size) {
  if (size > MostBytes) size = MostBytes;
  if (size > 0) std::memcpy(argumentBytes, bytes, size);
  argumentBytes[size] = '\0';
  int count = 0;
  arguments[count++] = const_cast<char*>("reversi");
  for (std::size_t at = 0; at <= size && count <= MostArguments;) {
    arguments[count++] = argumentBytes + at;
    at += std::strlen(argumentBytes + at) + 1;
  }
  if (size == 0) count = 1;  // no bytes: no arguments at all
  arguments[count] = nullptr;

  GameSettings = {};
  outputBytes = 0;
  errorBytes = 0;
  std::memset(errorTail, 0, sizeof errorTail);
  platform::RedirectOutput(CountOutput);
  platform::RedirectErrors(CountErrors);
  platform::os::sys::Calls.open = OpenNothing;
  const int answer = app::ReadCommandLine(count, arguments);
  platform::os::sys::Calls = platform::os::sys::Real;
  platform::RedirectOutput(nullptr);
  platform::RedirectErrors(nullptr);
  platform::CloseRecordFile();
  GameSettings = {};

  if (outputBytes > 0 && errorBytes > 0) return "output on both streams";
  switch (answer) {
    case app::StartTheGame:
      return outputBytes == 0 && errorBytes == 0 ? nullptr : "a game to start, but text written";
    case app::ExitSuccess:
      return errorBytes == 0 ? nullptr : "success, but a complaint written";
    case app::ExitBadCommandLine:
      if (outputBytes != 0) return "refused, but output written";
      return std::memcmp(errorTail, UsageHint, HintLength) == 0 ? nullptr
                                                                : "refused without the usage hint";
    default:
      return "an exit code other than 0 or 2";
  }
}

}  // namespace reversi::testing
