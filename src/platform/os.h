// What each operating system provides to the console layer: plain requests (write these bytes,
// set this title, blank the console window, append to the record file, wait, write to standard
// error). One os.cpp and one files.cpp per platform (in posix/ or windows/) implement this,
// chosen by the build; nothing outside src/platform includes it, and it calls nothing above.
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

// Closes a file from OpenForAppending.
void CloseFile(File file);

// Writes all the bytes at the end of `file`. False when a write fails, with `reason` naming the
// problem; part of the bytes may have gone in then.
bool AppendToFile(File file, const char* bytes, std::size_t count, const char*& reason);

// The size of `file` in bytes, or a negative number where it has none (a pipe, a device).
long long FileSize(File file);

// Cuts `file` back to `size` bytes, as far as the file allows; one that cannot be cut (a pipe, a
// device) stays as it is.
void TruncateFile(File file, long long size);

// Waits about `milliseconds`.
void SleepMilliseconds(int milliseconds);

// Writes the bytes to standard error at once, or drops them when that cannot be written.
void WriteStderr(const char* bytes, std::size_t count);

}  // namespace reversi::platform::os
