// The searching COM: negamax with alpha-beta pruning (principal variation search) and iterative
// deepening in the middle game, an exact end-game search once few squares are empty, move
// ordering by a transposition table and by the opponent's mobility ("fastest first"), and the
// choice among equally good moves by the turn's one coin.
#include <bit>
#include <chrono>
#include <cstdint>
#include <initializer_list>

#include "board/board.h"
#include "com/com.h"
#include "platform/console.h"
#include "search.h"

namespace reversi {

namespace {

// Plies of the middle-game search and the empty squares at which the exact search takes over, for
// levels 2..5. Each level looks further than the one below it. The plies are even: in games
// against another engine (tools/strength.sh) an odd depth, which ends on the mover's own move and
// so overrates its mobility, played worse than the even depth below it. Level 5 is as deep as
// keeps its median move under a tenth of a second and its worst under a second (bench/bench.cpp
// measures both; the figures are in docs/development.md).
constexpr LevelReach LevelReaches[LastLevel - FirstSearchingLevel + 1] = {
    {4, 14},   // level 2
    {6, 14},   // level 3
    {8, 14},   // level 4
    {10, 16},  // level 5
};

int comLevels[SideCount] = {RuleBasedLevel, RuleBasedLevel};

// Above every score a search can return: a won game counts WonDiscScore per disc.
constexpr int Infinity = WonDiscScore * (SquareCount + 1);
// The square index of no move: past the last square.
constexpr int NoMoveIndex = SquareCount;

// ---- Transposition table ----------------------------------------------------------------------
// Positions already searched in this turn, with what was learnt about them: a bound or the exact
// value at a number of plies, and the best move found. Searches of one position that meet again
// through other move orders (transpositions), and the deeper iterations of iterative deepening,
// start from it. One entry per slot, always replaced.

constexpr int TableBits = 16;
constexpr int TableSize = 1 << TableBits;
constexpr int HashBits = 64;

enum Bound : std::uint8_t { LowerBound, UpperBound, ExactValue };

struct TableEntry {
  SquareSet own;
  SquareSet opponent;
  std::int32_t score;
  std::uint32_t generation;  // the turn the entry belongs to; other turns' entries count as empty
  std::int8_t plies;         // how deep the score was searched (the exact search: the empties)
  std::uint8_t bound;
  std::uint8_t best;  // square index of the best move, NoMoveIndex for none
};

// In static storage: 2 MB, never allocated. Every turn takes a new generation, so a move depends
// on the position alone and not on what earlier turns left in the table.
TableEntry Table[TableSize];
std::uint32_t generation = 0;  // 0 is the generation of the zero-filled table: no turn uses it
std::uint64_t nodes = 0;
bool endsOnSignal = false;

// How often a search that ends on a signal looks for one: every 2^16 positions, a few
// milliseconds apart, so that Ctrl+C is answered at once and the look costs nothing measurable.
constexpr std::uint64_t SignalLookMask = (std::uint64_t{1} << 16) - 1;

// Counts a visited position. When searches end on a signal and one has come, ends the process
// by it (the output flushed) instead: nothing is left to finish in a long solve.
inline void CountNode() {
  if ((++nodes & SignalLookMask) == 0 && endsOnSignal && platform::EndingRequested()) {
    platform::EndAsRequested();
  }
}

// Starts a new generation: every entry of the table counts as empty from now on. After 2^32 - 1
// generations the numbers would come round again, so the table is then filled with zeros.
void ClearEndTable();

void NewGeneration() {
  if (++generation == 0) {
    for (TableEntry& entry : Table)
      entry = {};
    ClearEndTable();
    generation = 1;
  }
}

// A slot for the position: both sets are mixed by multiplication with odd constants (a
// multiplicative hash) and the top bits of the result taken.
TableEntry& SlotOf(const CellSets& cells) {
  constexpr std::uint64_t OwnFactor = 0x9E3779B97F4A7C15;
  constexpr std::uint64_t OpponentFactor = 0xC2B2AE3D27D4EB4F;
  constexpr int FoldShift = 31;
  std::uint64_t mixed = cells.own * OwnFactor ^ cells.opponent * OpponentFactor;
  mixed ^= mixed >> FoldShift;
  return Table[(mixed * OwnFactor) >> (HashBits - TableBits)];
}

// What the table says about the position at `plies`: true with `score` when its stored bound
// settles the window; `best` gets the stored best move (NoMoveIndex when none is stored).
bool ProbeTable(const TableEntry& entry, const CellSets& cells, int plies, int alpha, int beta,
                int& score, int& best) {
  best = NoMoveIndex;
  if (entry.generation != generation || entry.own != cells.own ||
      entry.opponent != cells.opponent) {
    return false;
  }
  best = entry.best;
  if (entry.plies < plies) return false;
  score = entry.score;
  switch (entry.bound) {
    case ExactValue:
      return true;
    case LowerBound:
      return score >= beta;
    default:
      return score <= alpha;
  }
}

// Keeps the result of a search with the window (alpha, beta) that found `score` and `best`.
void StoreInTable(TableEntry& entry, const CellSets& cells, int plies, int alpha, int beta,
                  int score, int best) {
  const Bound bound = score <= alpha ? UpperBound : score >= beta ? LowerBound : ExactValue;
  entry = {cells.own,
           cells.opponent,
           score,
           generation,
           static_cast<std::int8_t>(plies),
           bound,
           static_cast<std::uint8_t>(best)};
}

// ---- Moves on the sets ------------------------------------------------------------------------

// ---- Moves on the disc sets --------------------------------------------------------------------
// The searches' own move routines, which the compiler can inline: the turned discs from ray
// tables, the legal squares of all directions at once. They do what the board's TurnedSquares and
// LegalSquares do, a third faster in the search, where a long solve spends its time
// (docs/development.md, "The exact end game").

// The eight steps of a ray as (row, column) and whether its square indexes rise along it.
constexpr int RayCount = DirectionCount;
constexpr int RaySteps[RayCount][2] = {{0, 1},  {1, -1}, {1, 0},  {1, 1},
                                       {0, -1}, {-1, 1}, {-1, 0}, {-1, -1}};
constexpr int RisingRays = 4;  // the first four rays go to higher square indexes

struct RayTable {
  SquareSet rays[RayCount][SquareCount];  // the squares from a square to the edge, square excluded
};

constexpr RayTable MakeRays() {
  RayTable table{};
  for (int ray = 0; ray < RayCount; ++ray) {
    for (int square = 0; square < SquareCount; ++square) {
      int row = square / BoardSize + RaySteps[ray][0];
      int col = square % BoardSize + RaySteps[ray][1];
      for (; row >= 0 && row < BoardSize && col >= 0 && col < BoardSize;
           row += RaySteps[ray][0], col += RaySteps[ray][1]) {
        table.rays[ray][square] |= SquareBit(row, col);
      }
    }
  }
  return table;
}
constexpr RayTable Rays = MakeRays();

// The squares next to each square: a move turns nothing unless one of them holds an opponent disc,
// which the last few squares test before they look for turned discs at all.
struct NeighbourTable {
  SquareSet of[SquareCount];
};
constexpr NeighbourTable MakeNeighbours() {
  NeighbourTable table{};
  for (int square = 0; square < SquareCount; ++square) {
    for (int ray = 0; ray < RayCount; ++ray) {
      const SquareSet line = Rays.rays[ray][square];
      if (line == 0) continue;
      table.of[square] |= ray < RisingRays
                              ? line & (~line + 1)
                              : SquareSet{1} << (SquareCount - 1 - std::countl_zero(line));
    }
  }
  return table;
}
constexpr NeighbourTable Neighbours = MakeNeighbours();

// The opponent discs that the mover's disc on `square` turns: along each ray, the opponent discs
// before the first square that is not the opponent's, when that square (the outflank) is the
// mover's. The first such square is the lowest (rising rays) or highest (falling rays) set bit of
// the ray's blockers. Branch-free: a ray without an outflank yields an empty set by arithmetic,
// since a branch per ray is mispredicted often enough to cost more (docs/development.md, "The
// exact end game").
inline SquareSet Flips(SquareSet own, SquareSet opponent, int square) {
  SquareSet flipped = 0;
  for (int ray = 0; ray < RisingRays; ++ray) {
    const SquareSet line = Rays.rays[ray][square];
    const SquareSet blockers = line & ~opponent;
    const SquareSet outflank = blockers & (~blockers + 1) & own;
    flipped |= (outflank - SquareSet{outflank != 0}) & line;
  }
  for (int ray = RisingRays; ray < RayCount; ++ray) {
    const SquareSet line = Rays.rays[ray][square];
    const SquareSet blockers = line & ~opponent;
    const SquareSet first = (SquareSet{1} << (SquareCount - 1)) >> std::countl_zero(blockers | 1);
    const SquareSet outflank = first & blockers & own;
    flipped |= line & (SquareSet{0} - (outflank << 1));
  }
  return flipped;
}

constexpr SquareSet ColumnA = 0x0101010101010101;
constexpr SquareSet ColumnH = ColumnA << LastIndex;
constexpr SquareSet InnerColumns = ~(ColumnA | ColumnH);

// The empty squares where the mover encloses a run in some direction: each direction's runs of
// opponent discs grown from the mover's discs by Kogge-Stone parallel prefix (steps of one, then
// of two twice over: four dependent steps span the six discs a run can hold), all squares at
// once. Opponent discs on the side columns stop the sideways directions from wrapping.
inline SquareSet Moves(SquareSet own, SquareSet opponent, SquareSet empty) {
  constexpr int Shifts[] = {1, BoardSize, BoardSize - 1, BoardSize + 1};
  SquareSet moves = 0;
  for (const int shift : Shifts) {
    const SquareSet runs = shift == BoardSize ? opponent : opponent & InnerColumns;
    SquareSet up = runs & (own << shift);
    SquareSet down = runs & (own >> shift);
    up |= runs & (up << shift);
    down |= runs & (down >> shift);
    // Pairs of run squares: a run reached at one square reaches two squares further.
    const SquareSet pairsUp = runs & (runs << shift);
    const SquareSet pairsDown = pairsUp >> shift;
    up |= pairsUp & (up << 2 * shift);
    down |= pairsDown & (down >> 2 * shift);
    up |= pairsUp & (up << 2 * shift);
    down |= pairsDown & (down >> 2 * shift);
    moves |= (up << shift) | (down >> shift);
  }
  return moves & empty;
}

// The mover's legal squares.
inline SquareSet MovesOf(const CellSets& cells) {
  return Moves(cells.own, cells.opponent, cells.empty);
}

// The position after the mover plays `square` (a legal square index), seen from the other side,
// which is to move next.
CellSets Play(const CellSets& cells, int square) {
  const SquareSet turned = Flips(cells.own, cells.opponent, square);
  const SquareSet placed = SquareSet{1} << square;
  return {cells.opponent & ~turned, cells.own | turned | placed, cells.empty & ~placed};
}

// The same position with the other side to move, after a pass.
CellSets Passed(const CellSets& cells) {
  return {cells.opponent, cells.own, cells.empty};
}

int DiscDifference(const CellSets& cells) {
  return CountSquares(cells.own) - CountSquares(cells.opponent);
}

constexpr SquareSet CornerSquares = 0x8100000000000081;

// The weights of the ordering key: a reply left to the opponent counts as much as
// MobilityWeight / EstimateWeight evaluation units (a disc is EvaluationUnitsPerDisc).
constexpr int EstimateWeight = 1;
constexpr int MobilityWeight = 600;
// The same weight in the exact search's ordering, where a reply counts for less: there the
// estimate comes from a search a few plies deep, and trusting it more searched fewer positions
// (docs/development.md, "The exact end game"). The middle game keeps its weight, with which the
// levels' strength and times were measured.
constexpr int EndMobilityWeight = 350;
// From this many plies left on, the middle-game search orders the children by the evaluation too.
constexpr int EvaluatedPlies = 3;

struct Child {
  CellSets cells;
  int square;
  int key;  // the order in which children are searched: smallest first
};

// Lists the positions after each of `moves`, in the order to search them: `first` (the best move
// of a shallower search, if it is among them) first, then by the number of moves they leave the
// opponent, fewest first ("fastest first"): the move that restricts the opponent is most often the
// best one, and its small subtree is searched soonest. When `evaluated`, the learned evaluation of
// each child (from the opponent's view, so lower first) is added: the dearer ordering pays where
// many plies are left below. Returns the number of children.
int ListChildren(const CellSets& cells, SquareSet moves, int first, bool evaluated,
                 Child* children) {
  int count = 0;
  for (; moves != 0; moves &= moves - 1) {
    const int square = std::countr_zero(moves);
    const CellSets next = Play(cells, square);
    const SquareSet replies = MovesOf(next);
    // A corner the opponent could take counts twice: it is the reply that hurts most.
    int key = -Infinity;
    if (square != first) {
      key = MobilityWeight * (CountSquares(replies) + CountSquares(replies & CornerSquares));
      if (evaluated) key += EstimateWeight * EvaluatePosition(next);
    }
    // Insertion sort: the lists are short, and equal keys keep the order of the squares.
    int at = count++;
    for (; at > 0 && children[at - 1].key > key; --at)
      children[at] = children[at - 1];
    children[at] = {next, square, key};
  }
  return count;
}

// ---- Middle game ------------------------------------------------------------------------------

// Negamax with alpha-beta pruning: the value of the position for the mover, `plies` moves deep,
// within the window (alpha, beta); outside it, a bound on the side of the window it fell (fail
// soft). A finished game is worth its disc difference times WonDiscScore. After the first child
// the others are tried with a null window first and searched again only when they might be better
// (principal variation search). A pass is not a ply.
int SearchPlies(const CellSets& cells, int plies, int alpha, int beta) {
  CountNode();
  if (plies == 0) return EvaluatePosition(cells);
  const SquareSet moves = MovesOf(cells);
  if (moves == 0) {
    const CellSets passed = Passed(cells);
    if (MovesOf(passed) == 0) return DiscDifference(cells) * WonDiscScore;
    return -SearchPlies(passed, plies, -beta, -alpha);
  }
  TableEntry& entry = SlotOf(cells);
  int score = 0;
  int first = NoMoveIndex;
  if (ProbeTable(entry, cells, plies, alpha, beta, score, first)) return score;

  Child children[SquareCount];
  const int count = ListChildren(cells, moves, first, plies >= EvaluatedPlies, children);
  // Prefetching: the children's slots are asked for before the first child is searched, so that
  // their cache misses overlap instead of following one another. The last ply's children are
  // only evaluated and have no slot to read.
  if (plies > 1) {
    for (int k = 0; k < count; ++k)
      __builtin_prefetch(&SlotOf(children[k].cells));
  }
  const int windowLow = alpha;
  int best = -Infinity;
  int bestSquare = NoMoveIndex;
  for (int k = 0; k < count; ++k) {
    const CellSets& child = children[k].cells;
    if (k == 0) {
      score = -SearchPlies(child, plies - 1, -beta, -alpha);
    } else {
      score = -SearchPlies(child, plies - 1, -alpha - 1, -alpha);
      if (score > alpha && score < beta) score = -SearchPlies(child, plies - 1, -beta, -alpha);
    }
    if (score > best) {
      best = score;
      bestSquare = children[k].square;
      if (score > alpha) alpha = score;
      if (alpha >= beta) break;
    }
  }
  StoreInTable(entry, cells, plies, windowLow, beta, best, bestSquare);
  return best;
}

// ---- End game ---------------------------------------------------------------------------------
// The exact search to the end of the game works on the two disc sets and the empty set directly,
// with special routines for the last few empty squares.

// The score of a finished game for the mover, the empty squares going to the winner.
inline int FinalScoreOf(SquareSet own, SquareSet opponent, SquareSet empty) {
  const int difference = CountSquares(own) - CountSquares(opponent);
  const int empties = CountSquares(empty);
  return difference > 0 ? difference + empties : difference < 0 ? difference - empties : 0;
}

// The bounds of an exact score (empty squares to the winner), and one past them as a window's end.
constexpr int ExactInfinity = SquareCount + 1;

// ---- Stability ----------------------------------------------------------------------------------
// A disc is stable when no move can ever turn it: along each of the four lines through it, the line
// is full, or a neighbour on it is the board's edge or a stable disc of the same colour.

// The four axes a disc lies on: its row, its column, its diagonal and its anti-diagonal.
constexpr int AxisCount = 4;
enum Axis { RowAxis, ColumnAxis, DiagonalAxis, AntiDiagonalAxis };

struct LineTable {
  SquareSet lines[AxisCount][2 * BoardSize - 1];  // the lines of each axis
  int counts[AxisCount];
};

constexpr LineTable MakeLines() {
  LineTable table{};
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      table.lines[RowAxis][row] |= SquareBit(row, col);
      table.lines[ColumnAxis][col] |= SquareBit(row, col);
      table.lines[DiagonalAxis][row - col + LastIndex] |= SquareBit(row, col);
      table.lines[AntiDiagonalAxis][row + col] |= SquareBit(row, col);
    }
  }
  table.counts[RowAxis] = table.counts[ColumnAxis] = BoardSize;
  table.counts[DiagonalAxis] = table.counts[AntiDiagonalAxis] = 2 * BoardSize - 1;
  return table;
}
constexpr LineTable Lines = MakeLines();

