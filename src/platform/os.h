// What each operating system provides to the console layer. Exactly one source file per platform
// implements this, chosen by the build; nothing outside src/platform includes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::os {

// Writes all bytes to standard output, or drops them when it cannot be written (closed, full, a
// reader gone): the game goes on until its input ends either way.
void WriteStdout(const char* bytes, std::size_t count);

// Reads up to `capacity` bytes of standard input; 0 or less means the input has ended or failed.
long ReadStdin(char* buffer, std::size_t capacity);

// Titles the console window. Output already buffered is written first where the order matters.
void SetTitle(const char* cp932Title);

// Blanks the console window, with the next output at its top-left corner.
void ClearScreen();

std::uint32_t CalendarSeconds();

}  // namespace reversi::platform::os
