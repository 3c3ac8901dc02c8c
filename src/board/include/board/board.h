// Board and rules: the one game position with its one-deep snapshot and the two per-game counters,
// the rules of Reversi over that position, and the trial move by which the COM measures a square.
// Owns Board, SavedBoard, MoveCount and PassFlag; every other module reaches them here directly.
#pragma once

#include <cstdint>

namespace reversi {

inline constexpr int BoardSize = 8;
inline constexpr int SquareCount = BoardSize * BoardSize;
inline constexpr int LastIndex = BoardSize - 1;
inline constexpr int DirectionCount = 8;
inline constexpr int SideCount = 2;

// What a cell holds. Only the three named values are ever stored by the game; the type is a byte so
// that a damaged cell can still be represented (and drawn as such).
enum Cell : std::uint8_t { Empty = 0, Black = 1, White = 2 };

// Side 0 owns the Black discs and moves first; side 1 owns the White discs.
constexpr int OtherSide(int side) {
  return (side + 1) % SideCount;
}
constexpr Cell OwnCell(int side) {
  return side == 0 ? Black : White;
}
constexpr Cell OpponentCell(int side) {
  return side == 0 ? White : Black;
}

// SquareCode: how a person types a square and how the COM names one. The tens digit is the row
// counted 1..8 from the top, the units digit the column counted 1..8 from the left.
inline constexpr int SquareCodeRadix = 10;
constexpr int SquareCode(int row, int col) {
  return (row + 1) * SquareCodeRadix + (col + 1);
}
constexpr int SquareRow(int code) {
  return code / SquareCodeRadix - 1;
}
constexpr int SquareColumn(int code) {
  return code % SquareCodeRadix - 1;
}

// A SquareCode of 0 names no square: a turn that placed no disc, or a square not chosen.
inline constexpr int NoSquareCode = 0;

// ---- Move notation ------------------------------------------------------------------------------
// How game records and other programs write a move: the column as a letter a..h, then the row as a
// digit 1..8 ("f5"); "PA" for a turn given up. Letters are read in either case.

inline constexpr int MoveTextLength = 2;
inline constexpr char PassMoveText[] = "PA";
// What ReadMoveText gives for two characters that name no move.
inline constexpr int NotAMove = -1;

// Writes `square` (a SquareCode, or NoSquareCode for a turn given up) as MoveTextLength characters
// at `out`, without a terminator.
void WriteMoveText(int square, char* out);

// The SquareCode that `first` and `second` name, NoSquareCode for "PA", NotAMove for anything else.
int ReadMoveText(char first, char second);

// ---- Position text ------------------------------------------------------------------------------
// How engines and problem collections write a whole position (the OBF line): the SquareCount cells
// row by row from a1 to h8, 'X' black, 'O' white, '-' empty ('x', 'o' and '.' are read too), then
// blanks and the side to move, 'X' or 'O'. What follows the side (a ';' and solutions in problem
// files) is the caller's to read.

struct Position {
  Cell cells[BoardSize][BoardSize];
  int side;  // to move: 0 black, 1 white
};

enum class PositionFault {
  None,        // read; `end` is just past the side to move
  BadCell,     // the character at `at` is not a cell (or the text ends before the last cell)
  NoSide,      // no blank then 'X' or 'O' after the cells, at `at`
  JoinedText,  // the side is followed at `at` by neither the end, a blank nor ';'
};

struct PositionRead {
  PositionFault fault;
  int at;   // the index of the faulty character
  int end;  // None: the index just past the side to move
};

// The characters WritePositionText writes: the cells, a blank and the side, without a terminator.
inline constexpr int PositionTextLength = SquareCount + 2;

// Reads a position from the start of `text` (`length` characters, no terminator needed).
PositionRead ReadPositionText(const char* text, int length, Position& position);

// Writes `position` as PositionTextLength characters at `out`, without a terminator.
void WritePositionText(const Position& position, char* out);

// The one position, row-major, row 0 at the top. Zero (all Empty) at program start.
extern Cell Board[BoardSize][BoardSize];
// The snapshot that a trial move takes and gives back.
extern Cell SavedBoard[BoardSize][BoardSize];
// Turns taken in the current game plus one for every pass; the COM's late-game rule reads it.
extern int MoveCount;
// 1 after a side had to pass, until a COM turn has played its scan placement.
extern int PassFlag;

// ---- Board state --------------------------------------------------------------------------------

// Sets up the start position on an otherwise empty Board. Leaves the snapshot and counters alone.
void InitBoard();

// Counts one more turn or pass in MoveCount. Two people who skip every turn can play for ever, so
// the count stops at the largest int instead of overflowing; every rule that reads it only asks
// whether it has reached a small bound.
void AdvanceMoveCount();

// The two modes of the snapshot copy; any other mode copies nothing.
enum SnapshotMode { SaveMode = 0, RestoreMode = 1 };

// Copies the Board into the snapshot (SaveMode) or the snapshot back into the Board (RestoreMode).
void CopyBoard(int mode);
inline void SaveBoard() {
  CopyBoard(SaveMode);
}
inline void RestoreBoard() {
  CopyBoard(RestoreMode);
}

// The number of cells of the Board that hold `cell`.
int CountCells(Cell cell);

// Puts every piece of this module's state back to how the program finds it at start-up.
void ResetBoardState();

// Everything of a game that this module keeps between turns, as one plain record: the position and
// the two counters. The snapshot is not part of it; a trial move leaves it as it found it.
struct BoardState {
  Cell cells[BoardSize][BoardSize];
  int moveCount;
  int passFlag;
};

// The Board, MoveCount and PassFlag as they are now.
BoardState ReadBoardState();
// Puts the Board, MoveCount and PassFlag back to what `state` holds.
void WriteBoardState(const BoardState& state);

// ---- Move rules ---------------------------------------------------------------------------------
// Squares are given as row and col 0..7 and must lie on the board; no routine checks that.

// The eight steps, clockwise from up. Routines that loop over directions take them in this order;
// for TryMove the order decides which trial position is measured.
struct DirectionSteps {
  int rowStep[DirectionCount];
  int colStep[DirectionCount];
};
inline constexpr DirectionSteps DirectionTable = {
    {-1, -1, 0, 1, 1, 1, 0, -1},
    {0, 1, 1, 1, 0, -1, -1, -1},
};

enum TurnStatus { CanMove = 0, MustPass = 1, GameOver = 2 };

// Mobility values pack two legal-move counts: own count * MobilityRadix + other side's count.
inline constexpr int MobilityRadix = 100;

// 1 when a disc of `side` on (row, col) would close a run of the other side's discs in this
// direction. The square itself is not looked at.
int CanCaptureInDirection(int row, int col, int side, int direction);

// Turns the run that CanCaptureInDirection just found for the same four arguments. Leaves the
// square itself alone.
void FlipInDirection(int row, int col, int side, int direction);

// 1 when `side` could play on (row, col). The caller has already checked that the cell is Empty.
int IsLegalMove(int row, int col, int side);

// Legal squares of `side` and of the other side, packed as own * MobilityRadix + other.
int CountMobility(int side);

// Plays a move with all its flips. 1 when played; 0, with the Board untouched, for an occupied
// square or one that encloses nothing. Leaves MoveCount and PassFlag alone.
int PlaceDisc(int row, int col, int side);

// Whether `side`, about to move, can move, must pass, or whether neither side can move.
int GetTurnStatus(int side);

// A set of squares in 64 bits: bit row * BoardSize + col stands for (row, col). CountMobility,
// GetTurnStatus and TryMove work on such sets of the Board for speed; their results are those of
// the rules taken square by square.
using SquareSet = std::uint64_t;
constexpr SquareSet SquareBit(int row, int col) {
  return SquareSet{1} << (row * BoardSize + col);
}

// The number of squares in `set`. Written out rather than std::popcount: without a population
// count instruction in the target, that becomes a call into a shared helper library, which the
// program would otherwise not need at all.
constexpr int CountSquares(SquareSet set) {
  constexpr SquareSet EveryOtherBit = 0x5555555555555555;
  constexpr SquareSet LowPairs = 0x3333333333333333;
  constexpr SquareSet LowNibbles = 0x0F0F0F0F0F0F0F0F;
  constexpr SquareSet EveryByte = 0x0101010101010101;
  constexpr int TopByteShift = 56;
  set -= (set >> 1) & EveryOtherBit;                 // each pair of bits: its count, 0..2
  set = (set & LowPairs) + ((set >> 2) & LowPairs);  // each nibble: 0..4
  set = (set + (set >> 4)) & LowNibbles;             // each byte: 0..8
  // Multiplying by EveryByte adds all eight byte counts up into the top byte.
  return static_cast<int>((set * EveryByte) >> TopByteShift);
}
static_assert(CountSquares(0) == 0 && CountSquares(~SquareSet{0}) == SquareCount &&
              CountSquares(0x8000000000000001) == 2 && CountSquares(0xF0F0) == 8);

// The Empty squares on which IsLegalMove gives 1 for `side`, all found at once.
SquareSet LegalSquares(int side);

// The Board as three disjoint sets, seen from one side. A caller that asks many questions of one
// position reads it once with ReadCellSets and hands the sets to the routines below.
struct CellSets {
  SquareSet own;
  SquareSet opponent;
  SquareSet empty;
};

// Reads the Board for `side`. A damaged cell (not one of the three values) is in no set, so it
// breaks runs and is never a legal square, as in the square-by-square rules.
CellSets ReadCellSets(int side);

// LegalSquares of the side that the sets were read for.
SquareSet LegalSquares(const CellSets& cells);

// The other side's discs that a disc of the side the sets were read for, set on (row, col), would
// turn: every enclosed run, in all eight directions. Empty when the square encloses nothing. The
// square itself is not looked at (the caller passes an empty one), and the sets are left as they
// are, so a search can play a move on a copy: the square and these discs become the mover's.
SquareSet TurnedSquares(const CellSets& cells, int row, int col);

// The squares one step away, in any of the eight directions, from a square of `set`.
SquareSet NeighbourSquares(SquareSet set);

// ---- Trial move ---------------------------------------------------------------------------------

// Measures a square for the COM: for every enclosing direction, that run alone is turned (the
// square stays Empty), the mover's discs are added to `discs` and the mobility is taken. Returns
// the mobility of the last enclosing direction, or 0 when nothing encloses (then `discs` is not
// written). These are deliberately not the values after the full move; the COM's ranking is built
// on them. The Board is left exactly as found.
int TryMove(int row, int col, int side, int& discs);

// TryMove for the side that `cells` were read for, on the position they hold: the same result and
// the same `discs`, but the Board is not read again and the snapshot is not taken. For trying many
// squares of one position; the Board must not change in between.
int TryMoveOn(const CellSets& cells, int row, int col, int& discs);

}  // namespace reversi