constexpr SquareSet Row1 = 0xFF;
constexpr SquareSet Row8 = Row1 << (LastIndex * BoardSize);
constexpr SquareSet Edge = ColumnA | ColumnH | Row1 | Row8;

// The discs of `discs` that are stable on the board whose occupied squares are `occupied`.
SquareSet StableDiscs(SquareSet discs, SquareSet occupied) {
  SquareSet full[AxisCount] = {};
  for (int axis = 0; axis < AxisCount; ++axis) {
    for (int k = 0; k < Lines.counts[axis]; ++k) {
      const SquareSet line = Lines.lines[axis][k];
      if ((occupied & line) == line) full[axis] |= line;
    }
  }
  const SquareSet sideways = full[RowAxis] | ColumnA | ColumnH;
  const SquareSet upright = full[ColumnAxis] | Row1 | Row8;
  const SquareSet falling = full[DiagonalAxis] | Edge;
  const SquareSet rising = full[AntiDiagonalAxis] | Edge;
  SquareSet stable = 0;
  for (;;) {
    const SquareSet grown = discs &
                            (sideways | ((stable << 1) & ~ColumnA) | ((stable >> 1) & ~ColumnH)) &
                            (upright | (stable << BoardSize) | (stable >> BoardSize)) &
                            (falling | ((stable << (BoardSize + 1)) & ~ColumnA) |
                             ((stable >> (BoardSize + 1)) & ~ColumnH)) &
                            (rising | ((stable << (BoardSize - 1)) & ~ColumnH) |
                             ((stable >> (BoardSize - 1)) & ~ColumnA));
    if (grown == stable) return stable;
    stable = grown;
  }
}

