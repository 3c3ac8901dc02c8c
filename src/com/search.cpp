// The searching COM: negamax with alpha-beta pruning (principal variation search) and iterative
// deepening in the middle game, an exact end-game search once few squares are empty, move
// ordering by a transposition table and by the opponent's mobility ("fastest first"), and the
// choice among equally good moves by the turn's one coin.
#include <bit>
#include <chrono>
#include <cstdint>

#include "board/board.h"
#include "com/com.h"
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

// Starts a new generation: every entry of the table counts as empty from now on. After 2^32 - 1
// generations the numbers would come round again, so the table is then filled with zeros.
void NewGeneration() {
  if (++generation == 0) {
    for (TableEntry& entry : Table)
      entry = {};
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

// The position after the mover plays `square` (a legal square index), seen from the other side,
// which is to move next.
CellSets Play(const CellSets& cells, int square) {
  const SquareSet turned = TurnedSquares(cells, square / BoardSize, square % BoardSize);
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

// The exact score of a finished game for the mover: the disc difference with the empty squares of
// a game that ended early given to the winner (the Othello convention, which problem collections
// and other engines use; the result screen counts the discs alone).
int FinalScore(const CellSets& cells) {
  const int difference = DiscDifference(cells);
  const int empties = CountSquares(cells.empty);
  return difference > 0 ? difference + empties : difference < 0 ? difference - empties : 0;
}

constexpr SquareSet CornerSquares = 0x8100000000000081;

struct Child {
  CellSets cells;
  int square;
  int key;  // the order in which children are searched: smallest first
};

// Lists the positions after each of `moves`, in the order to search them: `first` (the best move
// of a shallower search, if it is among them) first, then by the number of moves they leave the
// opponent, fewest first: the move that restricts the opponent is most often the best one, and its
// small subtree is searched soonest. Returns the number of children.
int ListChildren(const CellSets& cells, SquareSet moves, int first, Child* children) {
  constexpr int FirstKey = -1;  // below every mobility
  int count = 0;
  for (; moves != 0; moves &= moves - 1) {
    const int square = std::countr_zero(moves);
    const CellSets next = Play(cells, square);
    const SquareSet replies = LegalSquares(next);
    // A corner the opponent could take counts twice: it is the reply that hurts most.
    const int key =
        square == first ? FirstKey : CountSquares(replies) + CountSquares(replies & CornerSquares);
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
  ++nodes;
  if (plies == 0) return EvaluatePosition(cells);
  const SquareSet moves = LegalSquares(cells);
  if (moves == 0) {
    const CellSets passed = Passed(cells);
    if (LegalSquares(passed) == 0) return DiscDifference(cells) * WonDiscScore;
    return -SearchPlies(passed, plies, -beta, -alpha);
  }
  TableEntry& entry = SlotOf(cells);
  int score = 0;
  int first = NoMoveIndex;
  if (ProbeTable(entry, cells, plies, alpha, beta, score, first)) return score;

  Child children[SquareCount];
  const int count = ListChildren(cells, moves, first, children);
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

// Below this many empty squares the exact search tries the moves in square order: ordering them
// costs more than it saves so close to the end.
constexpr int OrderedEmpties = 7;
// From this many empty squares on, the exact search keeps its results in the table.
constexpr int TabledEmpties = 10;

// The squares of the quadrants (4 x 4 corners of the board) that hold an odd number of empty
// squares.
SquareSet OddQuadrants(SquareSet empty) {
  constexpr SquareSet Quadrants[] = {0x000000000F0F0F0F, 0x00000000F0F0F0F0, 0x0F0F0F0F00000000,
                                     0xF0F0F0F000000000};
  SquareSet odd = 0;
  for (const SquareSet quadrant : Quadrants) {
    if (CountSquares(empty & quadrant) % 2 == 1) odd |= quadrant;
  }
  return odd;
}

// The final disc difference when one square is left: the mover plays it if it can, else the other
// side, else the game ends with it empty.
int SolveLastSquare(const CellSets& cells) {
  const int square = std::countr_zero(cells.empty);
  const int row = square / BoardSize;
  const int col = square % BoardSize;
  const int difference = DiscDifference(cells);
  if (const SquareSet turned = TurnedSquares(cells, row, col); turned != 0) {
    return difference + 2 * CountSquares(turned) + 1;
  }
  if (const SquareSet turned = TurnedSquares(Passed(cells), row, col); turned != 0) {
    return difference - 2 * CountSquares(turned) - 1;
  }
  return FinalScore(cells);
}

// The exact final disc difference for the mover within the window (alpha, beta), or a bound
// outside it (fail soft); alpha-beta negamax to the end of the game.
int SolveWindow(const CellSets& cells, int alpha, int beta) {
  ++nodes;
  const int empties = CountSquares(cells.empty);
  if (empties == 0) return DiscDifference(cells);
  if (empties == 1) return SolveLastSquare(cells);
  const SquareSet moves = LegalSquares(cells);
  if (moves == 0) {
    const CellSets passed = Passed(cells);
    if (LegalSquares(passed) == 0) return FinalScore(cells);
    return -SolveWindow(passed, -beta, -alpha);
  }
  int best = -Infinity;
  if (empties < OrderedEmpties) {
    // Parity: the moves in a quadrant with an odd number of empty squares first, so that the
    // mover tends to have the last move in each region.
    const SquareSet odd = OddQuadrants(cells.empty);
    const SquareSet groups[] = {moves & odd, moves & ~odd};
    for (const SquareSet group : groups) {
      for (SquareSet left = group; left != 0; left &= left - 1) {
        const int score = -SolveWindow(Play(cells, std::countr_zero(left)), -beta, -alpha);
        if (score > best) {
          best = score;
          if (score > alpha) alpha = score;
          if (alpha >= beta) return best;
        }
      }
    }
    return best;
  }

  TableEntry* entry = nullptr;
  int first = NoMoveIndex;
  if (empties >= TabledEmpties) {
    entry = &SlotOf(cells);
    int score = 0;
    if (ProbeTable(*entry, cells, empties, alpha, beta, score, first)) return score;
  }
  Child children[SquareCount];
  const int count = ListChildren(cells, moves, first, children);
  const int windowLow = alpha;
  int bestSquare = NoMoveIndex;
  for (int k = 0; k < count; ++k) {
    const CellSets& child = children[k].cells;
    int score;
    if (k == 0) {
      score = -SolveWindow(child, -beta, -alpha);
    } else {
      score = -SolveWindow(child, -alpha - 1, -alpha);
      if (score > alpha && score < beta) score = -SolveWindow(child, -beta, -alpha);
    }
    if (score > best) {
      best = score;
      bestSquare = children[k].square;
      if (score > alpha) alpha = score;
      if (alpha >= beta) break;
    }
  }
  if (entry != nullptr) StoreInTable(*entry, cells, empties, windowLow, beta, best, bestSquare);
  return best;
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
  const SquareSet legal = LegalSquares(cells);
  if (legal == 0) return 0;
  RootMove moves[SquareCount];
  Child ordered[SquareCount];
  const int count = ListChildren(cells, legal, NoMoveIndex, ordered);
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
  for (SquareSet legal = LegalSquares(cells); legal != 0; legal &= legal - 1) {
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
  const SquareSet legal = LegalSquares(cells);
  if (legal == 0) {
    best.score = SolveWindow(cells, -Infinity, Infinity);
  } else {
    RootMove moves[SquareCount];
    Child ordered[SquareCount];
    const int count = ListChildren(cells, legal, NoMoveIndex, ordered);
    for (int k = 0; k < count; ++k)
      moves[k] = {ordered[k].cells, ordered[k].square, 0};
    best.score = ScoreRootMoves(moves, count, [](const CellSets& child, int alpha, int beta) {
      return SolveWindow(child, alpha, beta);
    });
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

std::uint64_t SearchedNodes() {
  return nodes;
}

void ResetSearchState() {
  // A new generation empties the table at once, without writing its 2 MB: the program state is
  // reset for every test and every fuzzed session.
  NewGeneration();
  nodes = 0;
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
