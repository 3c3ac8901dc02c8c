// Files for appending, the pause, standard error and the end of the process on a POSIX system:
// plain file descriptors, so that what the game appends reaches the system in plain writes and
// nothing is buffered behind its back. A record line goes in under flock, the advisory lock every
// game holds for its appends, and the ending handlers use only async-signal-safe calls.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "os.h"
#include "posix/system_calls.h"

namespace reversi::platform::os {

namespace sys {

namespace {

int OpenFile(const char* path, int flags, mode_t mode) {
  return ::open(path, flags, mode);
}

}  // namespace

const SystemCalls Real = {::write, ::read, OpenFile, ::ftruncate};
SystemCalls Calls = Real;

}  // namespace sys

namespace {

constexpr long MillisecondsPerSecond = 1000;
constexpr long NanosecondsPerMillisecond = 1000000;
// What a scratch file is copied through; on the stack of whoever appends, a signal handler too.
constexpr std::size_t CopyChunk = 4096;

// Writes everything to `fd`, retrying after signals. False when a write fails or writes nothing,
// with errno telling why. Async-signal-safe.
bool WriteAllTo(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = sys::Calls.write(fd, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;  // no progress and no error of its own
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies the first `count` bytes of `from` to the end of `to`. Async-signal-safe.
bool CopyHead(int from, long long count, int to) {
  if (lseek(from, 0, SEEK_SET) != 0) return false;
  char chunk[CopyChunk];
  while (count > 0) {
    const std::size_t wanted =
        count < static_cast<long long>(CopyChunk) ? static_cast<std::size_t>(count) : CopyChunk;
    const ssize_t got = sys::Calls.read(from, chunk, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) errno = EIO;  // the scratch file is shorter than it was written
    if (got <= 0) return false;
    if (!WriteAllTo(to, chunk, static_cast<std::size_t>(got))) return false;
    count -= got;
  }
  return true;
}

// flock, retried after signals. A file that takes no lock (some network file systems) is
// appended to without one, as before locks were taken.
bool Lock(int fd) {
  for (;;) {
    if (flock(fd, LOCK_EX) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// ---- The ending -----------------------------------------------------------------------------

constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT};

// What the handler does; changed only while the signals are blocked, so it is never seen half
// written.
EndingWork ending = {NoFile, NoFile, 0, nullptr, 0, nullptr, 0};
bool handlersInstalled = false;
sigset_t endingSet;

// The handler of every ending signal: the line, then the terminal, then the system's own action
// for the signal, so the process ends as it would have and its exit status tells the signal.
// The other ending signals are blocked while it runs (its sa_mask), so it runs once.
void OnEndingSignal(int signalNumber) {
  if (ending.file != NoFile) {
    AppendLine(ending.file, ending.head, ending.headBytes, ending.bytes, ending.count);
    ending.file = NoFile;
  }
  if (ending.farewellCount > 0) WriteAllTo(STDOUT_FILENO, ending.farewell, ending.farewellCount);
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);  // pending while this handler runs with it blocked
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signalNumber);
  sigprocmask(SIG_UNBLOCK, &just, nullptr);
  _exit(1);  // not reached: the default action of each of these signals ends the process
}

void InstallHandlers() {
  handlersInstalled = true;
  sigemptyset(&endingSet);
  for (int signalNumber : EndingSignals)
    sigaddset(&endingSet, signalNumber);
  struct sigaction action = {};
  action.sa_handler = OnEndingSignal;
  action.sa_mask = endingSet;
  for (int signalNumber : EndingSignals) {
    struct sigaction before = {};
    sigaction(signalNumber, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;  // started with nohup, say: it stays ignored
    sigaction(signalNumber, &action, nullptr);
  }
}

bool holding = false;

}  // namespace

File OpenForAppending(const char* path, const char*& reason) {
  // Non-blocking only while opening: a FIFO without a reader would otherwise hold the start-up.
  const int fd =
      sys::Calls.open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    reason = std::strerror(errno);
    return NoFile;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

void CloseFile(File file) {
  close(file);
}

bool AppendToFile(File file, const char* bytes, std::size_t count, const char*& reason) {
  // The game must survive a file whose reader has gone, as it survives such an output, and one
  // that has grown to the process's file size limit.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  if (WriteAllTo(file, bytes, count)) return true;
  reason = std::strerror(errno);
  return false;
}

long long FileSize(File file) {
  return static_cast<long long>(lseek(file, 0, SEEK_END));
}

void TruncateFile(File file, long long size) {
  const int cut = sys::Calls.ftruncate(file, static_cast<off_t>(size));
  static_cast<void>(cut);  // a file that cannot be cut back keeps the piece: nothing else to do
}

File OpenScratchFile(const char*& reason) {
  // A file in the temporary folder without a name (O_TMPFILE) where the system has them; else one
  // with a name of its own, removed at once, so nothing of it outlives the process either way.
  // Written at its end whatever was read before, also after it has been emptied.
#ifdef O_TMPFILE
  const int nameless = sys::Calls.open("/tmp", O_TMPFILE | O_RDWR | O_APPEND | O_CLOEXEC, 0600);
  if (nameless >= 0) return nameless;
#endif
  char name[] = "/tmp/reversi-line-XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    reason = std::strerror(errno);
    return NoFile;
  }
  unlink(name);
  fcntl(fd, F_SETFD, FD_CLOEXEC);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_APPEND);
  return fd;
}

int AppendLine(File file, File head, long long headBytes, const char* bytes, std::size_t count) {
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  const bool locked = Lock(file);
  const long long start = FileSize(file);
  int error = 0;
  if ((head != NoFile && headBytes > 0 && !CopyHead(head, headBytes, file)) ||
      !WriteAllTo(file, bytes, count)) {
    error = errno;
    // Cut back to the line's start, which under the lock is where no other line has gone since.
    if (start >= 0) TruncateFile(file, start);
  }
  if (locked) flock(file, LOCK_UN);
  return error;
}

const char* ErrorText(int error) {
  return std::strerror(error);
}

void SetEndingWork(const EndingWork& work) {
  ending = work;  // before the first handler can see it
  if (!handlersInstalled) InstallHandlers();
}

void HoldEnding() {
  if (!handlersInstalled || holding) return;
  holding = true;
  sigprocmask(SIG_BLOCK, &endingSet, nullptr);
}

void AllowEnding() {
  if (!holding) return;
  holding = false;
  sigprocmask(SIG_UNBLOCK, &endingSet, nullptr);
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec left = {milliseconds / MillisecondsPerSecond,
                   (milliseconds % MillisecondsPerSecond) * NanosecondsPerMillisecond};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

void WriteStderr(const char* bytes, std::size_t count) {
  signal(SIGPIPE, SIG_IGN);
  WriteAllTo(STDERR_FILENO, bytes, count);
}

}  // namespace reversi::platform::os
