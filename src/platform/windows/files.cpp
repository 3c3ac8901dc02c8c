// Files for appending, the pause and standard error on Windows: the C runtime's low-level files,
// in binary mode for appending (the record's lines end in "\n" on every system, like the
// transcripts other tools exchange) and the runtime's text mode for standard error, like standard
// output.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include "windows/windows_api.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "os.h"

namespace reversi::platform::os {

namespace {

constexpr int StderrFd = 2;

// Writes everything to `fd`. False when a write fails or writes nothing.
bool WriteAllTo(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const unsigned request = count < INT_MAX ? static_cast<unsigned>(count) : INT_MAX;
    const int written = _write(fd, bytes, request);
    if (written == 0) errno = EIO;  // no progress and no error of its own
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

File OpenForAppending(const char* path, const char*& reason) {
  const int fd = _open(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) reason = std::strerror(errno);
  return fd < 0 ? NoFile : fd;
}

void CloseFile(File file) {
  _close(file);
}

bool AppendToFile(File file, const char* bytes, std::size_t count, const char*& reason) {
  if (WriteAllTo(file, bytes, count)) return true;
  reason = std::strerror(errno);
  return false;
}

long long FileSize(File file) {
  return _lseeki64(file, 0, SEEK_END);
}

void TruncateFile(File file, long long size) {
  const errno_t cut = _chsize_s(file, size);
  static_cast<void>(cut);  // a file that cannot be cut back keeps the piece: nothing else to do
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void WriteStderr(const char* bytes, std::size_t count) {
  WriteAllTo(StderrFd, bytes, count);
}

}  // namespace reversi::platform::os
