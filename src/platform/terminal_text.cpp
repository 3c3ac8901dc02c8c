// CP932 to UTF-8 for a terminal, with the column kept as a CP932 console counts it
// (cp932_columns.h). The C library's converter does the character mapping so that every character
// the program can write is covered, not only the ones it writes today.
#include "platform/terminal_text.h"

#include <iconv.h>

#include <cstdint>

#include "platform/cp932_columns.h"

namespace reversi::platform::terminal {

namespace {

constexpr unsigned char Escape = 0x1B;
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

// Converts one CP932 character (one or two bytes) to UTF-8 in `utf8`; returns its length, or 0
// when the bytes stand for no character.
std::size_t ConvertCharacter(const unsigned char* cp932, std::size_t length, char* utf8) {
  char bytes[2] = {static_cast<char>(cp932[0]), static_cast<char>(cp932[1])};
  char* in = bytes;
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

// A double-byte character in UTF-8, followed by the cursor move where a terminal may have drawn it
// one column wide (shown text only; a title has no columns).
void PutDoubleByte(const cp932::Piece& piece) {
  char utf8[MaxUtf8Length];
  const std::size_t length = ConvertCharacter(piece.bytes, sizeof piece.bytes, utf8);
  if (length == 0) {
    Put(WideUnknown, sizeof WideUnknown - 1);
    return;
  }
  Put(utf8, length);
  const auto* decoded = reinterpret_cast<const unsigned char*>(utf8);
  if (piece.shown && !cp932::IsAlwaysWide(DecodeUtf8(decoded, length)))
    PutCursorColumn(piece.column);
}

// Shows one piece of the program's output on the terminal.
void PutPiece(const cp932::Piece& piece) {
  if (OutputCapacity - outputUsed < LargestStep) FlushConverted();
  switch (piece.kind) {
    case cp932::PieceKind::Control:
    case cp932::PieceKind::Ascii:
      PutByte(piece.bytes[0]);
      return;
    case cp932::PieceKind::HalfWidth: {
      char utf8[MaxUtf8Length];
      const std::size_t length = ConvertCharacter(piece.bytes, 1, utf8);
      if (length == 0) {
        Put(Unknown, sizeof Unknown - 1);
      } else {
        Put(utf8, length);
      }
      return;
    }
    case cp932::PieceKind::DoubleByte:
      PutDoubleByte(piece);
      return;
    case cp932::PieceKind::Invalid:
      Put(Unknown, sizeof Unknown - 1);
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
  cp932::Split(bytes, count, PutPiece);
  FlushConverted();
}

void StartNewLine() {
  cp932::SetColumn(0);
}

void ResetConversion() {
  cp932::Reset();
  outputUsed = 0;
}

}  // namespace reversi::platform::terminal
