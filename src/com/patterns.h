// The learned evaluation's features: every configuration of an edge, a corner region, an inner row
// or a diagonal, and both sides' mobility, each an index into a table of learned values per stage
// of the game. Private to src/com (the fitting tool and the tests reach it here).
#pragma once

#include <cstdint>

#include "board/board.h"

namespace reversi {

// ---- Stages -------------------------------------------------------------------------------------
// Each stage of the game has its own weights: StageEmpties empty squares per stage.

inline constexpr int StageEmpties = 6;
inline constexpr int StageCount = (SquareCount - 4 + StageEmpties - 1) / StageEmpties;

// The stage of a position with `empties` empty squares (1..60; other counts are clamped).
constexpr int StageOf(int empties) {
  const int stage = (empties - 1) / StageEmpties;
  return stage < 0 ? 0 : stage >= StageCount ? StageCount - 1 : stage;
}

// ---- Features -----------------------------------------------------------------------------------
// A pattern is a fixed list of squares; its index is the number whose base-3 digits are those
// squares' cells (0 empty, 1 the mover's, 2 the other side's), the first square the lowest digit.
// Each pattern is read on the board turned by each of the four rotations (the 2x5 block also on the
// board reflected across its diagonal), so that every copy of it is read once.

enum Feature : int {
  EdgeFeature,       // a row on the edge and the two X-squares next to it: 10 squares
  Corner3x3Feature,  // the 3x3 block in a corner: 9 squares
  Corner2x5Feature,  // a 2x5 block in a corner along an edge, both orientations: 10 squares
  Row2Feature,       // the second row from an edge: 8 squares
  Row3Feature,       // the third row
  Row4Feature,       // the fourth row
  Diagonal8Feature,  // a main diagonal
  Diagonal7Feature,  // the diagonals next to a main diagonal, 7 squares
  Diagonal6Feature,
  Diagonal5Feature,
  Diagonal4Feature,
  OwnMovesFeature,       // the number of the mover's legal moves, up to MovesCounted
  OpponentMovesFeature,  // the same for the other side
  ParityFeature,         // whether the number of empty squares is odd
  FeatureKindCount
};

inline constexpr int MovesCounted = 32;

struct FeatureShape {
  int squares;    // base-3 digits of a pattern; 0 for the counts
  int size;       // entries in its table
  int instances;  // copies on one board
  int offset;     // where its table starts in a stage's weights
};

constexpr int PowerOfThree(int digits) {
  int power = 1;
  for (int k = 0; k < digits; ++k)
    power *= 3;
  return power;
}

inline constexpr int Rotations = 4;

constexpr FeatureShape Shape(int squares, int instances, int offset) {
  return {squares, PowerOfThree(squares), instances, offset};
}
constexpr FeatureShape CountShape(int size, int offset) {
  return {0, size, 1, offset};
}

// The shapes in Feature order, each table after the one before.
inline constexpr FeatureShape FeatureShapes[FeatureKindCount] = {
    Shape(10, Rotations, 0),
    Shape(9, Rotations, 59049),
    Shape(10, 2 * Rotations, 78732),
    Shape(8, Rotations, 137781),
    Shape(8, Rotations, 144342),
    Shape(8, Rotations, 150903),
    Shape(8, 2, 157464),
    Shape(7, Rotations, 164025),
    Shape(6, Rotations, 166212),
    Shape(5, Rotations, 166941),
    Shape(4, Rotations, 167184),
    CountShape(MovesCounted + 1, 167265),
    CountShape(MovesCounted + 1, 167298),
    CountShape(2, 167331),
};
inline constexpr int StageWeightCount = 167333;

// Every table starts where the one before it ends.
constexpr bool ShapesAreContiguous() {
  int offset = 0;
  for (const FeatureShape& shape : FeatureShapes) {
    if (shape.offset != offset) return false;
    offset += shape.size;
  }
  return offset == StageWeightCount;
}
static_assert(ShapesAreContiguous());

// The number of features read from one position: every copy of every pattern and the counts.
constexpr int CountInstances() {
  int count = 0;
  for (const FeatureShape& shape : FeatureShapes)
    count += shape.instances;
  return count;
}
inline constexpr int InstanceCount = CountInstances();

// ---- Board symmetries ---------------------------------------------------------------------------

// The board turned upside down: row r becomes row 7 - r.
constexpr SquareSet FlipVertical(SquareSet set) {
  constexpr SquareSet Bytes = 0x00FF00FF00FF00FF;
  constexpr SquareSet Pairs = 0x0000FFFF0000FFFF;
  set = ((set >> BoardSize) & Bytes) | ((set & Bytes) << BoardSize);
  set = ((set >> 2 * BoardSize) & Pairs) | ((set & Pairs) << 2 * BoardSize);
  return (set >> 4 * BoardSize) | (set << 4 * BoardSize);
}

// The board reflected across its a1-h8 diagonal: (row, col) becomes (col, row). Three exchanges of
// bit groups (delta swaps) that move blocks of 4, 2 and 1 squares.
constexpr SquareSet Transpose(SquareSet set) {
  constexpr SquareSet Quads = 0x0F0F0F0F00000000;
  constexpr SquareSet Pairs = 0x3333000033330000;
  constexpr SquareSet Singles = 0x5500550055005500;
  constexpr int QuadShift = 28;
  constexpr int PairShift = 14;
  constexpr int SingleShift = 7;
  SquareSet swap = Quads & (set ^ (set << QuadShift));
  set ^= swap ^ (swap >> QuadShift);
  swap = Pairs & (set ^ (set << PairShift));
  set ^= swap ^ (swap >> PairShift);
  swap = Singles & (set ^ (set << SingleShift));
  return set ^ swap ^ (swap >> SingleShift);
}

static_assert(Transpose(SquareBit(0, 1)) == SquareBit(1, 0) &&
              Transpose(SquareBit(2, LastIndex)) == SquareBit(LastIndex, 2) &&
              FlipVertical(SquareBit(0, 3)) == SquareBit(LastIndex, 3));

// The board turned a quarter.
constexpr SquareSet Rotate(SquareSet set) {
  return FlipVertical(Transpose(set));
}

// ---- Reading the patterns -----------------------------------------------------------------------

// The base-3 number whose digits are the bits of `bits`: a pattern's index is Ternary(own) plus
// twice Ternary(other side).
struct TernaryTable {
  std::uint16_t digits[1 << 10];
};
constexpr TernaryTable MakeTernaryTable() {
  TernaryTable table{};
  for (int bits = 0; bits < (1 << 10); ++bits) {
    int value = 0;
    for (int k = 9; k >= 0; --k)
      value = value * 3 + ((bits >> k) & 1);
    table.digits[bits] = static_cast<std::uint16_t>(value);
  }
  return table;
}
inline constexpr TernaryTable Ternary = MakeTernaryTable();

// The squares of a pattern at the top left of the board, gathered into the low bits in digit
// order. Each takes the set of one side.
constexpr int EdgeBits(SquareSet set) {
  constexpr int FirstX = BoardSize + 1;       // b2
  constexpr int SecondX = 2 * BoardSize - 2;  // g2
  return static_cast<int>((set & 0xFF) | ((set >> FirstX) & 1) << BoardSize |
                          ((set >> SecondX) & 1) << (BoardSize + 1));
}
constexpr int Corner3x3Bits(SquareSet set) {
  return static_cast<int>((set & 0x7) | ((set >> 5) & 0x38) | ((set >> 10) & 0x1C0));
}
constexpr int Corner2x5Bits(SquareSet set) {
  return static_cast<int>((set & 0x1F) | ((set >> 3) & 0x3E0));
}
constexpr int RowBits(SquareSet set, int row) {
  return static_cast<int>((set >> (row * BoardSize)) & 0xFF);
}
// The diagonal (i, i + shift), i = 0.. from the top row: masked, then gathered into the top byte by
// a multiplication that adds the eight rows up (its squares lie in different columns, so no bits
// collide), and shifted down so that the top row's square is digit 0.
constexpr int DiagonalBits(SquareSet set, int shift) {
  constexpr SquareSet MainDiagonal = 0x8040201008040201;
  constexpr SquareSet EveryRow = 0x0101010101010101;
  constexpr int TopByte = 56;
  const SquareSet mask = (MainDiagonal << shift) & ~(EveryRow * ((1u << shift) - 1));
  return static_cast<int>((((set & mask) * EveryRow) >> TopByte) >> shift);
}

// The index of one pattern read by `bits` from both sides' sets.
template <typename Bits>
constexpr int PatternIndex(SquareSet own, SquareSet opponent, Bits bits) {
  return Ternary.digits[bits(own)] + 2 * Ternary.digits[bits(opponent)];
}

// Calls `visit(entry)` for every feature of the position of `cells` (the mover's view), where
// `entry` is its place in a stage's weights: InstanceCount calls. `ownMoves` and `opponentMoves`
// are the two sides' legal move counts.
template <typename Visit>
void VisitFeatures(const CellSets& cells, int ownMoves, int opponentMoves, Visit visit) {
  SquareSet own = cells.own;
  SquareSet opponent = cells.opponent;
  constexpr int Row2 = 1;
  constexpr int Row3 = 2;
  constexpr int Row4 = 3;
  constexpr int Diagonal7 = 1;
  constexpr int Diagonal6 = 2;
  constexpr int Diagonal5 = 3;
  constexpr int Diagonal4 = 4;
  for (int turn = 0; turn < Rotations; ++turn) {
    const auto at = [&](Feature feature, auto bits) {
      visit(FeatureShapes[feature].offset + PatternIndex(own, opponent, bits));
    };
    at(EdgeFeature, EdgeBits);
    at(Corner3x3Feature, Corner3x3Bits);
    at(Corner2x5Feature, Corner2x5Bits);
    visit(FeatureShapes[Corner2x5Feature].offset +
          PatternIndex(Transpose(own), Transpose(opponent), Corner2x5Bits));
    at(Row2Feature, [](SquareSet set) { return RowBits(set, Row2); });
    at(Row3Feature, [](SquareSet set) { return RowBits(set, Row3); });
    at(Row4Feature, [](SquareSet set) { return RowBits(set, Row4); });
    // The two main diagonals are read on the first two turns; the next two would read them again.
    if (turn < 2) at(Diagonal8Feature, [](SquareSet set) { return DiagonalBits(set, 0); });
    at(Diagonal7Feature, [](SquareSet set) { return DiagonalBits(set, Diagonal7); });
    at(Diagonal6Feature, [](SquareSet set) { return DiagonalBits(set, Diagonal6); });
    at(Diagonal5Feature, [](SquareSet set) { return DiagonalBits(set, Diagonal5); });
    at(Diagonal4Feature, [](SquareSet set) { return DiagonalBits(set, Diagonal4); });
    own = Rotate(own);
    opponent = Rotate(opponent);
  }
  visit(FeatureShapes[OwnMovesFeature].offset +
        (ownMoves < MovesCounted ? ownMoves : MovesCounted));
  visit(FeatureShapes[OpponentMovesFeature].offset +
        (opponentMoves < MovesCounted ? opponentMoves : MovesCounted));
  visit(FeatureShapes[ParityFeature].offset + CountSquares(cells.empty) % 2);
}

// ---- Weights ------------------------------------------------------------------------------------

// The weights in EvaluationUnitsPerDisc units, per stage; filled from PackedPatternWeights at the
// first evaluation. Static storage: nothing is allocated.
extern std::int16_t PatternWeights[StageCount][StageWeightCount];

// The weights as the fitting tool wrote them (pattern_weights.cpp): every stage's table in order,
// where a ZeroRun entry followed by a count n stands for n zero weights and any other entry is
// one weight.
inline constexpr std::int16_t ZeroRun = -32768;
extern const std::int16_t PackedPatternWeights[];
extern const int PackedPatternWeightCount;

// Fills PatternWeights from PackedPatternWeights; false (the tables left all zero) when the packed
// weights do not fill the tables exactly.
bool UnpackPatternWeights();

// Selects the hand-weighted evaluation of earlier versions instead of the learned one; only tools
// that compare the two call it (the game never does).
void UseHandWeightedEvaluation(bool use);

// The hand-weighted evaluation: mobility, corners and the squares next to them, stable edge discs,
// parity and discs, weighed by how far the game has come (hand_evaluation.cpp).
int EvaluateByHand(const CellSets& cells);

}  // namespace reversi
