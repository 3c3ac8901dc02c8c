// What each operating system provides to the console layer, as plain requests (write these bytes,
// blank the console, append a line under a lock, wait). One os.cpp and one files.cpp per platform
// implement it, chosen by the build; nothing outside src/platform includes it.
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
int AppendLine(File file, File head, long long headBytes, const char* bytes, std::size_t count);

// The words for a system error number from AppendLine ("No space left on device").
const char* ErrorText(int error);

// ---- Ending signals: a hang-up, Ctrl+C, a termination request, a closed console
// -------------------

// Installs the handlers of the ending signals (SIGHUP, SIGINT, SIGTERM and SIGQUIT on POSIX, where
// a signal the process was started ignoring stays ignored; the console's control events on
// Windows). A handler only marks the ending and interrupts a wait for input; the program then ends
// its game as if the input had ended, and EndAsRequested finishes the ending. Also makes a write
// to a pipe without a reader, or past the file size limit, fail instead of ending the process.
void InstallEndingHandlers();

// Whether an ending signal has come.
bool EndingRequested();

// When an ending signal has come: ends the process by that signal's own action, so that the exit
// status tells what ended it. Otherwise returns at once.
void EndAsRequested();

// Waits about `milliseconds`, or less when an ending signal comes.
void SleepMilliseconds(int milliseconds);

// Writes the bytes to standard error at once, or drops them when that cannot be written.
void WriteStderr(const char* bytes, std::size_t count);

// 0 while every write to standard output has gone through; otherwise the system's error number
// of the first that failed (ErrorText names it).
int StdoutError();

}  // namespace reversi::platform::os
