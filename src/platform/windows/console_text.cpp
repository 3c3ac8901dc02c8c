// CP932 to UTF-16 for the Windows console through MultiByteToWideChar, one character at a time so
// that a character cut between two writes is decoded whole, and every character the program can
// write is covered, not only the ones it writes today.
#include "windows/console_text.h"

#include "windows/windows_api.h"

#include <climits>

#include "cp932_columns.h"

namespace reversi::platform::console_text {

namespace {

constexpr UINT Cp932 = 932;
constexpr wchar_t Unknown = L'?';
constexpr wchar_t WideUnknown = L'\x30FB';  // the katakana middle dot
// One CP932 character decodes to one UTF-16 unit, and a blank may follow it; a line end is two.
// PutToken makes room for that; an ASCII run is put unit by unit, each with room made for it.
constexpr std::size_t LargestStep = 2;
// The cells a CP932 console gives a double-byte character, and one that fills only one of them.
constexpr int CP932Cells = cp932::ColumnsOf(cp932::TokenKind::DoubleByte);
constexpr int OneCell = 1;

// Enough for a whole board screen in one write to the console, when no cursor move cuts it.
constexpr std::size_t OutputCapacity = 4096;
wchar_t output[OutputCapacity];
std::size_t outputUsed = 0;
const Sinks* currentSinks = nullptr;
cp932::TextState textState;
cp932::Colors shownColors;  // what the sink was last told

void FlushDecoded() {
  if (outputUsed > 0) currentSinks->text(output, outputUsed);
  outputUsed = 0;
}

void Put(wchar_t unit) {
  output[outputUsed++] = unit;
}

// One CP932 character of `length` bytes as UTF-16, or `fallback` when it stands for none.
wchar_t Decode(const unsigned char* bytes, int length, wchar_t fallback) {
  const char narrow[2] = {static_cast<char>(bytes[0]), static_cast<char>(bytes[1])};
  wchar_t wide[2];
  const int got = MultiByteToWideChar(Cp932, MB_ERR_INVALID_CHARS, narrow, length, wide, 2);
  return got == 1 ? wide[0] : fallback;
}

// Printable ASCII as it is.
void PutAscii(const char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (outputUsed == OutputCapacity) FlushDecoded();
    Put(static_cast<wchar_t>(bytes[i]));
  }
}

// Shows one token of the program's output on the console.
void PutToken(const cp932::Token& token) {
  if (OutputCapacity - outputUsed < LargestStep) FlushDecoded();
  switch (token.kind) {
    case cp932::TokenKind::Control:
      if (token.bytes[0] == '\n') Put(L'\r');
      Put(static_cast<wchar_t>(token.bytes[0]));
      return;
    case cp932::TokenKind::Escape:
      // The tokenizer has read the sequence; the text before it is shown in the colours before it.
      if (textState.colors == shownColors) return;
      FlushDecoded();
      shownColors = textState.colors;
      currentSinks->colors(shownColors.foreground, shownColors.background);
      return;
    case cp932::TokenKind::Ascii:
      PutAscii(token.run, token.runLength);
      return;
    case cp932::TokenKind::HalfWidth:
      Put(Decode(token.bytes, 1, Unknown));
      return;
    case cp932::TokenKind::Invalid:
      Put(Unknown);
      return;
    case cp932::TokenKind::DoubleByte: {
      const wchar_t character = Decode(token.bytes, 2, WideUnknown);
      Put(character);
      if (!token.shown) return;  // inside a title: no columns
      const int cells = currentSinks->cells(character);
      if (cells == CP932Cells) return;
      if (cells == OneCell) {
        Put(L' ');  // the cell a CP932 console would give the character's second half
        return;
      }
      FlushDecoded();
      currentSinks->column(token.column);
      return;
    }
  }
}

}  // namespace

void WriteDecoded(const char* bytes, std::size_t count, const Sinks& sinks) {
  currentSinks = &sinks;
  cp932::Tokenize(textState, bytes, count, PutToken);
  FlushDecoded();
}

void StartAtColumn(int column) {
  textState.column = column;
}

void ResetDecoding() {
  textState = cp932::TextState{};
  shownColors = cp932::Colors{};
  outputUsed = 0;
}

bool DecodeText(const char* cp932, wchar_t* wide, std::size_t capacity) {
  const int room = capacity < INT_MAX ? static_cast<int>(capacity) : INT_MAX;
  return MultiByteToWideChar(Cp932, MB_ERR_INVALID_CHARS, cp932, -1, wide, room) > 0;
}

}  // namespace reversi::platform::console_text
