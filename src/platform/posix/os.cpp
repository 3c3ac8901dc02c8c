// The console layer's requests on POSIX systems: a terminal is titled and cleared by the ANSI
// escape sequences that the console layer writes among the output, and shown the texts in UTF-8,
// laid out as a CP932 console lays them out (utf8_terminal.h); a pipe or a file gets the CP932
// bytes unchanged.
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "os.h"
#include "posix/system_calls.h"
#include "utf8_terminal.h"

namespace reversi::platform::os {

namespace {

bool decided = false;
bool outputIsTerminal = false;
bool converting = false;       // output converted to UTF-8; otherwise the bytes go out unchanged
bool inputIsTerminal = false;  // the terminal echoes what the user types
int stdoutError = 0;           // the error number of the first write that failed

// Settles once, before the first byte goes out, how standard output is served. The converter is
// opened here so that a game in progress never allocates. A reader that has gone away must not
// kill the game with SIGPIPE: the write fails instead and the game goes on until its input ends,
// like on a console that was closed.
void Decide() {
  if (decided) return;
  decided = true;
  signal(SIGPIPE, SIG_IGN);
  // Without a CP932 converter the terminal gets the bytes unchanged, as before conversion existed.
  outputIsTerminal = isatty(STDOUT_FILENO) != 0;
  converting = outputIsTerminal && utf8_terminal::OpenConverter();
  inputIsTerminal = isatty(STDIN_FILENO) != 0;
}

// Writes to standard output as it is, retrying after signals.
void WriteAll(const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = sys::Calls.write(STDOUT_FILENO, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {  // closed, full or gone: drop the rest
      if (stdoutError == 0) stdoutError = written < 0 ? errno : EIO;
      return;
    }
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
}

}  // namespace

void WriteStdout(const char* bytes, std::size_t count) {
  Decide();
  if (converting) {
    utf8_terminal::WriteConverted(bytes, count, WriteAll);
  } else {
    WriteAll(bytes, count);
  }
}

long ReadStdin(char* buffer, std::size_t capacity) {
  Decide();
  for (;;) {
    const ssize_t got = sys::Calls.read(STDIN_FILENO, buffer, capacity);
    if (got < 0 && errno == EINTR) continue;
    // The line the user typed was echoed with its line end: the next output starts a line.
    if (got > 0 && inputIsTerminal && converting && buffer[got - 1] == '\n') {
      utf8_terminal::StartNewLine();
    }
    return static_cast<long>(got);
  }
}

int StdoutError() {
  return stdoutError;
}

ScreenControl HowScreenIsControlled() {
  // Only a terminal understands the title sequence; a pipe or a file gets the clear alone.
  Decide();
  return outputIsTerminal ? ScreenControl::TitleAndClearInOutput : ScreenControl::ClearInOutput;
}

bool OutputIsInteractive() {
  Decide();
  return outputIsTerminal;
}

// A terminal is titled and cleared by escape sequences in the output, so these are never asked.
void SetTitle(const char*) {}
void BlankConsoleWindow() {}

}  // namespace reversi::platform::os
