// CP932 text in console columns for every platform's console layer: which bytes form a character
// (escape sequences apart), the column after it on a CP932 console and the colours the SGR
// sequences among the text have set, found by one walker over the bytes. Owns nothing: the walk's
// state lives in each console layer's TextState.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::cp932 {

// What one piece of the output is.
enum class PieceKind : unsigned char {
  Control,     // a line end or another control byte: no column
  Escape,      // bytes of an escape sequence, from its ESC to its end, in a run: no column
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
  const char* run;         // Ascii and Escape: the bytes, within the bytes given to Walk
  std::size_t runLength;
};

// Where the bytes stand with respect to escape sequences.
enum class Mode : unsigned char {
  Text,                  // shown text: counted
  EscapeStart,           // after ESC, before the byte that says which sequence follows
  ControlSequence,       // ESC [ ... up to its final byte
  OperatingSystemText,   // ESC ] ... up to BEL or ESC \: text (a title), not counted
  OperatingSystemEscape  // ESC inside that text: the string ends with the next byte
};

inline constexpr int NoLead = -1;

// The colours that SGR sequences have set: an index of the 8/16-colour set (0 black, 1 red,
// 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white, and 8..15 their bright forms), or
// DefaultColor, the terminal's own.
inline constexpr int DefaultColor = -1;
struct Colors {
  int foreground = DefaultColor;
  int background = DefaultColor;
  friend constexpr bool operator==(const Colors&, const Colors&) = default;
};

// Where a walk stands between two writes: the cursor column, counted from 0, a lead byte held back
// because its second byte has not come yet, an unfinished escape sequence, and the colours. A
// value-initialized state is the start of a line in the terminal's own colours.
struct TextState {
  Mode mode = Mode::Text;
  int column = 0;
  int pendingLead = NoLead;
  Colors colors;          // as the last complete SGR sequence left them
  Colors sequenceColors;  // what the control sequence being read would make of them
  int parameter = 0;      // its number being read
};

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

// The columns one character of each kind takes on a CP932 console: the one place that says so.
constexpr int ColumnsOf(PieceKind kind) {
  switch (kind) {
    case PieceKind::Control:
    case PieceKind::Escape:
      return 0;
    case PieceKind::DoubleByte:
      return 2;
    case PieceKind::Ascii:
    case PieceKind::HalfWidth:
    case PieceKind::Invalid:
      return 1;
  }
  return 0;
}

// Every half-width katakana has a number below HalfWidthCount, so that a console layer can keep
// what it learns about each in a table indexed by it.
inline constexpr int HalfWidthCount = 0xDF - 0xA1 + 1;
constexpr int HalfWidthNumber(unsigned char kana) {
  return kana - 0xA1;
}

// Likewise every lead byte, so that a table of LeadByteCount rows, each with a place for every byte
// value, holds a place for every double-byte character.
inline constexpr int LeadByteCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
constexpr unsigned LeadByteNumber(unsigned char lead) {
  return lead <= 0x9F ? lead - 0x81U : lead - 0xE0U + (0x9F - 0x81 + 1);
}

// What each byte value can be, as bits, so that the walker's loop asks one table per byte.
inline constexpr unsigned char PrintableBit = 1;
inline constexpr unsigned char LeadBit = 2;
inline constexpr unsigned char TrailBit = 4;
inline constexpr unsigned char LineEndBit = 8;
inline constexpr unsigned char EscapeBit = 16;
inline constexpr int ByteValueCount = 256;
struct ByteClassTable {
  unsigned char bits[ByteValueCount];
};
constexpr ByteClassTable MakeByteClassTable() {
  ByteClassTable table{};
  for (int value = 0; value < ByteValueCount; ++value) {
    const auto b = static_cast<unsigned char>(value);
    table.bits[value] =
        static_cast<unsigned char>((IsPrintableAscii(b) ? PrintableBit : 0) |
                                   (IsLeadByte(b) ? LeadBit : 0) | (IsTrailByte(b) ? TrailBit : 0) |
                                   (IsLineEnd(b) ? LineEndBit : 0) | (b == 0x1B ? EscapeBit : 0));
  }
  return table;
}
// The bits of byte `b`, from a table made when compiling.
inline unsigned char ClassOf(unsigned char b) {
  static constexpr ByteClassTable Classes = MakeByteClassTable();
  return Classes.bits[b];
}

