// What each operating system provides to the console layer: plain requests (write these bytes,
// set this title, blank the console window, append a line to the record file under a lock, wait,
// write to standard error, what to do when the process is ended from outside). One os.cpp and one
// files.cpp per platform (in posix/ or windows/) implement this, chosen by the build; nothing
// outside src/platform includes it, and it calls nothing above.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::os {

// Writes all bytes to standard output, or drops them when it cannot be written (closed, full, a
// reader gone): the game goes on until its input ends either way.
void WriteStdout(const char* bytes, std::size_t count);

// Reads up to `capacity` bytes of standard input; 0 or less means the input has ended or failed.
long ReadStdin(char* buffer, std::size_t capacity);

// How the window title and the screen clear reach the user on this platform's standard output.
enum class ScreenControl {
  TitleAndClearInOutput,  // escape sequences among the output bytes (a POSIX terminal)
  ClearInOutput,          // the clear's escape sequence only, no title (a POSIX pipe or file)
  Requests,               // SetTitle and BlankConsoleWindow below, whatever the output is (Windows)
};
ScreenControl HowScreenIsControlled();

// True when standard output is a terminal or a console, false for a pipe or a file.
bool OutputIsInteractive();

// Titles the console window with CP932 text. Asked only where HowScreenIsControlled() says
// Requests.
void SetTitle(const char* cp932Title);

// Blanks the console window, with the next output at its top-left corner; into a pipe or a file
// it does what the platform's own clear command does there. Asked only where
// HowScreenIsControlled() says Requests, after everything written before it has been handed over.
void BlankConsoleWindow();

// ---- Files opened for appending (the console layer keeps the record file in one) ---------------

// A file this layer has opened: the C runtime's file descriptor on every platform.
using File = int;
inline constexpr File NoFile = -1;

// Opens `path` for writing at its end: created when missing, never truncated. NoFile when it
// cannot be opened; `reason` then names the problem in a few English words.
File OpenForAppending(const char* path, const char*& reason);

// Closes a file from OpenForAppending or OpenScratchFile.
void CloseFile(File file);

// Writes all the bytes at the end of `file`. False when a write fails, with `reason` naming the
// problem; part of the bytes may have gone in then.
bool AppendToFile(File file, const char* bytes, std::size_t count, const char*& reason);

// The size of `file` in bytes, or a negative number where it has none (a pipe, a device).
long long FileSize(File file);

// Cuts `file` back to `size` bytes, as far as the file allows; one that cannot be cut (a pipe, a
// device) stays as it is.
void TruncateFile(File file, long long size);

// A nameless file for this process alone, read and written, that the system removes when the
// process ends however it ends. NoFile when none can be had, with `reason`.
File OpenScratchFile(const char*& reason);

// Appends one line to `file` while holding an exclusive advisory lock on it (flock, LockFileEx),
// so that another process appending the same way never comes in between and never sees a part of
// it: first the first `headBytes` bytes of `head` (a scratch file; NoFile for none), then `bytes`.
// All or nothing: when a write fails, the file is cut back to its size before the line, still
// under the lock, so that no other line can be touched. Returns 0, or the system's error number.
// Uses only async-signal-safe calls on POSIX, so an ending handler may call it.
int AppendLine(File file, File head, long long headBytes, const char* bytes, std::size_t count);

// The words for a system error number from AppendLine ("No space left on device").
const char* ErrorText(int error);

// ---- The end of the process from outside: a hang-up, a signal, a console closed -----------------

// What must still happen when the process is ended from outside while a game runs: the line to
// append to the record file (AppendLine's arguments; `file` NoFile for none), and the bytes that
// give the terminal back as it was found (written to standard output as they are).
struct EndingWork {
  File file;
  File head;
  long long headBytes;
  const char* bytes;
  std::size_t count;
  const char* farewell;
  std::size_t farewellCount;
};

// Sets what an ending does from now on (copied). The first call installs the handlers: SIGHUP,
// SIGINT, SIGTERM and SIGQUIT on POSIX (a signal the process was started ignoring stays ignored),
// the console's control events on Windows. A handler does the work once, then lets the system's
// own action for the signal or event end the process, so the exit status tells what ended it.
// Called between HoldEnding and AllowEnding when the work changes while a game runs.
void SetEndingWork(const EndingWork& work);

// Between these two, an ending waits (its signals blocked, or the handler thread kept out), so it
// never sees work half changed nor runs in the middle of a line's append. They do not nest.
void HoldEnding();
void AllowEnding();

// Waits about `milliseconds`.
void SleepMilliseconds(int milliseconds);

// Writes the bytes to standard error at once, or drops them when that cannot be written.
void WriteStderr(const char* bytes, std::size_t count);

// 0 while every write to standard output has gone through; otherwise the system's error number
// of the first that failed (ErrorText names it).
int StdoutError();

}  // namespace reversi::platform::os
