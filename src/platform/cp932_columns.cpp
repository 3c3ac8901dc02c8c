// The CP932 column count shared by the POSIX terminal and the Windows console layers. Each of
// them only decides how a piece is shown and how the cursor is moved; what a piece is and where
// it ends is decided here once.
#include "platform/cp932_columns.h"

namespace reversi::platform::cp932 {

namespace {

constexpr unsigned char Escape = 0x1B;
constexpr unsigned char Bell = 0x07;
constexpr unsigned char LastAscii = 0x7F;
constexpr int SingleWidth = 1;
constexpr int DoubleWidth = 2;

// Where the bytes stand with respect to escape sequences.
enum Mode {
  Text,                  // shown text: counted
  EscapeStart,           // after ESC, before the byte that says which sequence follows
  ControlSequence,       // ESC [ ... up to its final byte
  OperatingSystemText,   // ESC ] ... up to BEL or ESC \: text (a title), not counted
  OperatingSystemEscape  // ESC inside that text: the string ends with the next byte
};

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

Mode mode = Text;
int column = 0;
constexpr int NoLead = -1;
int pendingLead = NoLead;
PieceSink pieceSink = nullptr;

// Counts the piece when it is shown text and hands it on.
void Emit(PieceKind kind, unsigned char first, unsigned char second, bool shown, int width) {
  if (shown) column += width;
  const Piece piece{kind, {first, second}, shown, column, nullptr, 0};
  pieceSink(piece);
}

void EmitControl(unsigned char byte) {
  Emit(PieceKind::Control, byte, 0, false, 0);
}

// One byte that is text, shown (counted) or inside a title (not counted); `at` is its place.
void TextByte(const char* at, bool shown) {
  const auto byte = static_cast<unsigned char>(*at);
  if (IsLeadByte(byte)) {
    pendingLead = byte;
    return;
  }
  if (byte <= LastAscii) {
    if (IsPrintableAscii(byte)) {
      if (shown) column += SingleWidth;
      pieceSink(Piece{PieceKind::Ascii, {byte, 0}, shown, column, at, 1});
      return;
    }
    if (shown && IsLineEnd(byte)) column = 0;
    EmitControl(byte);
    return;
  }
  Emit(IsHalfWidthKana(byte) ? PieceKind::HalfWidth : PieceKind::Invalid, byte, 0, shown,
       SingleWidth);
}

// One byte after a held-back lead byte has been dealt with: text or part of an escape sequence.
void ByteInMode(const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  switch (mode) {
    case Text:
      if (byte == Escape) {
        EmitControl(byte);
        mode = EscapeStart;
        return;
      }
      TextByte(at, true);
      return;
    case EscapeStart:
      EmitControl(byte);
      mode = byte == '[' ? ControlSequence : byte == ']' ? OperatingSystemText : Text;
      return;
    case ControlSequence:
      if (byte >= '@' && byte <= '~') {
        mode = Text;
        if (byte == 'H') column = 0;  // cursor home: the clear
      }
      EmitControl(byte);
      return;
    case OperatingSystemText:
      if (byte == Bell || byte == Escape) {
        mode = byte == Bell ? Text : OperatingSystemEscape;
        EmitControl(byte);
        return;
      }
      TextByte(at, false);
      return;
    case OperatingSystemEscape:
      mode = Text;
      EmitControl(byte);
      return;
  }
}

// One byte that the walk over shown text left: a held-back lead byte is dealt with first.
void SplitByte(const char* at) {
  const auto byte = static_cast<unsigned char>(*at);
  if (pendingLead != NoLead) {
    const auto lead = static_cast<unsigned char>(pendingLead);
    pendingLead = NoLead;
    const bool shown = mode == Text;
    if (IsTrailByte(byte)) {
      Emit(PieceKind::DoubleByte, lead, byte, shown, DoubleWidth);
      return;
    }
    // The byte after a lone lead byte stands on its own.
    Emit(PieceKind::Invalid, lead, 0, shown, SingleWidth);
  }
  ByteInMode(at);
}

}  // namespace

void Split(const char* bytes, std::size_t count, PieceSink sink) {
  pieceSink = sink;
  std::size_t i = 0;
  while (i < count) {
    if (AtShownText()) {
      i += WalkShownText(
          bytes + i, count - i,
          [](const char* run, std::size_t length, int after) {
            pieceSink(Piece{PieceKind::Ascii, {0, 0}, true, after, run, length});
          },
          [](unsigned char lead, unsigned char trail, int after) {
            pieceSink(Piece{PieceKind::DoubleByte, {lead, trail}, true, after, nullptr, 0});
          },
          [](unsigned char lineEnd) {
            pieceSink(Piece{PieceKind::Control, {lineEnd, 0}, false, 0, nullptr, 0});
          });
      if (i == count) return;
    }
    SplitByte(bytes + i);
    ++i;
  }
}

std::size_t SplitUntilShownText(const char* bytes, std::size_t count, PieceSink sink) {
  pieceSink = sink;
  std::size_t i = 0;
  do {
    SplitByte(bytes + i);
    ++i;
  } while (i < count && !AtShownText());
  return i;
}

void SetColumn(int newColumn) {
  column = newColumn;
}

int Column() {
  return column;
}

bool AtShownText() {
  return mode == Text && pendingLead == NoLead;
}

void Reset() {
  mode = Text;
  column = 0;
  pendingLead = NoLead;
}

bool IsAlwaysWide(std::uint32_t codePoint) {
  for (const CodeRange& range : AlwaysWideRanges) {
    if (codePoint >= range.first && codePoint <= range.last) return true;
  }
  return false;
}

}  // namespace reversi::platform::cp932
