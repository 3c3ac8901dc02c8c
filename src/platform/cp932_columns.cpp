// The walker's rare steps and the wide character ranges, shared by every platform's console layer.
// Each layer only decides how a piece is shown and how the cursor is moved; what a piece is and
// where it ends is decided by the walker in cp932_columns.h, which comes here for the rest.
#include "cp932_columns.h"

namespace reversi::platform::cp932 {

namespace {

constexpr unsigned char Escape = 0x1B;
constexpr unsigned char Bell = 0x07;
constexpr unsigned char LastAscii = 0x7F;

// Unicode's wide and full-width ranges within reach of CP932.
struct CodeRange {
  std::uint32_t first;
  std::uint32_t last;
};
constexpr CodeRange AlwaysWideRanges[] = {
    {0x1100, 0x115F},  // Hangul leading consonants
    {0x2E80, 0x303E},  // CJK radicals, ideographic punctuation and brackets
    {0x3041, 0x33FF},  // kana, compatibility symbols
    {0x3400, 0x4DBF},  // CJK extension A
    {0x4E00, 0x9FFF},  // CJK ideographs
    {0xA000, 0xA4CF},  // Yi
    {0xAC00, 0xD7A3},  // Hangul syllables
    {0xF900, 0xFAFF},  // CJK compatibility ideographs
    {0xFE30, 0xFE4F},  // CJK compatibility forms
    {0xFF01, 0xFF60},  // full-width ASCII
    {0xFFE0, 0xFFE6},  // full-width signs
};

constexpr RareStep Nothing{};

// A piece of `kind`, counted in the state's column when it is shown text.
RareStep Made(TextState& state, PieceKind kind, unsigned char first, unsigned char second,
              std::size_t taken) {
  const bool shown = state.mode == Mode::Text;
  if (shown) state.column += ColumnsOf(kind);
  return RareStep{Piece{kind, {first, second}, shown, state.column, nullptr, 0}, true, taken};
}

// A byte of an escape sequence, or the ESC or BEL that starts or ends one.
RareStep Control(TextState& state, unsigned char byte, Mode next) {
  state.mode = next;
  return RareStep{Piece{PieceKind::Control, {byte, 0}, false, state.column, nullptr, 0}, true, 1};
}

// One byte of text, shown (counted) or inside a title (not counted); `at` is its place.
RareStep TextByte(TextState& state, const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  const bool shown = state.mode == Mode::Text;
  if (IsLeadByte(byte)) {
    state.pendingLead = byte;
    return RareStep{Nothing.piece, false, 1};
  }
  if (byte == Escape)
    return Control(state, byte, shown ? Mode::EscapeStart : Mode::OperatingSystemEscape);
  if (byte == Bell && !shown) return Control(state, byte, Mode::Text);
  if (byte <= LastAscii) {
    if (IsPrintableAscii(byte)) {
      if (shown) state.column += ColumnsOf(PieceKind::Ascii);
      return RareStep{Piece{PieceKind::Ascii, {byte, 0}, shown, state.column, at, 1}, true, 1};
    }
    if (shown && IsLineEnd(byte)) state.column = 0;
    return Control(state, byte, state.mode);
  }
  return Made(state, IsHalfWidthKana(byte) ? PieceKind::HalfWidth : PieceKind::Invalid, byte, 0, 1);
}

}  // namespace

RareStep StepRarely(TextState& state, const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  if (state.pendingLead != NoLead) {
    const auto lead = static_cast<unsigned char>(state.pendingLead);
    state.pendingLead = NoLead;
    if (IsTrailByte(byte)) return Made(state, PieceKind::DoubleByte, lead, byte, 1);
    // The byte after a lone lead byte stands on its own: it is walked next.
    return Made(state, PieceKind::Invalid, lead, 0, 0);
  }
  switch (state.mode) {
    case Mode::Text:
    case Mode::OperatingSystemText:
      return TextByte(state, at);
    case Mode::EscapeStart:
      return Control(state, byte,
                     byte == '['   ? Mode::ControlSequence
                     : byte == ']' ? Mode::OperatingSystemText
                                   : Mode::Text);
    case Mode::ControlSequence:
      if (byte < '@' || byte > '~') return Control(state, byte, Mode::ControlSequence);
      if (byte == 'H') state.column = 0;  // cursor home: the clear
      return Control(state, byte, Mode::Text);
    case Mode::OperatingSystemEscape:
      return Control(state, byte, Mode::Text);
  }
  return Nothing;
}

bool IsAlwaysWide(std::uint32_t codePoint) {
  for (const CodeRange& range : AlwaysWideRanges) {
    if (codePoint >= range.first && codePoint <= range.last) return true;
  }
  return false;
}

}  // namespace reversi::platform::cp932
