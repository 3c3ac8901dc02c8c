// The hand-weighted evaluation that levels 2-5 used before the learned one: a weighted sum of
// features that Reversi players know to matter, each counted for the mover minus the other side,
// with weights that shift from the opening to the end of the game (a tapered evaluation). Kept as
// the yardstick that the fitting tool measures the learned evaluation against, and as the player
// of the first self-play games whose positions the learned weights are fitted to.
#include "patterns.h"
#include "search.h"

namespace reversi {

namespace {

constexpr SquareSet Corners = 0x8100000000000081;
constexpr SquareSet TopRow = 0x00000000000000FF;
constexpr SquareSet BottomRow = TopRow << (LastIndex * BoardSize);
constexpr SquareSet LeftColumn = 0x0101010101010101;
constexpr SquareSet RightColumn = LeftColumn << LastIndex;
constexpr SquareSet TopAndBottom = TopRow | BottomRow;
constexpr SquareSet LeftAndRight = LeftColumn | RightColumn;

// One feature set per corner: the corner, the diagonal square next to it (an "X-square") and the
// two edge squares next to it ("C-squares"). Next to an empty corner, both give the opponent a way
// into the corner.
struct CornerArea {
  SquareSet corner;
  SquareSet xSquare;
  SquareSet cSquares;
};
constexpr CornerArea CornerAreas[] = {
    {SquareBit(0, 0), SquareBit(1, 1), SquareBit(0, 1) | SquareBit(1, 0)},
    {SquareBit(0, LastIndex), SquareBit(1, LastIndex - 1),
     SquareBit(0, LastIndex - 1) | SquareBit(1, LastIndex)},
    {SquareBit(LastIndex, 0), SquareBit(LastIndex - 1, 1),
     SquareBit(LastIndex, 1) | SquareBit(LastIndex - 1, 0)},
    {SquareBit(LastIndex, LastIndex), SquareBit(LastIndex - 1, LastIndex - 1),
     SquareBit(LastIndex, LastIndex - 1) | SquareBit(LastIndex - 1, LastIndex)},
};

// The weights at the start of the game (60 empty squares) and at its end (none); between them
// each weight is interpolated by the number of empty squares. Chosen by hand and tried in games
// against an engine of another author (tools/strength.sh): mobility matters most early, corners
// and stable discs throughout, parity and the disc count only late.
struct Weights {
  int mobility;   // per legal move more than the other side
  int potential;  // per empty square next to the other side's discs, more than it has next to ours
  int corner;     // per corner
  int xSquare;    // per X-square next to an empty corner (a penalty)
  int cSquare;    // per C-square next to an empty corner (a penalty)
  int stable;     // per edge disc that can no longer be turned
  int parity;     // for the side that, with no passes, plays the last move
  int disc;       // per disc
};
constexpr Weights OpeningWeights = {90, 30, 800, -350, -100, 100, 0, -10};
constexpr Weights EndingWeights = {50, 10, 600, -150, -60, 150, 120, 30};
constexpr int EmptyAtStart = SquareCount - 4;

constexpr int Taper(int opening, int ending, int empties) {
  return (opening * empties + ending * (EmptyAtStart - empties)) / EmptyAtStart;
}

// Edge discs of `mine` that no move can turn any more: a corner, and every disc joined to one of
// its own corners along an edge by its own discs; and every disc on an edge that is full. (Discs
// off the edges are left out: finding their stability costs more than it tells the search.)
SquareSet StableEdgeDiscs(SquareSet mine, SquareSet empty) {
  SquareSet stable = mine & Corners;
  constexpr int LongestSpread = BoardSize - 2;
  for (int step = 0; step < LongestSpread; ++step) {
    const SquareSet sideways = ((stable << 1) & ~LeftColumn) | ((stable >> 1) & ~RightColumn);
    const SquareSet upDown = (stable << BoardSize) | (stable >> BoardSize);
    stable |= mine & ((sideways & TopAndBottom) | (upDown & LeftAndRight));
  }
  constexpr SquareSet Edges[] = {TopRow, BottomRow, LeftColumn, RightColumn};
  for (const SquareSet edge : Edges) {
    if ((empty & edge) == 0) stable |= mine & edge;
  }
  return stable;
}

}  // namespace

int EvaluateByHand(const CellSets& cells) {
  const CellSets other = {cells.opponent, cells.own, cells.empty};
  const int empties = CountSquares(cells.empty);

  const int mobility = CountSquares(LegalSquares(cells)) - CountSquares(LegalSquares(other));
  const int potential = CountSquares(NeighbourSquares(cells.opponent) & cells.empty) -
                        CountSquares(NeighbourSquares(cells.own) & cells.empty);
  const int corners = CountSquares(cells.own & Corners) - CountSquares(cells.opponent & Corners);
  int xSquares = 0;
  int cSquares = 0;
  for (const CornerArea& area : CornerAreas) {
    if ((cells.empty & area.corner) == 0) continue;
    xSquares +=
        CountSquares(cells.own & area.xSquare) - CountSquares(cells.opponent & area.xSquare);
    cSquares +=
        CountSquares(cells.own & area.cSquares) - CountSquares(cells.opponent & area.cSquares);
  }
  const int stable = CountSquares(StableEdgeDiscs(cells.own, cells.empty)) -
                     CountSquares(StableEdgeDiscs(cells.opponent, cells.empty));
  const int parity = empties % 2;  // 1: the mover, with no passes, plays the last move
  const int discs = CountSquares(cells.own) - CountSquares(cells.opponent);

  const Weights& a = OpeningWeights;
  const Weights& b = EndingWeights;
  return Taper(a.mobility, b.mobility, empties) * mobility +
         Taper(a.potential, b.potential, empties) * potential +
         Taper(a.corner, b.corner, empties) * corners +
         Taper(a.xSquare, b.xSquare, empties) * xSquares +
         Taper(a.cSquare, b.cSquare, empties) * cSquares +
         Taper(a.stable, b.stable, empties) * stable + Taper(a.parity, b.parity, empties) * parity +
         Taper(a.disc, b.disc, empties) * discs;
}

}  // namespace reversi
