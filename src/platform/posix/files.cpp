// Files for appending, the pause, standard error and the ending signals on a POSIX system: plain
// file descriptors, so that nothing the game appends is buffered behind its back, and a record
// line goes in under flock, the advisory lock every game holds for its appends.
#include <fcntl.h>
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

const SystemCalls Real = {::write, ::read, OpenFile, ::ftruncate, ::ppoll};
SystemCalls Calls = Real;

}  // namespace sys

namespace {

constexpr long MillisecondsPerSecond = 1000;
constexpr long NanosecondsPerMillisecond = 1000000;
// What a scratch file is copied through.
constexpr std::size_t CopyChunk = 4096;

// Writes everything to `fd`, retrying after signals. False when a write fails or writes nothing,
// with errno telling why.
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

// Copies the first `count` bytes of `from` to the end of `to`.
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

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  timespec left = {milliseconds / MillisecondsPerSecond,
                   (milliseconds % MillisecondsPerSecond) * NanosecondsPerMillisecond};
  while (nanosleep(&left, &left) != 0 && errno == EINTR && !EndingRequested()) {
  }
}

void WriteStderr(const char* bytes, std::size_t count) {
  WriteAllTo(STDERR_FILENO, bytes, count);
}

}  // namespace reversi::platform::os
