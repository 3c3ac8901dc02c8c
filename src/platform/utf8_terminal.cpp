// CP932 to UTF-8 for an ANSI terminal, with the column kept as a CP932 console counts it
// (cp932_columns.h). The C library's converter does the character mapping so that every character
// the program can write is covered, not only the ones it writes today.
#include "utf8_terminal.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>

#include "cp932_columns.h"
#include "platform/console.h"  // the number formatting only: FormatNumber, MaxNumberLength

namespace reversi::platform::utf8_terminal {

namespace {

constexpr char Unknown[] = "?";
constexpr char WideUnknown[] = "\xE3\x83\xBB";  // U+30FB, the katakana middle dot
constexpr std::size_t MaxUtf8Length = 4;
// A double-byte character becomes a character beyond ASCII within Unicode's first 65,536: two or
// three bytes of UTF-8. Anything else the converter might make is shown as WideUnknown.
constexpr std::size_t ShortestDoubleByteUtf8 = 2;

// ECH, erase two characters: blanks a cell's two columns in the current colours and leaves the
// cursor where it is. Written before a character that a terminal may draw one column wide while a
// background colour is set, so that the column the cursor move then skips is coloured as well.
constexpr char EraseCell[] = "\x1b[2X";

// ---- The output buffer ------------------------------------------------------------------------

// Enough that a whole console buffer is usually handed over in one or two writes.
constexpr std::size_t OutputCapacity = 8192;
char output[OutputCapacity];
std::size_t outputUsed = 0;
ByteSink outputSink = nullptr;

// Hands the converted output to the sink of the current write.
void FlushConverted() {
  if (outputUsed > 0) outputSink(output, outputUsed);
  outputUsed = 0;
}

void Put(const char* bytes, std::size_t count) {
  while (count > 0) {
    if (outputUsed == OutputCapacity) FlushConverted();
    const std::size_t room = OutputCapacity - outputUsed;
    const std::size_t part = count < room ? count : room;
    std::memcpy(output + outputUsed, bytes, part);
    outputUsed += part;
    bytes += part;
    count -= part;
  }
}

// ESC [ n G: the cursor to a column, counted from 0 here and from 1 in the sequence.
void PutCursorColumn(int column) {
  char move[2 + MaxNumberLength + 1];  // ESC [, the number, G
  std::size_t length = 0;
  move[length++] = '\x1b';
  move[length++] = '[';
  length += static_cast<std::size_t>(FormatNumber(column + 1, 0, move + length));
  move[length++] = 'G';
  Put(move, length);
}

// ---- Characters -------------------------------------------------------------------------------

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
iconv_t converter = NoConverter;

// The code point of one UTF-8 encoded character.
std::uint32_t DecodeUtf8(const unsigned char* bytes, std::size_t length) {
  if (length == 1) return bytes[0];
  std::uint32_t value = bytes[0] & (0x3FU >> (length - 1));
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (bytes[i] & 0x3FU);
  return value;
}

// One CP932 character converted: its UTF-8 bytes, or what stands for bytes that are none.
struct Conversion {
  char utf8[MaxUtf8Length];
  std::size_t length;
  bool maybeNarrow;  // a character some terminals draw one column wide (not cp932::IsAlwaysWide)
};

// Converts one CP932 character (one or two bytes); `fallback` stands for bytes that are no
// character or that make fewer than `shortest` bytes.
Conversion Convert(const unsigned char* cp932, std::size_t length, std::size_t shortest,
                   const char* fallback) {
  Conversion conversion = {};
  char bytes[2] = {};  // a copy that iconv may take as not const
  std::memcpy(bytes, cp932, length);
  char* in = bytes;
  std::size_t inLeft = length;
  char* out = conversion.utf8;
  std::size_t outLeft = MaxUtf8Length;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0 || MaxUtf8Length - outLeft < shortest) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    conversion.length = std::strlen(fallback);
    std::memcpy(conversion.utf8, fallback, conversion.length);
    return conversion;  // the stand-in is no character of the text: no cursor move
  }
  conversion.length = MaxUtf8Length - outLeft;
  const auto* decoded = reinterpret_cast<const unsigned char*>(conversion.utf8);
  conversion.maybeNarrow = !cp932::IsAlwaysWide(DecodeUtf8(decoded, conversion.length));
  return conversion;
}

cp932::TextState textState;

// A double-byte character in UTF-8. Where a terminal may draw it one column wide (shown text only;
// a title has no columns) the cursor is then moved to `column`, and with a background colour set
// the cell is erased first.
void PutDoubleByte(const cp932::Token& token) {
  const Conversion conversion = Convert(token.bytes, 2, ShortestDoubleByteUtf8, WideUnknown);
  const bool moveCursor = token.shown && conversion.maybeNarrow;
  if (moveCursor && textState.colors.background != cp932::DefaultColor)
    Put(EraseCell, sizeof EraseCell - 1);
  Put(conversion.utf8, conversion.length);
  if (moveCursor) PutCursorColumn(token.column);
}

// Shows one token of the program's output on the terminal.
void PutToken(const cp932::Token& token) {
  switch (token.kind) {
    case cp932::TokenKind::Control:
      Put(reinterpret_cast<const char*>(token.bytes), 1);
      return;
    case cp932::TokenKind::Escape:
    case cp932::TokenKind::Ascii:
      Put(token.run, token.runLength);
      return;
    case cp932::TokenKind::DoubleByte:
      PutDoubleByte(token);
      return;
    case cp932::TokenKind::HalfWidth: {
      const Conversion conversion = Convert(token.bytes, 1, 1, Unknown);
      Put(conversion.utf8, conversion.length);
      return;
    }
    case cp932::TokenKind::Invalid:
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
  if (converter == NoConverter) {
    sink(bytes, count);
    return;
  }
  outputSink = sink;
  cp932::Tokenize(textState, bytes, count, PutToken);
  FlushConverted();
}

void NoteEchoedInput(const char* bytes, long count) {
  if (count > 0 && bytes[count - 1] == '\n') textState.column = 0;
}

void ResetConversion() {
  textState = cp932::TextState{};
  outputUsed = 0;
}

}  // namespace reversi::platform::utf8_terminal
