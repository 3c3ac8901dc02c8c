// The record file, the pause and standard error on a POSIX system: plain file descriptors, so that
// a record line reaches the system in one write and nothing is buffered behind the game's back.
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/os.h"

namespace reversi::platform::os {

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
    if (written == 0) errno = EIO;  // no progress and no error of its own
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

bool AppendToRecordFile(const char* bytes, std::size_t count, const char*& reason) {
  if (recordFile == NoFile) {
    reason = "no record file is open";
    return false;
  }
  // The game must survive a record file whose reader has gone, as it survives such an output, and
  // one that has grown to the process's file size limit.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  if (WriteAllTo(recordFile, bytes, count)) return true;
  reason = std::strerror(errno);
  return false;
}

long long RecordFileSize() {
  return recordFile == NoFile ? -1 : static_cast<long long>(lseek(recordFile, 0, SEEK_END));
}

void CutRecordFile(long long size) {
  const int cut = ftruncate(recordFile, static_cast<off_t>(size));
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
