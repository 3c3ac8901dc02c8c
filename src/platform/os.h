// What each operating system provides to the console layer: plain requests (write these bytes,
// set this title, clear the screen) and the clock. Exactly one source file per platform implements
// this, chosen by the build; nothing outside src/platform includes it, and it calls nothing above.
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
  Requests,               // SetTitle and ClearScreen below, whatever the output is (Windows)
};
ScreenControl HowScreenIsControlled();

// Titles the console window with CP932 text. Asked only where HowScreenIsControlled() says
// Requests.
void SetTitle(const char* cp932Title);

// Blanks the console window, with the next output at its top-left corner. Asked only where
// HowScreenIsControlled() says Requests, after everything written before it has been handed over.
void ClearScreen();

std::uint32_t CalendarSeconds();

}  // namespace reversi::platform::os
