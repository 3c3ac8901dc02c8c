// CP932 text in console columns for every platform's console layer: which bytes form a character
// (escape sequences apart) and the column after it on a CP932 console, as pieces or walked inline.
// Owns the line's column, a held-back lead byte and the state of an unfinished escape sequence.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::cp932 {

// What one piece of the output is.
enum class PieceKind : unsigned char {
  Control,     // a line end, another control byte or a byte of an escape sequence: no column
  Ascii,       // a run of printable ASCII characters: one column each
  HalfWidth,   // a half-width katakana: one column
  DoubleByte,  // a lead byte and its second byte: two columns
  Invalid,     // a byte that is no character, or a lead byte without a second byte: one column
};

struct Piece {
  PieceKind kind;
  unsigned char bytes[2];  // the second one only for DoubleByte; unused for Ascii
  bool shown;              // counted text; false inside a window title sequence
  int column;              // the cursor column after the piece, counted from 0
  const char* run;         // Ascii only: the characters, within the bytes given to Split
  std::size_t runLength;
};

// Receives the pieces in order. An Ascii piece's run is only valid during the call.
using PieceSink = void (*)(const Piece& piece);

// Cuts CP932 bytes into pieces for `sink`. A double-byte character may be split across two calls:
// its lead byte is held back until the next byte arrives. Printable ASCII comes in runs as long as
// the bytes given allow. A line end (LF or CR) and the cursor home of an ANSI clear (ESC [ H) put
// the column back to 0.
void Split(const char* bytes, std::size_t count, PieceSink sink);

// Splits as Split does, from one byte on up to where the bytes are back at shown text (see
// AtShownText below) or end; returns how many bytes it took. For a console layer that walks shown
// text itself (WalkShownText) and leaves the rest to this. `count` is at least 1.
std::size_t SplitUntilShownText(const char* bytes, std::size_t count, PieceSink sink);

// Tells that the cursor is at `column` for reasons of its own, such as a line the user typed and
// the terminal echoed, or the console's own report of its cursor.
void SetColumn(int column);
// The cursor column after everything split so far, counted from 0.
int Column();

// Forgets the column, a held-back lead byte and an unfinished escape sequence.
void Reset();

// True for Unicode's wide and full-width characters within reach of CP932 (kana, kanji, full-width
// forms): terminals and consoles draw them all alike, two columns wide wherever they draw any
// character that wide. Everything else a double-byte character can become is ambiguous or narrow,
// and its width differs between terminals, consoles, fonts and code pages.
bool IsAlwaysWide(std::uint32_t codePoint);

// ---- Bytes and characters ---------------------------------------------------------------------

// A lead byte of a double-byte character, and the bytes that may follow one.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
constexpr bool IsHalfWidthKana(unsigned char b) {
  return b >= 0xA1 && b <= 0xDF;
}
constexpr bool IsPrintableAscii(unsigned char b) {
  return b >= 0x20 && b < 0x7F;
}
constexpr bool IsLineEnd(unsigned char b) {
  return b == '\n' || b == '\r';
}

// Every half-width katakana has a number below HalfWidthCount, so that a console layer can keep
// what it learns about each in a table.
inline constexpr int HalfWidthCount = 0xDF - 0xA1 + 1;
constexpr int HalfWidthNumber(unsigned char kana) {
  return kana - 0xA1;
}

// What each byte value can be, as bits, so that the loops over text ask one table.
inline constexpr unsigned char PrintableBit = 1;
inline constexpr unsigned char LeadBit = 2;
inline constexpr unsigned char TrailBit = 4;
inline constexpr unsigned char LineEndBit = 8;
inline constexpr int ByteValueCount = 256;
struct ByteTable {
  unsigned char kind[ByteValueCount];
};
constexpr ByteTable MakeByteTable() {
  ByteTable table{};
  for (int value = 0; value < ByteValueCount; ++value) {
    const auto b = static_cast<unsigned char>(value);
    table.kind[value] = static_cast<unsigned char>(
        (IsPrintableAscii(b) ? PrintableBit : 0) | (IsLeadByte(b) ? LeadBit : 0) |
        (IsTrailByte(b) ? TrailBit : 0) | (IsLineEnd(b) ? LineEndBit : 0));
  }
  return table;
}
inline constexpr ByteTable Bytes = MakeByteTable();

// ---- The common case, without pieces -----------------------------------------------------------

// True when the next byte starts shown text: no lead byte is held back and no escape sequence is
// open.
bool AtShownText();

// Walks shown text at the start of `bytes` as long as it is printable ASCII, whole double-byte
// characters and line ends, which is nearly all that the program writes, and counts the columns as
// Split does. Hands each ASCII run to `ascii(run, length, columnAfter)`, each character to
// `character(lead, trail, columnAfter)` and each line end to `lineEnd(byte)`; returns how many
// bytes it took. The rest starts with a byte that Split must see. Only while AtShownText().
// Inline, so that a console layer's own loop needs no call per character.
template <typename AsciiRun, typename Character, typename LineEnd>
std::size_t WalkShownText(const char* bytes, std::size_t count, AsciiRun ascii, Character character,
                          LineEnd lineEnd) {
  constexpr int DoubleWidth = 2;
  const auto* const start = reinterpret_cast<const unsigned char*>(bytes);
  const auto* const end = start + count;
  const auto* at = start;
  int column = Column();
  while (at != end) {
    const unsigned char kind = Bytes.kind[*at];
    if ((kind & PrintableBit) != 0) {
      const auto* runEnd = at + 1;
      while (runEnd != end && (Bytes.kind[*runEnd] & PrintableBit) != 0)
        ++runEnd;
      const auto length = static_cast<std::size_t>(runEnd - at);
      column += static_cast<int>(length);
      ascii(reinterpret_cast<const char*>(at), length, column);
      at = runEnd;
    } else if ((kind & LeadBit) != 0 && end - at >= 2 && (Bytes.kind[at[1]] & TrailBit) != 0) {
      column += DoubleWidth;
      character(at[0], at[1], column);
      at += 2;
    } else if ((kind & LineEndBit) != 0) {
      column = 0;
      lineEnd(*at);
      ++at;
    } else {
      break;
    }
  }
  SetColumn(column);
  return static_cast<std::size_t>(at - start);
}

}  // namespace reversi::platform::cp932
