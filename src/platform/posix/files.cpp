// Files for appending, the pause and standard error on a POSIX system: plain file descriptors, so
// that what the game appends reaches the system in one write and nothing is buffered behind its
// back.
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os.h"

namespace reversi::platform::os {

namespace {

constexpr long MillisecondsPerSecond = 1000;
constexpr long NanosecondsPerMillisecond = 1000000;

// Writes everything to `fd`, retrying after signals. False when a write fails or writes nothing.
bool WriteAllTo(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t written = write(fd, bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written == 0) errno = EIO;  // no progress and no error of its own
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

File OpenForAppending(const char* path, const char*& reason) {
  // Non-blocking only while opening: a FIFO without a reader would otherwise hold the start-up.
  const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
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
  const int cut = ftruncate(file, static_cast<off_t>(size));
  static_cast<void>(cut);  // a file that cannot be cut back keeps the piece: nothing else to do
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
