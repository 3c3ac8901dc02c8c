// CP932 to UTF-8 for a terminal, with the column kept as a CP932 console counts it: one column a
// single byte, two a double-byte character. The C library's converter does the character mapping
// so that every character the program can write is covered, not only the ones it writes today.
#include "platform/terminal_text.h"

#include <iconv.h>

#include <cstdint>

namespace reversi::platform::terminal {

namespace {

constexpr unsigned char Escape = 0x1B;
constexpr unsigned char Bell = 0x07;
constexpr unsigned char Delete = 0x7F;
constexpr unsigned char FirstPrintable = 0x20;
constexpr unsigned char LastAscii = 0x7F;

// Where the bytes stand with respect to escape sequences.
enum Mode {
  Text,                  // shown text: converted and counted
  EscapeStart,           // after ESC, before the byte that says which sequence follows
  ControlSequence,       // ESC [ ... up to its final byte: passed unchanged
  OperatingSystemText,   // ESC ] ... up to BEL or ESC \: converted (a title), not counted
  OperatingSystemEscape  // ESC inside that text: the string ends with the next byte
};

// A lead byte of a double-byte character, and the bytes that may follow one.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// Half-width katakana, one byte and one column.
constexpr bool IsHalfWidthKana(unsigned char b) {
  return b >= 0xA1 && b <= 0xDF;
}

// Code point ranges that every terminal draws two columns wide (Unicode's wide and full-width
// characters within reach of CP932). Everything else a double-byte character can become is
// ambiguous or narrow somewhere, and gets the cursor put right after it.
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

constexpr char Unknown[] = "?";
constexpr char WideUnknown[] = "\xE3\x83\xBB";  // U+30FB, the katakana middle dot
constexpr std::size_t MaxUtf8Length = 4;
constexpr int DecimalRadix = 10;
constexpr int MaxColumnDigits = 10;

// Enough that a whole console buffer is usually handed over in one or two writes.
constexpr std::size_t OutputCapacity = 8192;
// Room kept free for the largest single step: a character and a cursor move.
constexpr std::size_t LargestStep = MaxUtf8Length + MaxColumnDigits + 3;
char output[OutputCapacity];
std::size_t outputUsed = 0;
ByteSink outputSink = nullptr;

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
iconv_t converter = NoConverter;

Mode mode = Text;
int column = 0;
constexpr int NoLead = -1;
int pendingLead = NoLead;

// Appends to the converted output; the caller has made room (LargestStep).
void Put(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    output[outputUsed++] = bytes[i];
}

// Appends one byte the same way.
void PutByte(unsigned char byte) {
  output[outputUsed++] = static_cast<char>(byte);
}

// Hands the converted output to the sink of the current write.
void FlushConverted() {
  if (outputUsed > 0) outputSink(output, outputUsed);
  outputUsed = 0;
}

// The code point of one UTF-8 encoded character.
std::uint32_t DecodeUtf8(const unsigned char* bytes, std::size_t length) {
  if (length == 1) return bytes[0];
  std::uint32_t value = bytes[0] & (0x3FU >> (length - 1));
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (bytes[i] & 0x3FU);
  return value;
}

// True for a character that no terminal draws narrower than two columns.
bool AlwaysWide(std::uint32_t codePoint) {
  for (const CodeRange& range : AlwaysWideRanges) {
    if (codePoint >= range.first && codePoint <= range.last) return true;
  }
  return false;
}

// Converts one CP932 character (one or two bytes) to UTF-8 in `utf8`; returns its length, or 0
// when the pair stands for no character.
std::size_t ConvertCharacter(const char* cp932, std::size_t length, char* utf8) {
  char* in = const_cast<char*>(cp932);
  std::size_t inLeft = length;
  char* out = utf8;
  std::size_t outLeft = MaxUtf8Length;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return 0;
  }
  return MaxUtf8Length - outLeft;
}

// ESC [ n G: the cursor to column n, counted from 1.
void PutCursorColumn(int zeroBasedColumn) {
  char digits[MaxColumnDigits];
  int length = 0;
  for (int value = zeroBasedColumn + 1; value != 0; value /= DecimalRadix) {
    digits[length++] = static_cast<char>('0' + value % DecimalRadix);
  }
  PutByte(Escape);
  PutByte('[');
  while (length > 0)
    PutByte(static_cast<unsigned char>(digits[--length]));
  PutByte('G');
}

// One double-byte character, two columns when counted (shown text, not a title).
void PutDoubleByte(unsigned char lead, unsigned char trail, bool counted) {
  const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
  char utf8[MaxUtf8Length];
  const std::size_t length = ConvertCharacter(pair, sizeof pair, utf8);
  if (length == 0) {
    Put(WideUnknown, sizeof WideUnknown - 1);
    if (counted) column += 2;
    return;
  }
  Put(utf8, length);
  if (!counted) return;
  column += 2;
  const auto* decoded = reinterpret_cast<const unsigned char*>(utf8);
  if (!AlwaysWide(DecodeUtf8(decoded, length))) PutCursorColumn(column);
}

// One byte that is text, shown (counted) or inside a title (not counted).
void PutTextByte(unsigned char byte, bool counted) {
  if (IsLeadByte(byte)) {
    pendingLead = byte;
    return;
  }
  if (byte <= LastAscii) {
    PutByte(byte);
    if (!counted) return;
    if (byte == '\n' || byte == '\r') {
      column = 0;
    } else if (byte >= FirstPrintable && byte != Delete) {
      ++column;
    }
    return;
  }
  char utf8[MaxUtf8Length];
  const char single = static_cast<char>(byte);
  const std::size_t length = IsHalfWidthKana(byte) ? ConvertCharacter(&single, 1, utf8) : 0;
  if (length == 0) {
    Put(Unknown, sizeof Unknown - 1);
  } else {
    Put(utf8, length);
  }
  if (counted) ++column;
}

// One byte after any pending lead byte has been dealt with: text or part of an escape sequence.
void PutByteInMode(unsigned char byte) {
  switch (mode) {
    case Text:
      if (byte == Escape) {
        PutByte(byte);
        mode = EscapeStart;
        return;
      }
      PutTextByte(byte, true);
      return;
    case EscapeStart:
      PutByte(byte);
      mode = byte == '[' ? ControlSequence : byte == ']' ? OperatingSystemText : Text;
      return;
    case ControlSequence:
      PutByte(byte);
      if (byte >= '@' && byte <= '~') {
        mode = Text;
        if (byte == 'H') column = 0;  // cursor home: the clear
      }
      return;
    case OperatingSystemText:
      if (byte == Bell || byte == Escape) {
        PutByte(byte);
        mode = byte == Bell ? Text : OperatingSystemEscape;
        return;
      }
      PutTextByte(byte, false);
      return;
    case OperatingSystemEscape:
      PutByte(byte);
      mode = Text;
      return;
  }
}

}  // namespace

bool OpenConverter() {
  if (converter == NoConverter) converter = iconv_open("UTF-8", "CP932");
  return converter != NoConverter;
}

void WriteConverted(const char* bytes, std::size_t count, ByteSink sink) {
  outputSink = sink;
  for (std::size_t i = 0; i < count; ++i) {
    if (OutputCapacity - outputUsed < LargestStep) FlushConverted();
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (pendingLead != NoLead) {
      const auto lead = static_cast<unsigned char>(pendingLead);
      pendingLead = NoLead;
      const bool counted = mode == Text;
      if (IsTrailByte(byte)) {
        PutDoubleByte(lead, byte, counted);
        continue;
      }
      // A lead byte without its second byte: shown as unknown, and the byte after it stands on
      // its own.
      Put(Unknown, sizeof Unknown - 1);
      if (counted) ++column;
    }
    PutByteInMode(byte);
  }
  FlushConverted();
}

void StartNewLine() {
  column = 0;
}

void ResetConversion() {
  mode = Text;
  column = 0;
  pendingLead = NoLead;
  outputUsed = 0;
}

}  // namespace reversi::platform::terminal