// ---- End-game table -----------------------------------------------------------------------------
// Transposition table for the upper empties: the bounds found for a position to the end of the
// game (the score is exact, so no depth is kept), and its best move. Two slots per position: the
// one with more empty squares below it is kept over the other, which is always replaced.

constexpr int EndBucketBits = 18;
constexpr int EndBucketCount = 1 << EndBucketBits;

struct EndEntry {
  SquareSet own;
  SquareSet opponent;
  std::uint32_t generation;
  std::int8_t lower;
  std::int8_t upper;
  std::uint8_t best;
  std::uint8_t empties;
};

// The two slots of a position, in one cache line of their own, so that a probe reads one line
// from memory: the probes' cache misses are the largest cost of the search above TabledEmpties.
struct alignas(64) EndBucket {
  EndEntry slots[2];
};

// In static storage (16 MB), never allocated; the turn's generation marks the live entries.
EndBucket EndTable[EndBucketCount];

void ClearEndTable() {
  for (EndBucket& bucket : EndTable)
    bucket = {};
}

// The two slots for the position, by the same multiplicative hash as the middle game.
EndEntry* EndSlotsOf(SquareSet own, SquareSet opponent) {
  constexpr std::uint64_t OwnFactor = 0x9E3779B97F4A7C15;
  constexpr std::uint64_t OpponentFactor = 0xC2B2AE3D27D4EB4F;
  constexpr int FoldShift = 29;
  std::uint64_t mixed = own * OwnFactor ^ opponent * OpponentFactor;
  mixed ^= mixed >> FoldShift;
  return EndTable[(mixed * OwnFactor) >> (HashBits - EndBucketBits)].slots;
}

