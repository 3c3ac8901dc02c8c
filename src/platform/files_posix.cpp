// The record file, the pause and standard error on a POSIX system: plain file descriptors, so that
// a record line reaches the system in one write and nothing is buffered behind the game's back.
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/console.h"

namespace reversi::platform {

namespace {

constexpr int NoFile = -1;
int recordFile = NoFile;

constexpr long MillisecondsPerSecond = 1000;
constexpr long NanosecondsPerMillisecond = 1000000;

// Writes everything to `fd`, retrying after signals. False when a write fails or writes nothing.
bool WriteAllTo(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(fd, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool OpenRecordFile(const char* path, const char*& reason) {
  // Non-blocking only while opening: a FIFO without a reader would otherwise hold the start-up.
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (recordFile != NoFile) close(recordFile);
  recordFile = fd;
  return true;
}

bool AppendToRecordFile(const char* bytes, std::size_t count) {
  if (recordFile == NoFile) return false;
  // The game must survive a record file whose reader has gone, as it survives such an output.
  signal(SIGPIPE, SIG_IGN);
  return WriteAllTo(recordFile, bytes, count);
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec left = {milliseconds / MillisecondsPerSecond,
                   (milliseconds % MillisecondsPerSecond) * NanosecondsPerMillisecond};
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

void WriteErrorText(const char* text) {
  signal(SIGPIPE, SIG_IGN);
  WriteAllTo(STDERR_FILENO, text, std::strlen(text));
}

}  // namespace reversi::platform
