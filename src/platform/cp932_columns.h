// CP932 text counted in console columns for every platform's console layer: which bytes form one
// character (escape sequences apart) and the column after it on a CP932 console. Owns the line's
// column, a lead byte waiting for its second byte and the state of an unfinished escape sequence.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::cp932 {

// What one piece of the output is.
enum class PieceKind {
  Control,     // a line end, another control byte or a byte of an escape sequence: no column
  Ascii,       // a printable ASCII character: one column
  HalfWidth,   // a half-width katakana: one column
  DoubleByte,  // a lead byte and its second byte: two columns
  Invalid,     // a byte that is no character, or a lead byte without a second byte: one column
};

struct Piece {
  PieceKind kind;
  unsigned char bytes[2];  // the second one only for DoubleByte
  bool shown;              // counted text; false inside a window title sequence
  int column;              // the cursor column after the piece, counted from 0
};

// Receives the pieces in order.
using PieceSink = void (*)(const Piece& piece);

// Cuts CP932 bytes into pieces for `sink`. A double-byte character may be split across two calls:
// its lead byte is held back until the next byte arrives. A line end (LF or CR) and the cursor
// home of an ANSI clear (ESC [ H) put the column back to 0.
void Split(const char* bytes, std::size_t count, PieceSink sink);

// Tells that the cursor is at `column` for reasons of its own, such as a line the user typed and
// the terminal echoed, or the console's own report of its cursor.
void SetColumn(int column);

// Forgets the column, a held-back lead byte and an unfinished escape sequence.
void Reset();

// True for Unicode's wide and full-width characters within reach of CP932 (kana, kanji, full-width
// forms): terminals and consoles draw them all alike, two columns wide wherever they draw any
// character that wide. Everything else a double-byte character can become is ambiguous or narrow,
// and its width differs between terminals, consoles, fonts and code pages.
bool IsAlwaysWide(std::uint32_t codePoint);

}  // namespace reversi::platform::cp932
