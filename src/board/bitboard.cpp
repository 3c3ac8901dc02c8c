// The bit-parallel view of the Board, and the rules routines that are served from it: legal
// squares, mobility and the turn status.
#include "bitboard.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace reversi {

namespace {

// Reading a row of eight cells: the row is loaded as one 64-bit word with column k in byte k, and
// all eight bytes are compared with a cell value at once.
constexpr int BitsPerByte = 8;
constexpr std::uint64_t EveryByte = 0x0101010101010101;  // a 1 at the bottom of every byte
constexpr std::uint64_t LowSevenBits = 0x7F * EveryByte;
constexpr std::uint64_t TopBits = 0x80 * EveryByte;
// Multiplying a word whose only bits are the bottom bits of its bytes by this constant brings the
// bit of byte k to bit 56 + k, so the top byte of the product holds one bit per byte, in order.
constexpr std::uint64_t GatherBytes = 0x0102040810204080;
constexpr int GatherShift = 56;

constexpr std::uint64_t GatherBottomBits(std::uint64_t bottomBits) {
  return (bottomBits * GatherBytes) >> GatherShift;
}

// The gathering is checked here for every pattern a row can have, so it cannot silently be wrong.
constexpr unsigned RowPatterns = 1U << BoardSize;
consteval bool GatheringIsExact() {
  for (unsigned pattern = 0; pattern < RowPatterns; ++pattern) {
    std::uint64_t spread = 0;
    for (int k = 0; k < BoardSize; ++k) {
      spread |= std::uint64_t{(pattern >> k) & 1U} << (k * BitsPerByte);
    }
    if (GatherBottomBits(spread) != pattern) return false;
  }
  return true;
}
static_assert(GatheringIsExact());

// Column k lands in byte k of a row word only on a machine that stores the lowest byte first, as
// every machine the game is built for does.
static_assert(std::endian::native == std::endian::little, "rows are read as little-endian words");

// The eight cells of `row` as one word, column k in byte k.
std::uint64_t RowWord(int row) {
  std::uint64_t word;
  static_assert(sizeof word == sizeof Board[row]);
  std::memcpy(&word, Board[row], sizeof word);
  return word;
}

// The bytes of `word` that equal `wanted`, as bits 0..7 (byte k gives bit k).
SquareSet MatchingBytes(std::uint64_t word, Cell wanted) {
  // A byte of `differs` is zero exactly where the byte equals `wanted`.
  const std::uint64_t differs = word ^ (wanted * EveryByte);
  // The top bit of a byte ends up set when the byte is not zero: adding 0x7F to its low seven bits
  // carries into the top bit unless they are all zero, and the OR adds a top bit already set.
  const std::uint64_t nonZero = (((differs & LowSevenBits) + LowSevenBits) | differs) & TopBits;
  return GatherBottomBits((~nonZero & TopBits) >> (BitsPerByte - 1));
}

// Opponent discs in a line: at most this many fit between a legal square and the own disc.
constexpr int LongestRun = BoardSize - 2;

// How far one step in `direction` moves a square's bit.
template <int direction>
constexpr int StepShift =
    DirectionTable.rowStep[direction] * BoardSize + DirectionTable.colStep[direction];

// Moves every square of `set` one step in `direction` with no edge test: only for sets whose
// squares cannot leave the board sideways in that direction (see EnclosableIn).
template <int direction>
constexpr SquareSet ShiftSquares(SquareSet set, int steps = 1) {
  constexpr int shift = StepShift<direction>;
  return shift >= 0 ? set << (shift * steps) : set >> (-shift * steps);
}

// The discs of `opponent` that can lie inside a run in `direction`: a run that moves sideways has
// a disc on both sides of each of its discs, so it never holds one on the first or last column.
// Shifting such a set sideways therefore never wraps a square into the next row.
template <int direction>
constexpr SquareSet EnclosableIn(SquareSet opponent) {
  constexpr SquareSet OuterColumns = FirstColumn | LastColumn;
  return DirectionTable.colStep[direction] == 0 ? opponent : opponent & ~OuterColumns;
}

// For every line of opponent discs that starts next to an own disc and runs in `direction`: the
// square one step beyond its far end, where an empty square is legal, since a disc there would
// enclose the line looking back. The set may also hold squares of the lines themselves, which are
// never empty.
template <int direction>
SquareSet BeyondLines(SquareSet own, SquareSet opponent) {
  const SquareSet inner = EnclosableIn<direction>(opponent);
  if constexpr (StepShift<direction> == 1) {
    // A step is one bit up: adding a line's first disc to the inner discs carries through the
    // whole line and leaves a bit just beyond it (the carry trick of bit-board move generation).
    // The other inner discs stay in the sum, and the mask takes them out again.
    return ((ShiftSquares<direction>(own) & inner) + inner) & ~inner;
  } else {
    // The line is grown by doubling, the "parallel prefix" (Kogge-Stone) form of the usual
    // bit-board move generation: one step, two, then twice two steps at a time, which covers
    // every run length up to LongestRun in four shifts instead of six.
    SquareSet run = ShiftSquares<direction>(own) & inner;  // lines of 1
    run |= ShiftSquares<direction>(run) & inner;           // lines of up to 2
    // Inner discs whose neighbour one step back is an inner disc too: a line can grow by two
    // there.
    const SquareSet pairs = inner & ShiftSquares<direction>(inner);
    run |= ShiftSquares<direction>(run, 2) & pairs;  // lines of up to 4
    run |= ShiftSquares<direction>(run, 2) & pairs;  // lines of up to 6
    static_assert(LongestRun == 6, "the doubling above reaches exactly the longest line");
    return ShiftSquares<direction>(run);
  }
}

// The squares beyond the lines of all directions, of which the empty ones are the legal squares.
// The direction is a template argument so that every step is compiled with its shift and edge
// mask as constants.
template <int... directions>
SquareSet LegalSquaresIn(SquareSet own, SquareSet opponent, SquareSet empty,
                         std::integer_sequence<int, directions...>) {
  return (BeyondLines<directions>(own, opponent) | ...) & empty;
}

// Both sides' legal squares in one body, so that the sixteen line searches are compiled as one
// stretch of code instead of two calls.
template <int... directions>
int MobilityIn(SquareSet own, SquareSet opponent, SquareSet empty,
               std::integer_sequence<int, directions...>) {
  const SquareSet ownLegal = (BeyondLines<directions>(own, opponent) | ...) & empty;
  const SquareSet otherLegal = (BeyondLines<directions>(opponent, own) | ...) & empty;
  return CountSquares(ownLegal) * MobilityRadix + CountSquares(otherLegal);
}

// A disc on a square encloses towards `direction` where a line runs into that square from the
// opposite direction.
constexpr int Opposite(int direction) {
  return (direction + DirectionCount / 2) % DirectionCount;
}
static_assert(DirectionTable.rowStep[Opposite(0)] == -DirectionTable.rowStep[0] &&
              DirectionTable.colStep[Opposite(1)] == -DirectionTable.colStep[1]);

// FindLegalByDirection on the three sets: the squares that enclose towards a direction are those
// beyond the lines that run in the opposite one.
template <int... directions>
LegalByDirection LegalByDirectionIn(SquareSet own, SquareSet opponent, SquareSet empty,
                                    std::integer_sequence<int, directions...>) {
  LegalByDirection legal = {{(BeyondLines<Opposite(directions)>(own, opponent) & empty)...}, 0};
  legal.any = (legal.enclosingTowards[directions] | ...);
  return legal;
}

// The run of `opponent` discs that a disc on `from` (one square) encloses towards `direction`, or
// nothing: step while the squares are the opponent's, and keep the run only when an own disc
// closes it. StepSquares drops a square that would leave the board, which ends the run there.
template <int direction>
SquareSet EnclosedRun(SquareSet own, SquareSet opponent, SquareSet from) {
  SquareSet run = 0;
  SquareSet at = StepSquares(from, direction);
  while ((at & opponent) != 0) {
    run |= at;
    at = StepSquares(at, direction);
  }
  return (at & own) != 0 ? run : 0;
}

template <int... directions>
SquareSet TurnedIn(SquareSet own, SquareSet opponent, SquareSet from,
                   std::integer_sequence<int, directions...>) {
  return (EnclosedRun<directions>(own, opponent, from) | ...);
}

template <int... directions>
SquareSet NeighboursIn(SquareSet set, std::integer_sequence<int, directions...>) {
  return (StepSquares(set, directions) | ...);
}

}  // namespace

