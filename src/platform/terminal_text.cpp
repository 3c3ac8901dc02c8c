// CP932 to UTF-8 for a terminal, with the column kept as a CP932 console counts it
// (cp932_columns.h). The C library's converter does the character mapping so that every character
// the program can write is covered, not only the ones it writes today.
#include "platform/terminal_text.h"

#include <iconv.h>

#include <cstdint>
#include <cstring>

#include "platform/cp932_columns.h"
#include "platform/decimal.h"

namespace reversi::platform::terminal {

namespace {

constexpr char Escape = 0x1B;
constexpr char Unknown[] = "?";
constexpr char WideUnknown[] = "\xE3\x83\xBB";  // U+30FB, the katakana middle dot
constexpr std::size_t MaxUtf8Length = 4;

// ESC [ n G puts the cursor in column n, counted from 1. Puts the move to a column counted from 0
// at `out` and returns its end.
constexpr char* FormatCursorMove(char* out, int zeroBasedColumn) {
  *out++ = Escape;
  *out++ = '[';
  out += FormatNumber(zeroBasedColumn + 1, 0, out);
  *out++ = 'G';
  return out;
}
constexpr std::size_t CursorMoveCapacity = 2 + MaxNumberLength + 1;  // ESC [, the number, G

// The moves to the columns of any usual line, made when compiling: ESC [, at most three digits, G.
constexpr int TabledColumns = 256;
constexpr std::size_t TabledMoveCapacity = 7;
struct TabledMove {
  char bytes[TabledMoveCapacity];
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

// Enough that a whole console buffer is usually handed over in one or two writes.
constexpr std::size_t OutputCapacity = 8192;
// Room kept free for the largest single step: a character and a cursor move.
constexpr std::size_t LargestStep = MaxUtf8Length + CursorMoveCapacity;
char output[OutputCapacity];
std::size_t outputUsed = 0;
ByteSink outputSink = nullptr;

const iconv_t NoConverter = reinterpret_cast<iconv_t>(-1);
iconv_t converter = NoConverter;

// Hands the converted output to the sink of the current write.
void FlushConverted() {
  if (outputUsed > 0) outputSink(output, outputUsed);
  outputUsed = 0;
}

// The routines below append through a cursor `out` into `output`, which the loops keep in a
// register; outputUsed is brought up to date when a piece or a stretch of text is done.
// MakeRoom hands the output over when fewer than LargestStep bytes are free.
char* MakeRoom(char* out) {
  if (out <= output + OutputCapacity - LargestStep) return out;
  outputUsed = static_cast<std::size_t>(out - output);
  FlushConverted();
  return output;
}

char* Put(char* out, const char* bytes, std::size_t count) {
  std::memcpy(out, bytes, count);
  return out + count;
}

// The code point of one UTF-8 encoded character.
std::uint32_t DecodeUtf8(const unsigned char* bytes, std::size_t length) {
  if (length == 1) return bytes[0];
  std::uint32_t value = bytes[0] & (0x3FU >> (length - 1));
  for (std::size_t i = 1; i < length; ++i)
    value = (value << 6) | (bytes[i] & 0x3FU);
  return value;
}

// What the converter made of one character. The C library's converter costs a few hundred
// instructions a character, so each character is converted once, the first time it is written,
// and looked up after that.
struct Conversion {
  char utf8[MaxUtf8Length];  // or what stands for bytes that are no character
  unsigned char length;      // 0 until the character has been converted
  bool maybeNarrow;  // a character some terminals draw one column wide (not cp932::IsAlwaysWide)
};
Conversion halfWidthConversions[cp932::HalfWidthCount];

// The double-byte characters, found by their two bytes in a small open-addressed table: a game
// writes some sixty different ones, and a table for every possible one would cost a terminal
// session several pages of memory where this takes one. Should it ever fill, further characters are
// converted every time they come.
struct KnownCharacter {
  std::uint16_t pair;  // lead byte and second byte; 0 for a free slot (no lead byte is 0)
  Conversion conversion;
};
// A character is looked for in two slots side by side, found by hashing its bytes, and beyond
// them only when both hold others (linear probing).
constexpr int KnownHashBits = 8;
constexpr std::size_t SlotsPerHash = 2;
constexpr std::size_t KnownCapacity = (std::size_t{1} << KnownHashBits) * SlotsPerHash;
KnownCharacter knownCharacters[KnownCapacity];
Conversion unknownCharacter;  // where a character goes once the table is full

// Converts one CP932 character (one or two bytes) into `conversion`, or puts `fallback` there
// when the bytes stand for no character. Out of line: it is the rare case, and the loops that look
// characters up stay short without it.
[[gnu::noinline]] void Learn(const unsigned char* cp932, std::size_t length, const char* fallback,
                             Conversion& conversion) {
  char bytes[2] = {static_cast<char>(cp932[0]), static_cast<char>(cp932[1])};
  char* in = bytes;
  std::size_t inLeft = length;
  char* out = conversion.utf8;
  std::size_t outLeft = MaxUtf8Length;
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
      inLeft != 0 || outLeft == MaxUtf8Length) {
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

// The slot where a character's search starts: Fibonacci hashing of its two bytes.
constexpr std::uint32_t HashMultiplier = 0x9E3779B1U;
constexpr int HashShift = 32 - KnownHashBits;
inline std::size_t FirstSlot(std::uint32_t pair) {
  return ((pair * HashMultiplier) >> HashShift) * SlotsPerHash;
}

// The search beyond the first two slots, and the first conversion of a character: both rare.
[[gnu::noinline]] const Conversion& FindOrLearn(std::uint32_t pair) {
  const unsigned char bytes[2] = {static_cast<unsigned char>(pair >> 8),
                                  static_cast<unsigned char>(pair)};
  std::size_t slot = FirstSlot(pair);
  for (std::size_t tried = 0; tried < KnownCapacity; ++tried) {
    KnownCharacter& known = knownCharacters[slot];
    if (known.pair == pair) return known.conversion;
    if (known.pair == 0) {
      known.pair = static_cast<std::uint16_t>(pair);
      Learn(bytes, 2, WideUnknown, known.conversion);
      return known.conversion;
    }
    slot = (slot + 1) & (KnownCapacity - 1);
  }
  Learn(bytes, 2, WideUnknown, unknownCharacter);
  return unknownCharacter;
}

// The conversion of a double-byte character, learned now if it is the first time.
inline const Conversion& ConversionOf(unsigned char lead, unsigned char trail) {
  const std::uint32_t pair = static_cast<std::uint32_t>(lead) << 8 | trail;
  const KnownCharacter* first = knownCharacters + FirstSlot(pair);
  if (first[0].pair == pair) return first[0].conversion;
  if (first[1].pair == pair) return first[1].conversion;
  return FindOrLearn(pair);
}

// A converted character. All four bytes are copied, one store instead of a copy of varying
// length; only `length` of them count.
char* PutConverted(char* out, const Conversion& conversion) {
  std::memcpy(out, conversion.utf8, MaxUtf8Length);
  return out + conversion.length;
}

// The cursor to a column, counted from 0.
inline char* PutCursorColumn(char* out, int column) {
  if (column >= TabledColumns) return FormatCursorMove(out, column);
  // The whole entry is copied, one store; only `length` bytes count.
  const TabledMove& move = CursorMoves.toColumn[column];
  std::memcpy(out, move.bytes, TabledMoveCapacity);
  return out + move.length;
}

// A double-byte character in UTF-8, followed by the cursor move to `column` where a terminal may
// have drawn it one column wide (shown text only; a title has no columns).
inline char* PutDoubleByte(char* out, unsigned char lead, unsigned char trail, bool shown,
                           int column) {
  const Conversion& conversion = ConversionOf(lead, trail);
  out = PutConverted(out, conversion);
  if (shown && conversion.maybeNarrow) out = PutCursorColumn(out, column);
  return out;
}

// Printable ASCII as it is, in pieces as large as the output has room for.
char* PutAscii(char* out, const char* bytes, std::size_t count) {
  while (count > 0) {
    out = MakeRoom(out);
    const auto room = static_cast<std::size_t>(output + OutputCapacity - out);
    const std::size_t part = count < room ? count : room;
    out = Put(out, bytes, part);
    bytes += part;
    count -= part;
  }
  return out;
}

// Shows one piece of the program's output on the terminal: what the common case leaves.
void PutPiece(const cp932::Piece& piece) {
  char* out = MakeRoom(output + outputUsed);
  switch (piece.kind) {
    case cp932::PieceKind::Control:
      *out++ = static_cast<char>(piece.bytes[0]);
      break;
    case cp932::PieceKind::Ascii:
      out = PutAscii(out, piece.run, piece.runLength);
      break;
    case cp932::PieceKind::DoubleByte:
      out = PutDoubleByte(out, piece.bytes[0], piece.bytes[1], piece.shown, piece.column);
      break;
    case cp932::PieceKind::HalfWidth: {
      Conversion& conversion = halfWidthConversions[cp932::HalfWidthNumber(piece.bytes[0])];
      if (conversion.length == 0) Learn(piece.bytes, 1, Unknown, conversion);
      out = PutConverted(out, conversion);
      break;
    }
    case cp932::PieceKind::Invalid:
      out = Put(out, Unknown, sizeof Unknown - 1);
      break;
  }
  outputUsed = static_cast<std::size_t>(out - output);
}

// Shown text as far as the common case goes, converted straight into the output. A stretch of it
// is taken that surely fits, so no character needs to ask for room: a double-byte character (two
// bytes) becomes at most LargestStep bytes, anything else stays one byte.
std::size_t PutShownText(const char* bytes, std::size_t count) {
  constexpr std::size_t GrowthPerByte = (LargestStep + 1) / 2;
  // Wait for this much room, so that the stretches are long.
  constexpr std::size_t StretchRoom = 1024;
  if (OutputCapacity - outputUsed < StretchRoom) FlushConverted();
  const std::size_t fitting = (OutputCapacity - outputUsed) / GrowthPerByte;
  char* out = output + outputUsed;
  const std::size_t taken = cp932::WalkShownText(
      bytes, count < fitting ? count : fitting,
      [&out](const char* run, std::size_t length, int) { out = Put(out, run, length); },
      [&out](unsigned char lead, unsigned char trail, int column) {
        out = PutDoubleByte(out, lead, trail, true, column);
      },
      [&out](unsigned char lineEnd) { *out++ = static_cast<char>(lineEnd); });
  outputUsed = static_cast<std::size_t>(out - output);
  return taken;
}

}  // namespace

bool OpenConverter() {
  if (converter == NoConverter) converter = iconv_open("UTF-8", "CP932");
  return converter != NoConverter;
}

void WriteConverted(const char* bytes, std::size_t count, ByteSink sink) {
  outputSink = sink;
  std::size_t i = 0;
  while (i < count) {
    const std::size_t taken = cp932::AtShownText() ? PutShownText(bytes + i, count - i) : 0;
    if (taken > 0) {
      i += taken;
      continue;
    }
    // Bytes that need a closer look: an escape sequence, a character cut in two between writes,
    // bytes that are no character.
    i += cp932::SplitUntilShownText(bytes + i, count - i, PutPiece);
  }
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
