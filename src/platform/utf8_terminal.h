// CP932 text shown on a UTF-8 terminal that understands ANSI escape sequences (a POSIX terminal,
// the web page's): the program's bytes in UTF-8, every double-byte character two columns wide as
// on a CP932 console.
#pragma once

#include <cstddef>

namespace reversi::platform::utf8_terminal {

// Receives converted bytes, ready for the terminal.
using ByteSink = void (*)(const char* bytes, std::size_t count);

// Opens the C library's CP932 converter; done once, before the first screen, so that nothing is
// allocated while a game runs. False when the C library cannot convert CP932.
bool OpenConverter();

// Converts CP932 bytes and hands the result to `sink`; without an open converter, hands them on
// unchanged. A double-byte character may be split across two calls. Escape sequences pass
// unchanged, except that CP932 text inside an operating system command (the window title) is
// converted too; they take no columns. A double-byte character that a terminal may draw one column
// wide is followed by a cursor move to the column a CP932 console would be at. Bytes that are no
// CP932 character appear as "?", a double-byte pair without a character as a wide "・".
void WriteConverted(const char* bytes, std::size_t count, ByteSink sink);

// Takes note of a line of input that the terminal echoed (`count` bytes read, which end with its
// line end): the cursor is then at the start of a line.
void NoteEchoedInput(const char* bytes, long count);

// Forgets the column, a half-received character and an unfinished escape sequence.
void ResetConversion();

}  // namespace reversi::platform::utf8_terminal