// The live entry of the position among its two slots, or nullptr.
EndEntry* FindEnd(EndEntry* slots, SquareSet own, SquareSet opponent) {
  for (int k = 0; k < 2; ++k) {
    EndEntry& entry = slots[k];
    if (entry.generation == generation && entry.own == own && entry.opponent == opponent) {
      return &entry;
    }
  }
  return nullptr;
}

void StoreEnd(EndEntry* slots, SquareSet own, SquareSet opponent, int empties, int alpha, int beta,
              int score, int best) {
  EndEntry* entry = FindEnd(slots, own, opponent);
  if (entry == nullptr) {
    // The deeper slot is kept unless it is stale or this search is as deep.
    EndEntry& deep = slots[0];
    entry = deep.generation != generation || deep.empties <= empties ? &deep : &slots[1];
    *entry = {own, opponent, generation, -ExactInfinity, ExactInfinity, NoMoveIndex, 0};
  }
  entry->empties = static_cast<std::uint8_t>(empties);
  if (score < beta) entry->upper = static_cast<std::int8_t>(score);
  if (score > alpha) entry->lower = static_cast<std::int8_t>(score);
  if (score > alpha) entry->best = static_cast<std::uint8_t>(best);
}

// ---- The last empty squares ---------------------------------------------------------------------

// From this many empty squares on, the search keeps its results in the end-game table. Below it a
// probe, a likely cache miss, costs more than the searches it saves.
constexpr int TabledEmpties = 9;
// From this many on, the children are looked up in the table before any is searched (enhanced
// transposition cutoff).
constexpr int TransposedEmpties = 11;
// From this many on, a node asks whether the opponent's stable discs already settle the window.
constexpr int StabilityEmpties = 8;
// From this many on, the children are ordered by the learned evaluation as well as by mobility,
// from searches of more plies where more empty squares are left (ShallowPlies).
constexpr int EvaluatedEmpties = 12;
// The shallow searches that order the children need their estimates exact only for the moves
// that might reach alpha: a move worse than alpha by more than this many discs is only bounded
// (its search fails low for the mover at once), which spares most of its subtree.
constexpr int SortMargin = 8;
// At most this many empty squares go to the special routine without move generation, which tries
// the squares in parity order alone: above it, ordering by mobility saves more than it costs.
constexpr int FewEmpties = 5;

// The plies of the shallow search that orders the children of a node with `empties` empty
// squares: even, since a search that ends on the mover's own move overrates its mobility.
constexpr int ShallowPlies(int empties) {
  constexpr int TwoPliesFrom = 17, FourPliesFrom = 20, SixPliesFrom = 22;
  return empties >= SixPliesFrom    ? 6
         : empties >= FourPliesFrom ? 4
         : empties >= TwoPliesFrom  ? 2
                                    : 0;
}

