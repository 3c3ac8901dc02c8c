// CP932 text shown on the Windows console in UTF-16 whatever its code page, for the Windows console
// layer only, with every double-byte character two columns wide as on a CP932 console. Owns the
// UTF-16 output buffer, the column count, which follows the rules of cp932_columns.h, and the
// colours last handed on.
#pragma once

#include <cstddef>

namespace reversi::platform::console_text {

// Receive the decoded output in order: UTF-16 text for WriteConsoleW, and the column of the
// current line (counted from 0) to put the cursor at. `cells` tells how many cells the console
// gives a character, 0 when that is not known. `colors` receives the colours that the text from
// then on is to be shown in, as an SGR sequence among the bytes set them: indexes of the
// 8/16-colour set, or cp932::DefaultColor for the console's own.
struct Sinks {
  void (*text)(const wchar_t* text, std::size_t count);
  void (*column)(int column);
  int (*cells)(wchar_t character);
  void (*colors)(int foreground, int background);
};

// Decodes CP932 bytes for `sinks`. A double-byte character may be split across two calls. Line
// ends become CR LF. Escape sequences are not shown: an SGR sequence goes to `sinks.colors`, the
// others are dropped. After every double-byte character of shown text the cursor is where a CP932
// console would have it, two columns on, although consoles draw such characters one or two cells
// wide depending on the character, the font and the code page: a character given one cell is
// followed by a blank, one of unknown width by a cursor move. Bytes that are no CP932 character
// appear as "?", a double-byte pair without a character as "・". Nothing is allocated.
void WriteDecoded(const char* bytes, std::size_t count, const Sinks& sinks);

// Tells that the console's cursor is at `column` of its line, as the console itself reports.
void StartAtColumn(int column);

// Forgets the column, a half-received character and an unfinished escape sequence.
void ResetDecoding();

// Decodes a NUL-terminated CP932 text into `wide`, NUL included. False when it needs more than
// `capacity` characters or holds bytes that are no CP932 text.
bool DecodeText(const char* cp932, wchar_t* wide, std::size_t capacity);

}  // namespace reversi::platform::console_text
