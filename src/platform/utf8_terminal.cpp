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

constexpr char Escape = 0x1B;
constexpr char Unknown[] = "?";
constexpr char WideUnknown[] = "\xE3\x83\xBB";  // U+30FB, the katakana middle dot
constexpr std::size_t MaxUtf8Length = 4;
// A double-byte character becomes a character beyond ASCII within Unicode's first 65,536: two or
// three bytes of UTF-8. Anything else the converter might make is shown as WideUnknown.
constexpr std::size_t ShortestDoubleByteUtf8 = 2;

// Copies `length` bytes, which must be from Half to twice Half, exactly: two copies of Half bytes,
// one from the start and one ending at the end, overlapping in between (the overlapping-copy
// technique of small memcpy implementations). Two fixed-size copies instead of a call.
template <std::size_t Half>
char* PutShort(char* out, const char* bytes, std::size_t length) {
  std::memcpy(out, bytes, Half);
  std::memcpy(out + length - Half, bytes + length - Half, Half);
  return out + length;
}

// ---- Cursor moves -----------------------------------------------------------------------------

// ESC [ n G puts the cursor in column n, counted from 1. Puts the move to a column counted from 0
// at `out` and returns its end.
constexpr char* FormatCursorMove(char* out, int zeroBasedColumn) {
  *out++ = Escape;
  *out++ = '[';
  out += FormatNumber(zeroBasedColumn + 1, 0, out);
  *out++ = 'G';
  return out;
}
constexpr std::size_t LongestCursorMove = 2 + MaxNumberLength + 1;  // ESC [, the number, G

// The moves to the columns of any usual line, made when compiling; FormatNumber costs tens of
// instructions a move, and nearly every stone on the board is followed by one.
constexpr int TabledColumns = 256;
constexpr std::size_t MoveHalf = 4;  // every tabled move is from 4 to 8 bytes: ESC [, 1-3 digits, G
struct TabledMove {
  char bytes[2 * MoveHalf];
  unsigned char length;
};
struct CursorMoveTable {
  TabledMove toColumn[TabledColumns];
};

constexpr CursorMoveTable MakeCursorMoveTable() {
  CursorMoveTable table{};
  for (int column = 0; column < TabledColumns; ++column) {
    TabledMove& move = table.toColumn[column];
    move.length = static_cast<unsigned char>(FormatCursorMove(move.bytes, column) - move.bytes);
  }
  return table;
}
constexpr CursorMoveTable CursorMoves = MakeCursorMoveTable();

constexpr bool EveryTabledMoveIsShort() {
  for (const TabledMove& move : CursorMoves.toColumn) {
    if (move.length < MoveHalf || move.length > 2 * MoveHalf) return false;
  }
  return true;
}
static_assert(EveryTabledMoveIsShort(), "PutCursorColumn copies every tabled move with PutShort");

// The cursor to a column, counted from 0.
inline char* PutCursorColumn(char* out, int column) {
  if (column >= TabledColumns) return FormatCursorMove(out, column);
  const TabledMove& move = CursorMoves.toColumn[column];
  return PutShort<MoveHalf>(out, move.bytes, move.length);
}

// ECH, erase two characters: blanks a cell's two columns in the current colours and leaves the
// cursor where it is. Written before a character that a terminal may draw one column wide while a
// background colour is set, so that the column the cursor move then skips is coloured as well.
constexpr char EraseCell[] = "\x1b[2X";
constexpr std::size_t EraseCellLength = sizeof EraseCell - 1;

// ---- The output buffer ------------------------------------------------------------------------

// Enough that a whole console buffer is usually handed over in one or two writes.
constexpr std::size_t OutputCapacity = 8192;
char output[OutputCapacity];
std::size_t outputUsed = 0;
ByteSink outputSink = nullptr;

// What the bytes of one write can grow to, which is all that keeps the output in bounds: the
// walk over a stretch of input appends without asking for room. One piece makes at most a
// character and a cursor move; a double-byte character takes two input bytes for that, and every
// other input byte makes at most one character (a half-width katakana, three bytes) or nothing.
// Only the first piece of a stretch can take a single byte for a whole double-byte character:
// the second half of one whose lead byte ended the stretch before.
constexpr std::size_t LongestPiece = EraseCellLength + MaxUtf8Length + LongestCursorMove;
constexpr std::size_t MostPerInputByte = (LongestPiece + 1) / 2 > MaxUtf8Length
                                             ? (LongestPiece + 1) / 2
                                             : MaxUtf8Length;
// A stretch waits for this much free room, so that stretches are long.
constexpr std::size_t StretchRoom = 1024;
static_assert(StretchRoom >= LongestPiece + MostPerInputByte && StretchRoom <= OutputCapacity,
              "every stretch takes at least one byte");

// How many input bytes surely fit into the free room: each may make MostPerInputByte, and the
// first piece LongestPiece on top.
std::size_t InputThatFits() {
  return (OutputCapacity - outputUsed - LongestPiece) / MostPerInputByte;
}

// Hands the converted output to the sink of the current write.
void FlushConverted() {
  if (outputUsed > 0) outputSink(output, outputUsed);
  outputUsed = 0;
}

// ---- What the converter made of each character ------------------------------------------------

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

// What the converter made of one character. The C library's converter costs a few hundred
// instructions a character, so every character is converted once, when the converter is opened,
// and looked up after that. Eight bytes, so that its place in a table is found by shifts alone.
struct alignas(8) Conversion {
  char utf8[MaxUtf8Length];  // or what stands for bytes that are no character
  unsigned char length;
  bool maybeNarrow;  // a character some terminals draw one column wide (not cp932::IsAlwaysWide)
};
// Direct tables with a place for every character, filled by OpenConverter: for the double-byte
// ones a row per lead byte, indexed by the second byte (120 KB, the second bytes that are none
// left empty).
Conversion halfWidthConversions[cp932::HalfWidthCount];
Conversion doubleByteConversions[cp932::LeadByteCount][cp932::ByteValueCount];

