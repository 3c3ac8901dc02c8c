// Files for appending, the pause, standard error and the end of the process on Windows: the C
// runtime's low-level files, in binary mode for appending (the record's lines end in "\n" on every
// system, like the transcripts other tools exchange) and the runtime's text mode for standard
// error, like standard output. A record line goes in under LockFileEx, the lock every game holds
// for its appends; the console's control events are the ending signals.
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
constexpr unsigned CopyChunk = 4096;

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

// Copies the first `count` bytes of `from` to the end of `to`.
bool CopyHead(int from, long long count, int to) {
  if (_lseeki64(from, 0, SEEK_SET) != 0) return false;
  char chunk[CopyChunk];
  while (count > 0) {
    const unsigned wanted = count < CopyChunk ? static_cast<unsigned>(count) : CopyChunk;
    const int got = _read(from, chunk, wanted);
    if (got == 0) errno = EIO;  // the scratch file is shorter than it was written
    if (got <= 0) return false;
    if (!WriteAllTo(to, chunk, static_cast<std::size_t>(got))) return false;
    count -= got;
  }
  return true;
}

// The whole file, as far as a lock reaches: every line that is or will be in it.
constexpr DWORD WholeFileLow = MAXDWORD;
constexpr DWORD WholeFileHigh = MAXDWORD;

// ---- Ending signals: the console's control events
// ------------------------------------------------

// How long a control event waits for the game to finish: the system gives a closing console about
// five seconds. The pending read is cancelled again at every step, in case the game had not yet
// begun it when the event came.
constexpr DWORD FinishingMilliseconds = 4500;
constexpr DWORD CancelEveryMilliseconds = 50;

volatile LONG endingRequested = 0;
HANDLE mainThread = nullptr;    // the thread that plays the game, whose read an event cancels
HANDLE gameFinished = nullptr;  // set by EndAsRequested once the game has finished

// Runs on a thread of its own for each console event: marks the ending, cancels the game's wait
// for input, and waits until the game has finished its record line and given the console back.
// Returning FALSE then hands the event on: the system's own handler ends the process, with the
// exit status that tells the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      break;
    default:
      return FALSE;
  }
  InterlockedExchange(&endingRequested, 1);
  for (DWORD waited = 0; waited < FinishingMilliseconds; waited += CancelEveryMilliseconds) {
    if (mainThread != nullptr) CancelSynchronousIo(mainThread);
    if (WaitForSingleObject(gameFinished, CancelEveryMilliseconds) == WAIT_OBJECT_0) break;
  }
  return FALSE;
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

File OpenScratchFile(const char*& reason) {
  // A file of the temporary folder that the system deletes when its last handle closes, which
  // also happens when the process is ended by force.
  char folder[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "rvs", 0, name) == 0) {
    reason = "no temporary file can be made";
    return NoFile;
  }
  const int fd = _open(name, _O_RDWR | _O_APPEND | _O_BINARY | _O_TEMPORARY | _O_SHORT_LIVED);
  if (fd < 0) {
    reason = std::strerror(errno);
    DeleteFileA(name);
    return NoFile;
  }
  return fd;
}

int AppendLine(File file, File head, long long headBytes, const char* bytes, std::size_t count) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file));
  OVERLAPPED whole = {};
  const bool locked =
      handle != INVALID_HANDLE_VALUE &&
      LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, WholeFileLow, WholeFileHigh, &whole) != 0;
  const long long start = FileSize(file);
  int error = 0;
  if ((head != NoFile && headBytes > 0 && !CopyHead(head, headBytes, file)) ||
      !WriteAllTo(file, bytes, count)) {
    error = errno != 0 ? errno : EIO;
    // Cut back to the line's start, which under the lock is where no other line has gone since.
    if (start >= 0) TruncateFile(file, start);
  }
  if (locked) UnlockFileEx(handle, 0, WholeFileLow, WholeFileHigh, &whole);
  return error;
}

const char* ErrorText(int error) {
  return std::strerror(error);
}

void InstallEndingHandlers() {
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  gameFinished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool EndingRequested() {
  return endingRequested != 0;
}

void EndAsRequested() {
  if (endingRequested == 0) return;
  SetEvent(gameFinished);
  Sleep(INFINITE);  // the event's handler returns, and the system ends the process
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
}

void WriteStderr(const char* bytes, std::size_t count) {
  WriteAllTo(StderrFd, bytes, count);
}

}  // namespace reversi::platform::os