// The four quadrants (4 x 4 corners of the board).
constexpr SquareSet Quadrants[] = {0x000000000F0F0F0F, 0x00000000F0F0F0F0, 0x0F0F0F0F00000000,
                                   0xF0F0F0F000000000};

// The squares of the quadrants that hold an odd number of empty squares.
SquareSet OddQuadrants(SquareSet empty) {
  SquareSet odd = 0;
  for (const SquareSet quadrant : Quadrants) {
    if (CountSquares(empty & quadrant) % 2 == 1) odd |= quadrant;
  }
  return odd;
}

// The quadrant of a square: its row's half (bit 5 of the index) and its column's half (bit 2).
inline SquareSet QuadrantOf(int square) {
  return Quadrants[((square >> 4) & 2) | ((square >> 2) & 1)];
}

// ---- The last square ----------------------------------------------------------------------------
// With one square left the board is full around it: every square that is not the mover's is the
// opponent's, so a side's discs alone tell how many it turns there. Each of the four lines through
// the square is gathered into a byte and its count looked up (the last-flip count of bit-board
// endgame solvers), which is cheaper than finding the turned discs (docs/development.md, "Faster
// positions").

// LineFlips.count[at][line]: the discs turned along a line of BoardSize squares by a disc on square
// `at` of it, when `line` has the bits of the mover's squares and every other square holds an
// opponent disc. Squares off the board's end of a short diagonal read as opponent discs that no
// disc of the mover closes, so they turn nothing, as the edge would.
struct LineFlipTable {
  std::uint8_t count[BoardSize][1 << BoardSize];
};
constexpr LineFlipTable MakeLineFlips() {
  LineFlipTable table{};
  for (int at = 0; at < BoardSize; ++at) {
    for (int line = 0; line < (1 << BoardSize); ++line) {
      int turned = 0;
      for (const int step : {-1, 1}) {
        int run = 0;
        int next = at + step;
        for (; next >= 0 && next < BoardSize && ((line >> next) & 1) == 0; next += step)
          ++run;
        if (next >= 0 && next < BoardSize) turned += run;
      }
      table.count[at][line] = static_cast<std::uint8_t>(turned);
    }
  }
  return table;
}
constexpr LineFlipTable LineFlips = MakeLineFlips();

constexpr int TopByte = SquareCount - BoardSize;

// The squares of `set` on a line with one square per column, gathered into a byte by column: the
// multiplication adds the rows up, and no two squares share a column, so nothing carries.
inline unsigned ByColumn(SquareSet set) {
  return static_cast<unsigned>((set * ColumnA) >> TopByte);
}

// The discs that the side owning `own` turns by a disc on `square`, the only empty square.
inline int LastFlipCount(SquareSet own, int square) {
  // Each row's bit of column a, moved to bit `row` of the top byte by one multiplication.
  constexpr SquareSet ColumnToRow = 0x0102040810204080;
  const int row = square / BoardSize;
  const int col = square % BoardSize;
  const unsigned rowLine = static_cast<unsigned>(own >> (row * BoardSize)) & 0xFF;
  const unsigned colLine =
      static_cast<unsigned>((((own >> col) & ColumnA) * ColumnToRow) >> TopByte);
  const SquareSet diagonal = Lines.lines[DiagonalAxis][row - col + LastIndex];
  const SquareSet antiDiagonal = Lines.lines[AntiDiagonalAxis][row + col];
  return LineFlips.count[col][rowLine] + LineFlips.count[row][colLine] +
         LineFlips.count[col][ByColumn(own & diagonal)] +
         LineFlips.count[col][ByColumn(own & antiDiagonal)];
}

// The exact score when one square is left: the mover plays it if it can, else the other side,
// else the game ends with it empty (and it goes to the winner).
int SolveLastSquare(SquareSet own, SquareSet opponent, SquareSet empty) {
  CountNode();
  const int square = std::countr_zero(empty);
  // 63 discs on the board: the difference follows from the mover's count alone.
  const int difference = 2 * CountSquares(own) - (SquareCount - 1);
  if (const int turned = LastFlipCount(own, square); turned != 0) {
    return difference + 2 * turned + 1;
  }
  if (const int turned = LastFlipCount(opponent, square); turned != 0) {
    return difference - 2 * turned - 1;
  }
  return difference > 0 ? difference + 1 : difference < 0 ? difference - 1 : 0;
}

// The exact score when two squares are left: each tried in turn by the mover, then by the other
// side if the mover has neither; the last square is counted directly. `passed` as in SolveFew.
int SolveTwoSquares(SquareSet own, SquareSet opponent, SquareSet empty, int alpha, int beta,
                    bool passed) {
  CountNode();
  const SquareSet firstPlaced = empty & (~empty + 1);
  const SquareSet secondPlaced = empty ^ firstPlaced;
  int best = -ExactInfinity;
  for (const SquareSet placed : {firstPlaced, secondPlaced}) {
    const int square = std::countr_zero(placed);
    if ((Neighbours.of[square] & opponent) == 0) continue;
    const SquareSet turned = Flips(own, opponent, square);
    if (turned == 0) continue;
    const int score = -SolveLastSquare(opponent & ~turned, own | turned | placed, empty ^ placed);
    if (score > best) {
      best = score;
      if (best >= beta) return best;
    }
  }
  if (best != -ExactInfinity) return best;
  if (passed) return FinalScoreOf(own, opponent, empty);
  return -SolveTwoSquares(opponent, own, empty, -beta, -alpha, true);
}

