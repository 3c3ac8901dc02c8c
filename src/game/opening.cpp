// The moves games start after: read from a command-line text or from the last line of a record
// file, checked by playing them through the rules (PlaceDisc, GetTurnStatus and the driver's own
// step between turns), and kept as SquareCodes for every game that starts after them.
#include <cstdint>

#include "board/board.h"
#include "game/game.h"
#include "opening.h"
#include "platform/console.h"
#include "record.h"
#include "settings.h"
#include "turn.h"

namespace reversi {

namespace {

// The kept moves: a SquareCode, or NoSquareCode for a turn given up.
std::int8_t openingSquares[OpeningCapacity];
int openingLength = 0;
bool openingFirstGameOnly = false;
// The board games start from instead of the usual four discs, when one was given.
bool startsFromPosition = false;
Position startPosition = {};

// A disc count in a record line: 0..SquareCount, so at most two digits.
constexpr int LongestCount = 2;
// The file is read in pieces of this size: any line length takes the same memory.
constexpr std::size_t ReadPieceSize = 4096;

OpeningCheck Verdict(OpeningVerdict verdict, int index, int side) {
  OpeningCheck check = {verdict, index + 1, {}, side};
  // A board over before any move has no move to name.
  if (index >= 0 && index < openingLength) WriteMoveText(openingSquares[index], check.move);
  return check;
}

// Plays the kept moves from the start position as two people would have typed them in Player vs
// Player: each square through PlaceDisc, "PA" as a turn without a move, and after every turn the
// driver's own step, which infers the forced passes. Each move goes to the record line when
// `record`. Leaves the side to move in `side`.
// Sets up the position games start from: the usual four discs with black to move, or the given
// board, on which the turns already taken are counted as its discs beyond the first four, and a
// side to move without a move is passed over as in a game. True when neither side can move.
bool SetUpStart(int& side) {
  MoveCount = 0;
  PassFlag = 0;
  side = 0;
  if (!startsFromPosition) {
    InitBoard();
    return false;
  }
  constexpr int StartDiscs = 4;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col)
      Board[row][col] = startPosition.cells[row][col];
  }
  const int discs = CountCells(Black) + CountCells(White);
  MoveCount = discs > StartDiscs ? discs - StartDiscs : 0;
  side = startPosition.side;
  const int status = GetTurnStatus(side);
  if (status == MustPass) {
    side = OtherSide(side);
    AdvanceMoveCount();
    PassFlag = 1;
  }
  return status == GameOver;
}

OpeningCheck Replay(bool record, int& side) {
  bool over = SetUpStart(side);
  for (int i = 0; i < openingLength; ++i) {
    if (over) return Verdict(OpeningVerdict::AfterTheEnd, i, side);
    const int square = openingSquares[i];
    if (square != NoSquareCode && !PlaceDisc(SquareRow(square), SquareColumn(square), side))
      return Verdict(OpeningVerdict::IllegalMove, i, side);
    // A side to move here always has a legal move: a forced pass has already been passed over.
    if (record) RecordTurn(square);
    over = FinishTurn(side) == GameOver;
  }
  if (over) return Verdict(OpeningVerdict::EndsTheGame, openingLength - 1, side);
  return Verdict(OpeningVerdict::Playable, openingLength, side);
}

// ---- The last line of a record file -------------------------------------------------------------
// Read byte by byte by a small state machine: moves (two characters each), a blank, the black
// count, '-', the white count, the line end (a "\r" before it is allowed). Every line must have
// that form; the moves of each are kept in place of the previous line's, so that the last line's
// are kept at the end.

enum class LinePart { Moves, SecondCharacter, BlackCount, WhiteCount, LineEnd, Broken };

struct LineReader {
  LinePart part;
  char firstCharacter;
  int digits;  // of the count being read
  int count;   // the count being read: at the line's end, the white count
  int blackCount;
  bool tooLong;  // more moves than OpeningCapacity
};

void StartLine(LineReader& line) {
  line = {};
  line.part = LinePart::Moves;
  openingLength = 0;
}

// Takes one count digit; false when the count grows too long to be a disc count.
bool TakeDigit(LineReader& line, char byte) {
  if (byte < '0' || byte > '9' || line.digits == LongestCount) return false;
  line.count = line.count * 10 + (byte - '0');
  ++line.digits;
  return true;
}

