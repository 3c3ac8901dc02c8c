// The keyboard dialogues: the mode choice and a human's move (or the final choice). Numbers are
// read the way C's "%d" reads them, except that a number too large for an int is refused instead
// of being wrapped into another, perhaps meaningful, value such as 99.
#include <climits>

#include "board/board.h"
#include "coach.h"
#include "game/game.h"
#include "notes.h"
#include "platform/console.h"
#include "settings.h"
#include "texts.h"

namespace reversi {

namespace {

constexpr int QuitCode = 99;
constexpr int UndoCode = 98;  // only while taking back is on; otherwise refused like any non-square
constexpr int SkipCode = 0;
constexpr int CoachCode = 97;  // only with the coach, and while the side has a move to score
constexpr int LowestSquare = SquareCode(0, 0);
constexpr int HighestSquare = SquareCode(LastIndex, LastIndex);
constexpr int DecimalRadix = 10;
// The magnitude of INT_MIN, the largest that a signed number can have.
constexpr long long LargestMagnitude = -static_cast<long long>(INT_MIN);

constexpr int NoByte = -2;  // the look-ahead holds nothing
int lookAhead = NoByte;

int NextByte() {
  if (lookAhead != NoByte) {
    const int byte = lookAhead;
    lookAhead = NoByte;
    return byte;
  }
  return platform::ReadInputByte();
}

// Gives a byte back to the input; the end of input needs no giving back, it stays ended.
void PutBack(int byte) {
  if (byte != platform::EndOfInput) lookAhead = byte;
}

// White space as "%d" skips it: space, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsSpace(int byte) {
  return byte == ' ' || (byte >= '\t' && byte <= '\r');
}
constexpr bool IsDigit(int byte) {
  return byte >= '0' && byte <= '9';
}

enum ReadResult { NumberRead, NothingRead, NoMoreInput };

// A square typed as a column letter (either case) and a row digit, read as its SquareCode; false,
// with the letter given back, for anything else.
bool ReadLetterSquare(int first, int& value) {
  const int lower = first | ('a' ^ 'A');  // ASCII letters differ in case by one bit
  if (lower < 'a' || lower >= 'a' + BoardSize) return false;
  const int second = NextByte();
  if (second < '1' || second >= '1' + BoardSize) {
    PutBack(second);
    return false;
  }
  value = SquareCode(second - '1', lower - 'a');
  return true;
}

// Reads one number like "%d": white space (line ends too) skipped, an optional sign, digits, and
// the byte after them left for the next read. A number outside int's range counts as nothing read.
// Takes constant memory however long a digit run is.
// With `squares`, a square typed as a letter and a digit ("d3") is read as its SquareCode too.
ReadResult ReadNumber(int& value, bool squares) {
  int byte = NextByte();
  while (IsSpace(byte))
    byte = NextByte();
  if (byte == platform::EndOfInput) return NoMoreInput;
  if (squares && ReadLetterSquare(byte, value)) return NumberRead;
  bool negative = false;
  if (byte == '-' || byte == '+') {
    negative = byte == '-';
    byte = NextByte();  // the sign is used up even when no digit follows, as with "%d"
  }
  if (!IsDigit(byte)) {
    PutBack(byte);
    return NothingRead;
  }
  long long magnitude = 0;
  bool tooLarge = false;
  for (; IsDigit(byte); byte = NextByte()) {
    if (tooLarge) continue;
    magnitude = magnitude * DecimalRadix + (byte - '0');
    tooLarge = magnitude > LargestMagnitude;
  }
  PutBack(byte);
  const long long signedValue = negative ? -magnitude : magnitude;
  if (tooLarge || signedValue > INT_MAX) return NothingRead;
  value = static_cast<int>(signedValue);
  return NumberRead;
}

// Throws away the rest of the line, its line end included.
void DiscardLine() {
  int byte = NextByte();
  while (byte != '\n' && byte != platform::EndOfInput)
    byte = NextByte();
}

// Prompts and reads until a number arrives. Unreadable entries are discarded with their line and
// reported. When the input ends, the prompt's line is closed and false is returned. The prompt is
// written in the terminal's own colours, so that what the player types is too.
bool PromptForNumber(int& value, bool squares) {
  for (;;) {
    platform::ResetColors();
    platform::WriteText(texts::common::Prompt);
    const ReadResult result = ReadNumber(value, squares);
    if (result == NumberRead) return true;
    if (result == NoMoreInput) {
      platform::WriteText("\n");
      return false;
    }
    DiscardLine();
    platform::WriteText(texts::common::InputErrorText);
  }
}

void ReportNumber(int number, const char* tail) {
  platform::WriteText(texts::common::NumberErrorLead);
  platform::WriteNumber(number);
  platform::WriteText(tail);
}

// Reports a square that cannot be played as it was typed: a number, or a1..h8.
void ReportSquare(int square, const char* tail) {
  platform::WriteText(texts::common::NumberErrorLead);
  WriteSquare(square);
  platform::WriteText(tail);
}

}  // namespace

int ReadGameMode(int maxChoice) {
  int choice = 0;
  for (;;) {
    if (!PromptForNumber(choice, false)) return InputEnded;
    if (choice >= 0 && choice <= maxChoice) return choice + 1;
    ReportNumber(choice, texts::common::NumberErrorTail);
  }
}

int ReadHumanMove(int side, int& played) {
  played = NoSquareCode;
  int number = 0;
  for (;;) {
    if (!PromptForNumber(number, GameSettings.letterSquares)) return InputEnded;
    if (number == QuitCode) return QuitRequested;
    if (number == UndoCode && GameSettings.undo) return UndoRequested;
    if (number == SkipCode) return MoveDone;
    if (number == CoachCode && GameSettings.coachLevel != 0 && LegalSquares(side) != 0) {
      ListMoveScores(side);
      continue;
    }
    // Between 11 and 88 the tens digit is always a row; the units digit may still be 0 or 9.
    const int col = SquareColumn(number);
    const bool wellFormed =
        number >= LowestSquare && number <= HighestSquare && col >= 0 && col <= LastIndex;
    if (!wellFormed) {
      ReportNumber(number, texts::common::NumberErrorTail);
      continue;
    }
    if (PlaceDisc(SquareRow(number), col, side)) {
      played = number;
      return MoveDone;
    }
    ReportSquare(number, Texts().cannotPlaceTail);
  }
}

int ReadHumanMove(int side) {
  int played = NoSquareCode;
  return ReadHumanMove(side, played);
}

void ReportNothingToTakeBack() {
  ReportNumber(UndoCode, Texts().nothingToTakeBackTail);
}

void ResetKeyboardState() {
  lookAhead = NoByte;
}

}  // namespace reversi