// ---- The walker -------------------------------------------------------------------------------

// One step where the common case of Walk below does not apply: a byte of an escape sequence or of
// a title, a byte after a held-back lead byte, a lead byte at the end of the bytes, a half-width
// katakana, a control byte, a byte that is no character. Advances `state` and says what piece
// (if any) was made and how many bytes were taken: none when a held-back lead byte turned out to
// stand alone, and the byte at `at` is still to be walked.
struct RareStep {
  Piece piece;
  bool made;
  std::size_t taken;
};
RareStep StepRarely(TextState& state, const char* at);

// The length of the control sequence (ESC [ ... final byte) that begins at `at` when all of it is
// among the `available` bytes, its colours and its cursor home then taken into `state`; 0 when it
// runs on past them, and the bytes are then walked one by one. A board row in colour holds several
// such sequences, and one step for each of their bytes would cost more than the rest of the row.
std::size_t WholeControlSequence(TextState& state, const char* at, std::size_t available);

// Cuts CP932 bytes into pieces, in order, for `sink(const Piece&)`, and counts the columns in
// `state`. A double-byte character may be split across two calls: its lead byte is held back until
// the next byte arrives. Printable ASCII comes in runs as long as the bytes given allow (a run is
// only valid during the call), and so do control sequences. A line end (LF or CR) and the cursor
// home of an ANSI clear (ESC [ H) put the column back to 0. Inline, and the common case (printable
// ASCII, whole double-byte characters and line ends in shown text, nearly all that the program
// writes) in a loop of its own, so that a console layer's sink needs no call per character.
template <typename Sink>
void Walk(TextState& state, const char* bytes, std::size_t count, Sink&& sink) {
  const auto* at = reinterpret_cast<const unsigned char*>(bytes);
  const auto* const end = at + count;
  while (at != end) {
    if (state.mode == Mode::Text && state.pendingLead == NoLead) {
      int column = state.column;
      while (at != end) {
        const unsigned char bits = ClassOf(*at);
        if ((bits & PrintableBit) != 0) {
          const auto* runEnd = at + 1;
          while (runEnd != end && (ClassOf(*runEnd) & PrintableBit) != 0)
            ++runEnd;
          const auto length = static_cast<std::size_t>(runEnd - at);
          column += static_cast<int>(length) * ColumnsOf(PieceKind::Ascii);
          sink(Piece{
              PieceKind::Ascii, {0, 0}, true, column, reinterpret_cast<const char*>(at), length});
          at = runEnd;
        } else if ((bits & LeadBit) != 0 && end - at >= 2 && (ClassOf(at[1]) & TrailBit) != 0) {
          column += ColumnsOf(PieceKind::DoubleByte);
          sink(Piece{PieceKind::DoubleByte, {at[0], at[1]}, true, column, nullptr, 0});
          at += 2;
        } else if ((bits & LineEndBit) != 0) {
          column = 0;
          sink(Piece{PieceKind::Control, {at[0], 0}, false, 0, nullptr, 0});
          ++at;
        } else if ((bits & EscapeBit) != 0 && end - at >= 2 && at[1] == '[') {
          state.column = column;
          const std::size_t length = WholeControlSequence(state, reinterpret_cast<const char*>(at),
                                                          static_cast<std::size_t>(end - at));
          if (length == 0) break;
          column = state.column;
          sink(Piece{
              PieceKind::Escape, {0, 0}, false, column, reinterpret_cast<const char*>(at), length});
          at += length;
        } else {
          break;
        }
      }
      state.column = column;
      if (at == end) return;
    }
    const RareStep step = StepRarely(state, reinterpret_cast<const char*>(at));
    if (step.made) sink(step.piece);
    at += step.taken;
  }
}

}  // namespace reversi::platform::cp932
