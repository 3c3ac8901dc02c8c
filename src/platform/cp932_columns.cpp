// The byte-by-byte steps of the CP932 tokenizer and the wide character ranges, shared by every
// platform's console layer, which only decides how a token is shown and how the cursor is moved.
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

constexpr Step Nothing{};

// A token of `kind`, counted in the state's column when it is shown text.
Step Made(TextState& state, TokenKind kind, unsigned char first, unsigned char second,
          std::size_t taken) {
  const bool shown = state.mode == Mode::Text;
  if (shown) state.column += ColumnsOf(kind);
  return Step{Token{kind, {first, second}, shown, state.column, nullptr, 0}, true, taken};
}

// A control byte of the text, which leaves the mode as it is.
Step Control(TextState& state, unsigned char byte) {
  return Step{Token{TokenKind::Control, {byte, 0}, false, state.column, nullptr, 0}, true, 1};
}

// A byte of an escape sequence at `at`, or the ESC or BEL that starts or ends one.
Step EscapeByte(TextState& state, const char* at, Mode next) {
  state.mode = next;
  const auto byte = static_cast<unsigned char>(*at);
  return Step{Token{TokenKind::Escape, {byte, 0}, false, state.column, at, 1}, true, 1};
}

// One parameter of an SGR sequence, as far as the 8/16-colour set goes; the rest (bold, underline,
// the 256-colour forms) leaves the colours as they are.
void ApplyParameter(Colors& colors, int parameter) {
  constexpr int Reset = 0;
  constexpr int Foreground = 30, DefaultForeground = 39, Background = 40, DefaultBackground = 49;
  constexpr int BrightForeground = 90, BrightBackground = 100;
  constexpr int ColorCount = 8;  // per range; the bright ones are numbered after them
  if (parameter == Reset) {
    colors = Colors{};
  } else if (parameter >= Foreground && parameter < Foreground + ColorCount) {
    colors.foreground = parameter - Foreground;
  } else if (parameter == DefaultForeground) {
    colors.foreground = DefaultColor;
  } else if (parameter >= Background && parameter < Background + ColorCount) {
    colors.background = parameter - Background;
  } else if (parameter == DefaultBackground) {
    colors.background = DefaultColor;
  } else if (parameter >= BrightForeground && parameter < BrightForeground + ColorCount) {
    colors.foreground = parameter - BrightForeground + ColorCount;
  } else if (parameter >= BrightBackground && parameter < BrightBackground + ColorCount) {
    colors.background = parameter - BrightBackground + ColorCount;
  }
}

constexpr bool IsFinalByte(unsigned char byte) {
  return byte >= '@' && byte <= '~';
}

// The start of a control sequence, after its ESC [.
void StartControlSequence(TextState& state) {
  state.sequenceColors = state.colors;
  state.parameter = 0;
}

// Takes a byte after ESC [ into the state: its parameters are read as they come, and the colours
// change once an SGR sequence (final byte "m") is complete. True for the final byte.
bool TakeSequenceByte(TextState& state, unsigned char byte) {
  constexpr int LargestParameter = 1000;  // beyond every meaningful one; keeps the number in range
  constexpr int DecimalRadix = 10;
  if (byte >= '0' && byte <= '9') {
    if (state.parameter < LargestParameter)
      state.parameter = state.parameter * DecimalRadix + (byte - '0');
  } else if (byte == ';') {
    ApplyParameter(state.sequenceColors, state.parameter);
    state.parameter = 0;
  }
  if (!IsFinalByte(byte)) return false;
  if (byte == 'm') {
    ApplyParameter(state.sequenceColors, state.parameter);  // an empty one is 0, the reset
    state.colors = state.sequenceColors;
  }
  if (byte == 'H') state.column = 0;  // cursor home: the clear
  return true;
}

// One byte of text, shown (counted) or inside a title (not counted); `at` is its place.
Step TextByte(TextState& state, const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  const bool shown = state.mode == Mode::Text;
  if (IsLeadByte(byte)) {
    state.pendingLead = byte;
    return Step{Nothing.token, false, 1};
  }
  if (byte == Escape)
    return EscapeByte(state, at, shown ? Mode::EscapeStart : Mode::OperatingSystemEscape);
  if (byte == Bell && !shown) return EscapeByte(state, at, Mode::Text);
  if (byte <= LastAscii) {
    if (IsPrintableAscii(byte)) {
      if (shown) state.column += ColumnsOf(TokenKind::Ascii);
      return Step{Token{TokenKind::Ascii, {byte, 0}, shown, state.column, at, 1}, true, 1};
    }
    if (shown && IsLineEnd(byte)) state.column = 0;
    return Control(state, byte);
  }
  return Made(state, IsHalfWidthKana(byte) ? TokenKind::HalfWidth : TokenKind::Invalid, byte, 0, 1);
}

}  // namespace

Step TakeByte(TextState& state, const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  if (state.pendingLead != NoLead) {
    const auto lead = static_cast<unsigned char>(state.pendingLead);
    state.pendingLead = NoLead;
    if (IsTrailByte(byte)) return Made(state, TokenKind::DoubleByte, lead, byte, 1);
    // The byte after a lone lead byte stands on its own: it is taken next.
    return Made(state, TokenKind::Invalid, lead, 0, 0);
  }
  switch (state.mode) {
    case Mode::Text:
    case Mode::OperatingSystemText:
      return TextByte(state, at);
    case Mode::EscapeStart:
      if (byte == '[') StartControlSequence(state);
      return EscapeByte(state, at,
                        byte == '['   ? Mode::ControlSequence
                        : byte == ']' ? Mode::OperatingSystemText
                                      : Mode::Text);
    case Mode::ControlSequence:
      return EscapeByte(state, at,
                        TakeSequenceByte(state, byte) ? Mode::Text : Mode::ControlSequence);
    case Mode::OperatingSystemEscape:
      return EscapeByte(state, at, Mode::Text);
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