// The last few empty squares (FewEmpties or fewer): no move list, each empty square tried in
// parity order (`odd`: the squares of the quadrants with an odd number of empty squares, first, so
// that the mover tends to have the last move in each region) and kept when it turns something.
// Playing a square flips its quadrant's parity, so `odd` is passed down rather than counted again.
// `passed` is set when the other side has just passed, so that a second pass ends the game.
int SolveFew(SquareSet own, SquareSet opponent, SquareSet empty, SquareSet odd, int alpha, int beta,
             bool passed) {
  if (const SquareSet rest = empty & (empty - 1); (rest & (rest - 1)) == 0) {
    return rest == 0 ? SolveLastSquare(own, opponent, empty)
                     : SolveTwoSquares(own, opponent, empty, alpha, beta, passed);
  }
  CountNode();
  const SquareSet groups[] = {empty & odd, empty & ~odd};
  int best = -ExactInfinity;
  for (const SquareSet group : groups) {
    for (SquareSet left = group; left != 0; left &= left - 1) {
      const int square = std::countr_zero(left);
      if ((Neighbours.of[square] & opponent) == 0) continue;
      const SquareSet turned = Flips(own, opponent, square);
      if (turned == 0) continue;
      const SquareSet placed = SquareSet{1} << square;
      const int score = -SolveFew(opponent & ~turned, own | turned | placed, empty & ~placed,
                                  odd ^ QuadrantOf(square), -beta, -alpha, false);
      if (score > best) {
        best = score;
        if (score > alpha) alpha = score;
        if (alpha >= beta) return best;
      }
    }
  }
  if (best != -ExactInfinity) return best;
  if (passed) return FinalScoreOf(own, opponent, empty);
  return -SolveFew(opponent, own, empty, odd, -beta, -alpha, true);
}

// ---- The exact search ---------------------------------------------------------------------------

struct EndChild {
  SquareSet own;  // the child's mover: the opponent of the parent
  SquareSet opponent;
  int square;
  int key;  // the order in which children are searched: smallest first
};

// The exact score for the mover within the window (alpha, beta), or a bound outside it (fail
// soft); alpha-beta negamax to the end of the game with principal variation search. `odd` holds
// the quadrants with an odd number of empty squares (OddQuadrants), kept up to date move by move.
int SolveEnd(SquareSet own, SquareSet opponent, SquareSet empty, SquareSet odd, int alpha,
             int beta) {
  const int empties = CountSquares(empty);
  if (empties <= FewEmpties) return SolveFew(own, opponent, empty, odd, alpha, beta, false);
  CountNode();
  const SquareSet moves = Moves(own, opponent, empty);
  if (moves == 0) {
    if (Moves(opponent, own, empty) == 0) return FinalScoreOf(own, opponent, empty);
    return -SolveEnd(opponent, own, empty, odd, -beta, -alpha);
  }

  // Stability cutoff: the opponent's stable discs are its own at the end, so the mover can score
  // at most the squares less twice them; when that is no better than alpha, the node is settled.
  // Only tried when the opponent has enough discs for it to be possible.
  if (empties >= StabilityEmpties && SquareCount - 2 * CountSquares(opponent) <= alpha) {
    const int most = SquareCount - 2 * CountSquares(StableDiscs(opponent, own | opponent));
    if (most <= alpha) return most;
  }

  EndEntry* slots = nullptr;
  int first = NoMoveIndex;
  if (empties >= TabledEmpties) {
    slots = EndSlotsOf(own, opponent);
    if (const EndEntry* entry = FindEnd(slots, own, opponent); entry != nullptr) {
      if (entry->lower >= beta) return entry->lower;
      if (entry->upper <= alpha) return entry->upper;
      if (entry->lower == entry->upper) return entry->lower;
      first = entry->best;
    }
  }

  EndChild children[SquareCount];
  int count = 0;
  const bool transposed = empties >= TransposedEmpties;
  for (SquareSet left = moves; left != 0; left &= left - 1) {
    const int square = std::countr_zero(left);
    const SquareSet turned = Flips(own, opponent, square);
    const SquareSet placed = SquareSet{1} << square;
    children[count] = {opponent & ~turned, own | turned | placed, square, 0};
    // Prefetching: every child's table line is asked for before any is read, so that their cache
    // misses overlap instead of following one another.
    if (transposed) __builtin_prefetch(EndSlotsOf(children[count].own, children[count].opponent));
    ++count;
  }
  if (transposed) {
    // Enhanced transposition cutoff: a child that the table already knows to be bad enough for
    // the opponent settles this node before any child is searched.
    for (int k = 0; k < count; ++k) {
      const EndChild& child = children[k];
      const EndEntry* known =
          FindEnd(EndSlotsOf(child.own, child.opponent), child.own, child.opponent);
      if (known != nullptr && -known->upper >= beta) return -known->upper;
    }
  }

  // The children's estimates are from their mover's view: a move that is bad for this node's mover
  // makes its child's search fail high above sortBeta.
  const int sortBeta = -(alpha - SortMargin) * EvaluationUnitsPerDisc;
  for (int k = 0; k < count; ++k) {
    const EndChild child = children[k];
    const SquareSet placed = SquareSet{1} << child.square;
    int key = 0;
    if (child.square == first) {
      key = -Infinity;  // the table's best move, from an earlier search, first
    } else if (empties >= EvaluatedEmpties) {
      // Shallow search: the learned evaluation of the child a few plies deep (from the child's
      // mover's view, so lower is better here) with the fastest-first term below.
      const CellSets after = {child.own, child.opponent, empty & ~placed};
      const SquareSet replies = Moves(after.own, after.opponent, after.empty);
      const int estimate = SearchPlies(after, ShallowPlies(empties), -Infinity, sortBeta);
      key = EstimateWeight * estimate +
            EndMobilityWeight * (CountSquares(replies) + CountSquares(replies & CornerSquares));
    } else {
      // Fastest-first: the move that leaves the opponent the fewest replies (a corner reply
      // counting twice) is most often the best, and its subtree is the smallest.
      const SquareSet replies = Moves(child.own, child.opponent, empty & ~placed);
      key = 2 * (CountSquares(replies) + CountSquares(replies & CornerSquares));
      if ((placed & odd) == 0) ++key;  // parity breaks ties
    }
    // Insertion sort of the children listed so far, in place.
    int at = k;
    for (; at > 0 && children[at - 1].key > key; --at)
      children[at] = children[at - 1];
    children[at] = child;
    children[at].key = key;
  }

  const int windowLow = alpha;
  int best = -ExactInfinity;
  int bestSquare = NoMoveIndex;
  for (int k = 0; k < count; ++k) {
    const EndChild& child = children[k];
    const SquareSet rest = empty & ~(SquareSet{1} << child.square);
    const SquareSet restOdd = odd ^ QuadrantOf(child.square);
    int score;
    if (k == 0) {
      score = -SolveEnd(child.own, child.opponent, rest, restOdd, -beta, -alpha);
    } else {
      score = -SolveEnd(child.own, child.opponent, rest, restOdd, -alpha - 1, -alpha);
      if (score > alpha && score < beta) {
        score = -SolveEnd(child.own, child.opponent, rest, restOdd, -beta, -alpha);
      }
    }
    if (score > best) {
      best = score;
      bestSquare = child.square;
      if (score > alpha) alpha = score;
      if (alpha >= beta) break;
    }
  }
  if (slots != nullptr) {
    StoreEnd(slots, own, opponent, empties, windowLow, beta, best, bestSquare);
  }
  return best;
}

