// The record file, the pause and standard error on Windows: the C runtime's low-level files, in
// binary mode for the record (its lines end in "\n" on every system, like the transcripts other
// tools exchange) and the runtime's text mode for standard error, like standard output.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef SetConsoleTitle

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/console.h"

namespace reversi::platform {

namespace {

constexpr int NoFile = -1;
constexpr int StderrFd = 2;
int recordFile = NoFile;

// Writes everything to `fd`. False when a write fails or writes nothing.
bool WriteAllTo(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const unsigned request = count < INT_MAX ? static_cast<unsigned>(count) : INT_MAX;
    const int written = _write(fd, bytes, request);
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool OpenRecordFile(const char* path, const char*& reason) {
  const int fd = _open(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (recordFile != NoFile) _close(recordFile);
  recordFile = fd;
  return true;
}

bool AppendToRecordFile(const char* bytes, std::size_t count) {
  if (recordFile == NoFile) return false;
  return WriteAllTo(recordFile, bytes, count);
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void WriteErrorText(const char* text) {
  WriteAllTo(StderrFd, text, std::strlen(text));
}

}  // namespace reversi::platform