// Converts one CP932 character (one or two bytes) into `conversion`, or puts `fallback` there
// when the bytes stand for no character or make fewer than `shortest` bytes.
void ConvertOne(const unsigned char* cp932, std::size_t length, std::size_t shortest,
                const char* fallback, Conversion& conversion) {
  char bytes[2] = {};  // a copy that iconv may take as not const
  std::memcpy(bytes, cp932, length);
  char* in = bytes;
  std::size_t inLeft = length;
  char* out = conversion.utf8;
  std::size_t outLeft = MaxUtf8Length;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0 || MaxUtf8Length - outLeft < shortest) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    const std::size_t fallbackLength = std::strlen(fallback);
    std::memcpy(conversion.utf8, fallback, fallbackLength);
    conversion.length = static_cast<unsigned char>(fallbackLength);
    conversion.maybeNarrow = false;  // the stand-in is no character of the text: no cursor move
    return;
  }
  conversion.length = static_cast<unsigned char>(MaxUtf8Length - outLeft);
  const auto* decoded = reinterpret_cast<const unsigned char*>(conversion.utf8);
  conversion.maybeNarrow = !cp932::IsAlwaysWide(DecodeUtf8(decoded, conversion.length));
}

cp932::TextState textState;

// A double-byte character in UTF-8, followed by the cursor move to `column` where a terminal may
// have drawn it one column wide (shown text only; a title has no columns), and then led by the
// erase of its cell when a background colour is set.
inline char* PutDoubleByte(char* out, unsigned char lead, unsigned char trail, bool shown,
                           int column) {
  const Conversion& conversion = doubleByteConversions[cp932::LeadByteNumber(lead)][trail];
  const std::size_t length = conversion.length;
  const bool moveCursor = shown && conversion.maybeNarrow;
  if (moveCursor && textState.colors.background != cp932::DefaultColor) {
    std::memcpy(out, EraseCell, EraseCellLength);
    out += EraseCellLength;
  }
  out = PutShort<ShortestDoubleByteUtf8>(out, conversion.utf8, length);
  return moveCursor ? PutCursorColumn(out, column) : out;
}

// Shows one piece of the program's output on the terminal. Inline: the walker's common pieces
// come with their kind known, and the choice below then falls away.
inline char* PutPiece(char* out, const cp932::Piece& piece) {
  switch (piece.kind) {
    case cp932::PieceKind::Control:
      *out++ = static_cast<char>(piece.bytes[0]);
      return out;
    case cp932::PieceKind::Escape:
      // The board's sequences are from 4 to 8 bytes long: two fixed-size copies, no call.
      if (piece.runLength >= MoveHalf && piece.runLength <= 2 * MoveHalf)
        return PutShort<MoveHalf>(out, piece.run, piece.runLength);
      std::memcpy(out, piece.run, piece.runLength);
      return out + piece.runLength;
    case cp932::PieceKind::Ascii:
      std::memcpy(out, piece.run, piece.runLength);
      return out + piece.runLength;
    case cp932::PieceKind::DoubleByte:
      return PutDoubleByte(out, piece.bytes[0], piece.bytes[1], piece.shown, piece.column);
    case cp932::PieceKind::HalfWidth: {
      const Conversion& conversion = halfWidthConversions[cp932::HalfWidthNumber(piece.bytes[0])];
      std::memcpy(out, conversion.utf8, conversion.length);
      return out + conversion.length;
    }
    case cp932::PieceKind::Invalid:
      std::memcpy(out, Unknown, sizeof Unknown - 1);
      return out + sizeof Unknown - 1;
  }
  return out;
}

}  // namespace

bool OpenConverter() {
  if (converter != NoConverter) return true;
  converter = iconv_open("UTF-8", "CP932");
  if (converter == NoConverter) return false;
  for (int value = 0; value < cp932::ByteValueCount; ++value) {
    const auto first = static_cast<unsigned char>(value);
    if (cp932::IsHalfWidthKana(first)) {
      ConvertOne(&first, 1, 1, Unknown, halfWidthConversions[cp932::HalfWidthNumber(first)]);
    }
    if (!cp932::IsLeadByte(first)) continue;
    for (int second = 0; second < cp932::ByteValueCount; ++second) {
      const unsigned char pair[2] = {first, static_cast<unsigned char>(second)};
      if (!cp932::IsTrailByte(pair[1])) continue;
      ConvertOne(pair, 2, ShortestDoubleByteUtf8, WideUnknown,
                 doubleByteConversions[cp932::LeadByteNumber(first)][second]);
    }
  }
  return true;
}

void WriteConverted(const char* bytes, std::size_t count, ByteSink sink) {
  outputSink = sink;
  while (count > 0) {
    if (OutputCapacity - outputUsed < StretchRoom) FlushConverted();
    const std::size_t fitting = InputThatFits();
    const std::size_t part = count < fitting ? count : fitting;
    char* out = output + outputUsed;
    cp932::Walk(textState, bytes, part,
                [&out](const cp932::Piece& piece) { out = PutPiece(out, piece); });
    outputUsed = static_cast<std::size_t>(out - output);
    bytes += part;
    count -= part;
  }
  FlushConverted();
}

void StartNewLine() {
  textState.column = 0;
}

void ResetConversion() {
  textState = cp932::TextState{};
  outputUsed = 0;
}

}  // namespace reversi::platform::utf8_terminal