// The exact search on CellSets with any window: the window is narrowed to the exact scores.
int SolveWindow(const CellSets& cells, int alpha, int beta) {
  alpha = alpha < -ExactInfinity ? -ExactInfinity : alpha;
  beta = beta > ExactInfinity ? ExactInfinity : beta;
  if (cells.empty == 0) {
    CountNode();  // a full board is a position visited too
    return DiscDifference(cells);
  }
  return SolveEnd(cells.own, cells.opponent, cells.empty, OddQuadrants(cells.empty), alpha, beta);
}

// The plies of the mid-game search that orders the moves at the root of an exact solve and guesses
// the first one's score.
constexpr int RootOrderPlies = 12;

// MTD(f): the exact value of the position for its mover, from null-window searches that start at
// `guess` and close the known bounds lower..upper (inclusive) on it. With a good guess a few
// searches with the narrowest window, whose results the table keeps, cost less than one search
// with a wide window.
int SolveByNullWindows(const CellSets& cells, int guess, int lower, int upper) {
  int value = guess < lower ? lower : guess > upper ? upper : guess;
  while (lower < upper) {
    const int beta = value == lower ? value + 1 : value;
    value = SolveWindow(cells, beta - 1, beta);
    if (value < beta) {
      upper = value;
    } else {
      lower = value;
    }
  }
  return value;
}

// ---- The root ---------------------------------------------------------------------------------

struct RootMove {
  CellSets cells;  // the position after the move
  int square;
  int score;  // exact when it reaches the best score of its round, else a bound below it
};

// Scores every root move with `search` (the mover's value of a child position within a window,
// from the child's mover's view). The first move gets the full window; each later one is first
// asked whether it reaches the best score so far, and only then searched exactly, so that every
// move as good as the best has its exact score and every other a bound below the best.
template <typename Search>
int ScoreRootMoves(RootMove* moves, int count, Search search) {
  int best = -Infinity;
  for (int k = 0; k < count; ++k) {
    int score;
    if (k == 0) {
      score = -search(moves[k].cells, -Infinity, Infinity);
    } else {
      score = -search(moves[k].cells, -best, -(best - 1));
      if (score >= best) score = -search(moves[k].cells, -Infinity, -(best - 1));
    }
    moves[k].score = score;
    if (score > best) best = score;
  }
  return best;
}

// Puts the best-scored moves first for the next, deeper round; equal scores keep their order.
void SortRootMoves(RootMove* moves, int count) {
  for (int k = 1; k < count; ++k) {
    const RootMove moving = moves[k];
    int at = k;
    for (; at > 0 && moves[at - 1].score < moving.score; --at)
      moves[at] = moves[at - 1];
    moves[at] = moving;
  }
}

}  // namespace

LevelReach ReachOf(int level) {
  return LevelReaches[level - FirstSearchingLevel];
}

int SolveExactly(const CellSets& cells) {
  NewGeneration();
  return SolveWindow(cells, -Infinity, Infinity);
}

int ChooseSearchedSquare(int side, int level, int coin) {
  const LevelReach reach = ReachOf(level);
  NewGeneration();
  const CellSets cells = ReadCellSets(side);
  const SquareSet legal = MovesOf(cells);
  if (legal == 0) return 0;
  RootMove moves[SquareCount];
  Child ordered[SquareCount];
  const int count = ListChildren(cells, legal, NoMoveIndex, false, ordered);
  for (int k = 0; k < count; ++k)
    moves[k] = {ordered[k].cells, ordered[k].square, 0};

  int best = 0;
  if (CountSquares(cells.empty) <= reach.exactEmpties) {
    best = ScoreRootMoves(moves, count, [](const CellSets& child, int alpha, int beta) {
      return SolveWindow(child, alpha, beta);
    });
  } else {
    // Iterative deepening: each round searches one ply deeper, with the moves in the order of the
    // round before and the table holding its best replies.
    for (int plies = 1; plies <= reach.plies; ++plies) {
      best = ScoreRootMoves(moves, count, [plies](const CellSets& child, int alpha, int beta) {
        return SearchPlies(child, plies - 1, alpha, beta);
      });
      SortRootMoves(moves, count);
    }
  }

  // The moves as good as the best, in square order, whatever order the search took them in; the
  // coin picks one of them.
  SquareSet tied = 0;
  for (int k = 0; k < count; ++k) {
    if (moves[k].score == best) tied |= SquareSet{1} << moves[k].square;
  }
  for (int pick = coin % CountSquares(tied); pick > 0; --pick)
    tied &= tied - 1;
  const int square = std::countr_zero(tied);
  return SquareCode(square / BoardSize, square % BoardSize);
}