// Takes one byte of a line that is not its "\n".
void TakeLineByte(LineReader& line, char byte) {
  switch (line.part) {
    case LinePart::Moves:
      if (byte == ' ') {
        line.part = LinePart::BlackCount;
      } else {
        line.firstCharacter = byte;
        line.part = LinePart::SecondCharacter;
      }
      return;
    case LinePart::SecondCharacter: {
      const int square = ReadMoveText(line.firstCharacter, byte);
      line.part = LinePart::Moves;
      if (square == NotAMove) {
        line.part = LinePart::Broken;
      } else if (openingLength == OpeningCapacity) {
        line.tooLong = true;
      } else {
        openingSquares[openingLength++] = static_cast<std::int8_t>(square);
      }
      return;
    }
    case LinePart::BlackCount:
      if (byte == '-' && line.digits > 0) {
        line.blackCount = line.count;
        line.count = 0;
        line.digits = 0;
        line.part = LinePart::WhiteCount;
      } else if (!TakeDigit(line, byte)) {
        line.part = LinePart::Broken;
      }
      return;
    case LinePart::WhiteCount:
      if (byte == '\r' && line.digits > 0) {
        line.part = LinePart::LineEnd;
      } else if (!TakeDigit(line, byte)) {
        line.part = LinePart::Broken;
      }
      return;
    default:
      line.part = LinePart::Broken;
      return;
  }
}

// Whether the line read so far is a whole record line.
bool IsWholeLine(const LineReader& line) {
  return line.part == LinePart::LineEnd || (line.part == LinePart::WhiteCount && line.digits > 0);
}

}  // namespace

bool GameHasOpening(unsigned gameIndex) {
  return GameSettings.opening && (!openingFirstGameOnly || gameIndex == 0);
}

int PlayOpening() {
  int side = 0;
  Replay(true, side);
  return side;
}

void ResetOpeningState() {
  openingLength = 0;
  openingFirstGameOnly = false;
  startsFromPosition = false;
}

OpeningCheck SetStartPosition(const Position& position) {
  startsFromPosition = true;
  startPosition = position;
  openingLength = 0;
  int side = 0;
  return Replay(false, side);
}

OpeningCheck SetOpening(const char* moves) {
  openingLength = 0;
  openingFirstGameOnly = false;
  for (int i = 0; moves[i] != '\0'; i += MoveTextLength) {
    const int square = moves[i + 1] == '\0' ? NotAMove : ReadMoveText(moves[i], moves[i + 1]);
    if (square == NotAMove) {
      OpeningCheck check = {OpeningVerdict::NotASquare, openingLength + 1, {}, 0};
      check.move[0] = moves[i];
      check.move[1] = moves[i + 1];  // the NUL when the list ends in half a move
      return check;
    }
    if (openingLength == OpeningCapacity) return Verdict(OpeningVerdict::TooLong, openingLength, 0);
    openingSquares[openingLength++] = static_cast<std::int8_t>(square);
  }
  int side = 0;
  return Replay(false, side);
}

ResumeCheck ResumeFrom(const char* path) {
  ResumeCheck check = {ResumeVerdict::Ready, 0, ""};
  openingLength = 0;
  openingFirstGameOnly = true;
  if (!platform::OpenFileToRead(path, check.reason)) {
    check.verdict = ResumeVerdict::CannotRead;
    return check;
  }
  LineReader line = {};
  LineReader lastLine = {};
  bool lineOpen = false;  // some bytes of a line not yet ended have been read
  long lineNumber = 1;
  char piece[ReadPieceSize];
  for (;;) {
    const long count = platform::ReadFromFile(piece, sizeof piece, check.reason);
    if (count < 0) check.verdict = ResumeVerdict::CannotRead;
    if (count <= 0) break;
    for (long i = 0; i < count && check.verdict == ResumeVerdict::Ready; ++i) {
      // A line's moves replace the previous line's only once it has begun, so that after the
      // last line end the last line's moves are kept.
      if (!lineOpen) StartLine(line);
      lineOpen = true;
      if (piece[i] != '\n') TakeLineByte(line, piece[i]);
      if (line.part == LinePart::Broken || (piece[i] == '\n' && !IsWholeLine(line))) {
        check = {ResumeVerdict::NotARecordLine, lineNumber, ""};
      } else if (piece[i] == '\n') {
        lastLine = line;
        check.lineNumber = lineNumber++;
        lineOpen = false;
      }
    }
    if (check.verdict != ResumeVerdict::Ready) break;
  }
  platform::CloseFileToRead();
  if (check.verdict != ResumeVerdict::Ready) return check;
  if (lineOpen) {  // a last line without its line end
    if (!IsWholeLine(line)) return {ResumeVerdict::NotARecordLine, lineNumber, ""};
    lastLine = line;
    check.lineNumber = lineNumber;
  }
  if (check.lineNumber == 0) return {ResumeVerdict::NoGame, 0, ""};
  if (lastLine.tooLong) return {ResumeVerdict::TooLong, check.lineNumber, ""};
  int side = 0;
  const OpeningCheck played = Replay(false, side);
  const bool countsMatch =
      CountCells(Black) == lastLine.blackCount && CountCells(White) == lastLine.count;
  if ((played.verdict != OpeningVerdict::Playable &&
       played.verdict != OpeningVerdict::EndsTheGame) ||
      !countsMatch) {
    check.verdict = ResumeVerdict::NotARecordLine;
  } else if (played.verdict == OpeningVerdict::EndsTheGame) {
    check.verdict = ResumeVerdict::Finished;
  }
  return check;
}

}  // namespace reversi
