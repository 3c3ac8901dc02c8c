// CP932 text in console columns, for every platform's console layer: cuts the bytes into tokens
// (characters, control bytes, bytes of escape sequences) and tells the column after each on a
// CP932 console and the colours SGR sequences have set. The tokenizer's state is the caller's.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::platform::cp932 {

// What one token of the output is.
enum class TokenKind : unsigned char {
  Control,     // a line end or another control byte: no column
  Escape,      // a byte of an escape sequence, from its ESC to its end: no column
  Ascii,       // printable ASCII characters: one column each
  HalfWidth,   // a half-width katakana: one column
  DoubleByte,  // a lead byte and its second byte: two columns
  Invalid,     // a byte that is no character, or a lead byte without a second byte: one column
};

struct Token {
  TokenKind kind;
  unsigned char bytes[2];  // the second one only for DoubleByte; unused for Ascii
  bool shown;              // counted text; false inside a window title sequence
  int column;              // the cursor column after the token, counted from 0
  const char* run;         // Ascii and Escape: the bytes, within the bytes given to Tokenize
  std::size_t runLength;   // an Escape token is one byte
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

// Where the tokenizer stands between two writes: the cursor column, counted from 0, a lead byte
// held back because its second byte has not come yet, an unfinished escape sequence, and the
// colours. A value-initialized state is the start of a line in the terminal's own colours.
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
constexpr int ColumnsOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::Control:
    case TokenKind::Escape:
      return 0;
    case TokenKind::DoubleByte:
      return 2;
    case TokenKind::Ascii:
    case TokenKind::HalfWidth:
    case TokenKind::Invalid:
      return 1;
  }
  return 0;
}

// ---- The tokenizer -----------------------------------------------------------------------------

// Takes the byte at `at` into `state` and says what token (if any) it completed and how many bytes
// it took: none when a held-back lead byte turned out to stand alone, and the byte at `at` is
// then still to be taken.
struct Step {
  Token token;
  bool made;
  std::size_t taken;
};
Step TakeByte(TextState& state, const char* at);

// Cuts CP932 bytes into tokens, in order, for `sink(const Token&)`, and counts the columns in
// `state`. A double-byte character may be split across two calls: its lead byte is held back until
// the next byte arrives. A run of printable ASCII in shown text is one token (valid only during the
// call); every other byte is taken on its own. A line end (LF or CR) and the cursor home of an ANSI
// clear (ESC [ H) put the column back to 0.
template <typename Sink>
void Tokenize(TextState& state, const char* bytes, std::size_t count, Sink&& sink) {
  std::size_t at = 0;
  while (at < count) {
    if (state.mode == Mode::Text && state.pendingLead == NoLead &&
        IsPrintableAscii(static_cast<unsigned char>(bytes[at]))) {
      std::size_t end = at + 1;
      while (end < count && IsPrintableAscii(static_cast<unsigned char>(bytes[end])))
        ++end;
      state.column += static_cast<int>(end - at) * ColumnsOf(TokenKind::Ascii);
      sink(Token{TokenKind::Ascii, {0, 0}, true, state.column, bytes + at, end - at});
      at = end;
      continue;
    }
    const Step step = TakeByte(state, bytes + at);
    if (step.made) sink(step.token);
    at += step.taken;
  }
}

}  // namespace reversi::platform::cp932