int ScoreEveryMove(const CellSets& cells, int level, ScoredMove* out, SearchReport& report) {
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t nodesBefore = nodes;
  const LevelReach reach = ReachOf(level);
  NewGeneration();
  const bool exact = CountSquares(cells.empty) <= reach.exactEmpties;
  int count = 0;
  for (SquareSet legal = MovesOf(cells); legal != 0; legal &= legal - 1) {
    const int square = std::countr_zero(legal);
    const CellSets child = Play(cells, square);
    int score = 0;
    if (exact) {
      score = -SolveWindow(child, -Infinity, Infinity);
    } else {
      // Iterative deepening fills the table with good replies for the deepest round.
      for (int plies = 1; plies <= reach.plies; ++plies)
        score = -SearchPlies(child, plies - 1, -Infinity, Infinity);
    }
    // Insertion by score, best first; equal scores keep square order.
    int at = count++;
    for (; at > 0 && out[at - 1].score < score; --at)
      out[at] = out[at - 1];
    out[at] = {SquareCode(square / BoardSize, square % BoardSize), score, exact};
  }
  report.depth = exact ? CountSquares(cells.empty) : reach.plies;
  report.nodes = nodes - nodesBefore;
  report.microseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
  return count;
}

ScoredMove SolveBestMove(int side, SearchReport& report) {
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t nodesBefore = nodes;
  NewGeneration();
  const CellSets cells = ReadCellSets(side);
  ScoredMove best = {NoSquareCode, -Infinity, true};
  const SquareSet legal = MovesOf(cells);
  if (legal == 0) {
    best.score = SolveWindow(cells, -Infinity, Infinity);
  } else {
    RootMove moves[SquareCount];
    Child ordered[SquareCount];
    const int count = ListChildren(cells, legal, NoMoveIndex, false, ordered);
    for (int k = 0; k < count; ++k)
      moves[k] = {ordered[k].cells, ordered[k].square, 0};
    for (int plies = 1; plies <= RootOrderPlies; ++plies) {
      ScoreRootMoves(moves, count, [plies](const CellSets& child, int alpha, int beta) {
        return SearchPlies(child, plies - 1, alpha, beta);
      });
      SortRootMoves(moves, count);
    }
    // The first move is solved from its estimate; each later move is only asked whether it beats
    // the best so far, and solved when it does.
    best.score = -SolveByNullWindows(moves[0].cells, -moves[0].score / EvaluationUnitsPerDisc,
                                     -ExactInfinity, ExactInfinity);
    moves[0].score = best.score;
    for (int k = 1; k < count; ++k) {
      int score = -SolveWindow(moves[k].cells, -(best.score + 1), -best.score);
      if (score > best.score) {
        score = -SolveByNullWindows(moves[k].cells, -score, -ExactInfinity, -score);
        best.score = score;
      }
      moves[k].score = score;
    }
    for (int k = 0; k < count && best.square == NoSquareCode; ++k) {
      if (moves[k].score == best.score) {
        best.square = SquareCode(moves[k].square / BoardSize, moves[k].square % BoardSize);
      }
    }
  }
  report.nodes = nodes - nodesBefore;
  report.microseconds = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
  return best;
}

int ScoreMoves(int side, int level, ScoredMove* out, SearchReport& report) {
  const int count = ScoreEveryMove(ReadCellSets(side), level, out, report);
  for (int k = 0; k < count; ++k) {
    int& score = out[k].score;
    // An exact search counts discs; the middle-game search counts a won ending WonDiscScore per
    // disc and anything else in the evaluation's units.
    if (out[k].exact) {
      score *= ScorePerDisc;
    } else if (score >= WonDiscScore || score <= -WonDiscScore) {
      score = score / WonDiscScore * ScorePerDisc;
    } else {
      score = score * ScorePerDisc / EvaluationUnitsPerDisc;
    }
  }
  return count;
}

std::uint64_t CountSearchTreeLeaves(const CellSets& cells, int depth) {
  if (depth == 0) return 1;
  const SquareSet moves = MovesOf(cells);
  if (moves == 0) {
    const CellSets passed = Passed(cells);
    return MovesOf(passed) == 0 ? 1 : CountSearchTreeLeaves(passed, depth - 1);
  }
  std::uint64_t leaves = 0;
  for (SquareSet left = moves; left != 0; left &= left - 1)
    leaves += CountSearchTreeLeaves(Play(cells, std::countr_zero(left)), depth - 1);
  return leaves;
}

std::uint64_t SearchedNodes() {
  return nodes;
}

void SetSearchEndsOnSignal(bool on) {
  endsOnSignal = on;
}

void ResetSearchState() {
  // A new generation empties the table at once, without writing its 2 MB: the program state is
  // reset for every test and every fuzzed session.
  NewGeneration();
  nodes = 0;
  endsOnSignal = false;
}

void SetComLevel(int side, int level) {
  if (side < 0 || side >= SideCount || level < RuleBasedLevel || level > LastLevel) return;
  comLevels[side] = level;
}

int ComLevel(int side) {
  return comLevels[side];
}

int LevelForDepth(int plies) {
  for (int level = FirstSearchingLevel; level < LastLevel; ++level) {
    if (ReachOf(level).plies >= plies) return level;
  }
  return LastLevel;
}

int PlaySearchedMove(int side) {
  const int coin = DrawRandom();
  const int square = ChooseSearchedSquare(side, ComLevel(side), coin);
  // This turn answers a pass as the rule-based COM's scan placement does, so the flag is cleared
  // for the next COM turn, of either level. The square is then played and announced the same way
  // as the rule-based COM's.
  PassFlag = 0;
  return PlaceComMove(side, square);
}

}  // namespace reversi
