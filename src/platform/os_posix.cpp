// The console layer on a POSIX terminal: ANSI escape sequences in place of the Windows console's
// title call and its "cls" command.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/console.h"
#include "platform/os.h"

namespace reversi::platform::os {

namespace {

constexpr char TitleStart[] = "\x1b]0;";  // OSC 0: set the window (and icon) title
constexpr char TitleEnd[] = "\x07";

// A reader that has gone away must not kill the game with SIGPIPE: the write fails instead and
// the game goes on until its input ends, like on a console that was closed.
void IgnoreBrokenPipes() {
  static bool done = false;
  if (done) return;
  done = true;
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

void WriteStdout(const char* bytes, std::size_t count) {
  IgnoreBrokenPipes();
  while (count > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // closed, full or gone: drop the rest
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
}

long ReadStdin(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, capacity);
    if (got < 0 && errno == EINTR) continue;
    return static_cast<long>(got);
  }
}

void SetTitle(const char* cp932Title) {
  // Only a terminal understands the sequence; a pipe or a file gets nothing for the title.
  if (isatty(STDOUT_FILENO) == 0) return;
  WriteText(TitleStart);
  WriteText(cp932Title);
  WriteText(TitleEnd);
}

void ClearScreen() {
  WriteOutput(ClearSequence, sizeof ClearSequence - 1);
}

std::uint32_t CalendarSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace reversi::platform::os
