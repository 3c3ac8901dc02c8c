// The console layer's requests on POSIX systems: a terminal is titled and cleared by the ANSI
// escape sequences that the console layer writes among the output, and shown the texts in UTF-8,
// laid out as a CP932 console lays them out (utf8_terminal.h); a pipe or a file gets the CP932
// bytes unchanged. The ending signals are caught here, beside the read they interrupt.
#include <poll.h>
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
bool inputIsTerminal = false;  // the terminal echoes what the user types
int stdoutError = 0;           // the error number of the first write that failed

// Settles once, before the first byte goes out, how standard output is served. The converter is
// opened here so that a game in progress never allocates; without one the terminal gets the bytes
// unchanged.
void Decide() {
  if (decided) return;
  decided = true;
  outputIsTerminal = isatty(STDOUT_FILENO) != 0;
  if (outputIsTerminal) utf8_terminal::OpenConverter();
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

// ---- Ending signals ---------------------------------------------------------------------------

constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT};

// The ending signal that has come, 0 for none. The handler only sets it (a volatile sig_atomic_t
// is what a handler may safely write); the program reads it between its own steps.
volatile sig_atomic_t endingSignal = 0;

void OnEndingSignal(int signalNumber) {
  if (endingSignal == 0) endingSignal = signalNumber;
}

// The ending signals as a set, for blocking them.
sigset_t EndingSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signalNumber : EndingSignals)
    sigaddset(&set, signalNumber);
  return set;
}

// Waits until standard input has something to read (or has ended) or an ending signal comes. The
// signals are blocked while the flag is looked at and let through only inside ppoll, so that one
// coming just before the wait cannot be missed (the pselect/ppoll pattern). False for an ending.
bool WaitForInput() {
  const sigset_t ending = EndingSignalSet();
  sigset_t open;
  sigprocmask(SIG_BLOCK, &ending, &open);
  pollfd input = {STDIN_FILENO, POLLIN, 0};
  while (endingSignal == 0 && sys::Calls.ppoll(&input, 1, nullptr, &open) < 0 && errno == EINTR) {
  }
  sigprocmask(SIG_SETMASK, &open, nullptr);
  return endingSignal == 0;
}

}  // namespace

void InstallEndingHandlers() {
  // A reader gone or a file grown to its size limit makes the write fail; the game goes on until
  // its input ends, like on a console that was closed.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  struct sigaction action = {};
  action.sa_handler = OnEndingSignal;
  action.sa_flags = 0;  // no SA_RESTART: a waiting call returns with EINTR
  sigemptyset(&action.sa_mask);
  for (int signalNumber : EndingSignals) {
    struct sigaction before = {};
    sigaction(signalNumber, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;  // started with nohup, say: it stays ignored
    sigaction(signalNumber, &action, nullptr);
  }
}

bool EndingRequested() {
  return endingSignal != 0;
}

void EndAsRequested() {
  const int signalNumber = endingSignal;
  if (signalNumber == 0) return;
  signal(signalNumber, SIG_DFL);
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signalNumber);
  sigprocmask(SIG_UNBLOCK, &just, nullptr);
  raise(signalNumber);
  _exit(1);  // not reached: the default action of each ending signal ends the process
}

void WriteStdout(const char* bytes, std::size_t count) {
  Decide();
  utf8_terminal::WriteConverted(bytes, count, WriteAll);
}

long ReadStdin(char* buffer, std::size_t capacity) {
  Decide();
  for (;;) {
    if (!WaitForInput()) return 0;  // an ending: the input counts as ended
    const ssize_t got = sys::Calls.read(STDIN_FILENO, buffer, capacity);
    if (got < 0 && errno == EINTR) continue;
    if (inputIsTerminal) utf8_terminal::NoteEchoedInput(buffer, static_cast<long>(got));
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