CellSets ReadCellSets(int side) {
  CellSets cells = {0, 0, 0};
  for (int row = 0; row < BoardSize; ++row) {
    const std::uint64_t word = RowWord(row);
    const int shift = row * BoardSize;
    cells.own |= MatchingBytes(word, OwnCell(side)) << shift;
    cells.opponent |= MatchingBytes(word, OpponentCell(side)) << shift;
    cells.empty |= MatchingBytes(word, Empty) << shift;
  }
  return cells;
}

SquareSet LegalSquaresOf(SquareSet own, SquareSet opponent, SquareSet empty) {
  return LegalSquaresIn(own, opponent, empty, std::make_integer_sequence<int, DirectionCount>{});
}

int MobilityOf(SquareSet own, SquareSet opponent, SquareSet empty) {
  return MobilityIn(own, opponent, empty, std::make_integer_sequence<int, DirectionCount>{});
}

SquareSet LegalSquares(int side) {
  return LegalSquares(ReadCellSets(side));
}

SquareSet LegalSquares(const CellSets& cells) {
  return LegalSquaresOf(cells.own, cells.opponent, cells.empty);
}

LegalByDirection FindLegalByDirection(const CellSets& cells) {
  return LegalByDirectionIn(cells.own, cells.opponent, cells.empty,
                            std::make_integer_sequence<int, DirectionCount>{});
}

SquareSet TurnedSquares(const CellSets& cells, int row, int col) {
  return TurnedIn(cells.own, cells.opponent, SquareBit(row, col),
                  std::make_integer_sequence<int, DirectionCount>{});
}

SquareSet NeighbourSquares(SquareSet set) {
  return NeighboursIn(set, std::make_integer_sequence<int, DirectionCount>{});
}

int CountMobility(int side) {
  const CellSets cells = ReadCellSets(side);
  return MobilityOf(cells.own, cells.opponent, cells.empty);
}

int GetTurnStatus(int side) {
  const CellSets cells = ReadCellSets(side);
  if (LegalSquaresOf(cells.own, cells.opponent, cells.empty) != 0) return CanMove;
  if (LegalSquaresOf(cells.opponent, cells.own, cells.empty) != 0) return MustPass;
  return GameOver;
}

}  // namespace reversi
