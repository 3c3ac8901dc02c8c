// What each operating system provides to the console layer: plain requests (write these bytes,
// set this title, blank the console window, append to the record file, wait, write to standard
// error). One os.cpp (in posix/ or windows/) and one files_* source per platform implement this,
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

// Opens `path` for appending as the record file: created when missing, never truncated. False when
// it cannot be opened; `reason` then names the problem in a few English words.
bool OpenRecordFile(const char* path, const char*& reason);

// Hands all the bytes to the record file. False when none is open or a write fails, with `reason`
// naming the problem; part of the bytes may have gone in then.
bool AppendToRecordFile(const char* bytes, std::size_t count, const char*& reason);

// The record file's size, or a negative number when it has none (a pipe, a device, none open).
long long RecordFileSize();

// Cuts the record file back to `size` bytes, as far as the file allows.
void CutRecordFile(long long size);

// Waits about `milliseconds`.
void SleepMilliseconds(int milliseconds);

// Writes the bytes to standard error at once, or drops them when that cannot be written.
void WriteStderr(const char* bytes, std::size_t count);

}  // namespace reversi::platform::os
