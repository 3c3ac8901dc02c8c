// Second phase of a COM turn: two walks over the ranked list under the square-class rules, their
// fall-backs, the coin toss, the late-game rule and the placement.
#include "board/board.h"
#include "com/com.h"
#include "platform/console.h"
#include "search.h"

namespace reversi {

namespace {

// From this MoveCount on, the square that gives the most discs wins (unless a corner was taken).
constexpr int LateGameMoveCount = 48;
// Lies above every possible ownMobility, so the first admitted record always lowers it.
constexpr int MobilityCeiling = SquareCount + 1;

// Digits of a SquareCode, 1..8, on the edge and next to it.
constexpr int EdgeLow = 1;
constexpr int EdgeHigh = BoardSize;
constexpr int RingLow = EdgeLow + 1;
constexpr int RingHigh = EdgeHigh - 1;

// Every square belongs to exactly one class; the walks judge a square by its class.
enum SquareClass {
  CornerSquare,
  EdgeTopBottom,   // row 1 or 8, column 3..6
  EdgeLeftRight,   // column 1 or 8, row 3..6
  CornerAdjacent,  // the three squares next to each corner
  RingTopBottom,   // row 2 or 7, column 3..6
  RingLeftRight,   // column 2 or 7, row 3..6
  CentreSquare,    // row and column 3..6
};

constexpr bool OnEdge(int digit) {
  return digit == EdgeLow || digit == EdgeHigh;
}
constexpr bool InRing(int digit) {
  return digit == RingLow || digit == RingHigh;
}
constexpr bool NearCorner(int digit) {
  return OnEdge(digit) || InRing(digit);
}

constexpr SquareClass ClassOf(int square) {
  const int row = square / SquareCodeRadix;
  const int col = square % SquareCodeRadix;
  if (NearCorner(row) && NearCorner(col)) {
    return OnEdge(row) && OnEdge(col) ? CornerSquare : CornerAdjacent;
  }
  if (OnEdge(row)) return EdgeTopBottom;
  if (OnEdge(col)) return EdgeLeftRight;
  if (InRing(row)) return RingTopBottom;
  if (InRing(col)) return RingLeftRight;
  return CentreSquare;
}

// The cell at a SquareCode's row and column offset by (dRow, dCol).
int CellNear(int square, int dRow, int dCol) {
  return Board[SquareRow(square) + dRow][SquareColumn(square) + dCol];
}

// Whether a neighbour along the edge leaves an edge square safe to take: it is, unless the
// opponent holds that neighbour.
bool IsSafeEdgeNeighbour(int cell, int side) {
  return cell != OpponentCell(side);
}

// Whether the square's two neighbours in direction (dRow, dCol) and its opposite make it risky: it
// would sit between an opponent disc and an empty cell, where the opponent could flank it at once.
// For Black to move the sum cannot tell White + Empty from Black + Black; that ambiguity is part of
// the COM's play.
bool IsRiskyPair(int square, int dRow, int dCol, int side) {
  return CellNear(square, dRow, dCol) + CellNear(square, -dRow, -dCol) == OpponentCell(side);
}

bool IsRiskyAlongRow(int square, int side) {
  return IsRiskyPair(square, 0, 1, side);
}
bool IsRiskyAlongColumn(int square, int side) {
  return IsRiskyPair(square, 1, 0, side);
}
bool IsRiskyAlongDiagonals(int square, int side) {
  return IsRiskyPair(square, 1, 1, side) || IsRiskyPair(square, -1, 1, side);
}

enum WalkKey { OpponentMobilityKey, OwnMobilityKey };

// What the class rules say about a listed square; only the bound depends on a walk's key.
enum Verdict {
  ChosenAtOnce,  // a corner, or a middle-edge square whose neighbours along the edge are safe
  PassedOver,    // next to a corner, or risky where the opponent could flank it at once
  Admitted,      // may become the walk's choice when its key beats the bound
};

// The verdict of the class rules on `square` (a listed SquareCode) for `side`, from the Board.
Verdict Judge(int square, int side) {
  switch (ClassOf(square)) {
    case CornerSquare:
      return ChosenAtOnce;
    case CornerAdjacent:
      return PassedOver;
    case EdgeTopBottom:
      if (IsSafeEdgeNeighbour(CellNear(square, 0, -1), side) &&
          IsSafeEdgeNeighbour(CellNear(square, 0, 1), side)) {
        return ChosenAtOnce;
      }
      return IsRiskyAlongRow(square, side) ? PassedOver : Admitted;
    case EdgeLeftRight:
      if (IsSafeEdgeNeighbour(CellNear(square, -1, 0), side) &&
          IsSafeEdgeNeighbour(CellNear(square, 1, 0), side)) {
        return ChosenAtOnce;
      }
      return IsRiskyAlongColumn(square, side) ? PassedOver : Admitted;
    case RingTopBottom:
      return IsRiskyAlongColumn(square, side) || IsRiskyAlongDiagonals(square, side) ? PassedOver
                                                                                     : Admitted;
    case RingLeftRight:
      return IsRiskyAlongRow(square, side) || IsRiskyAlongDiagonals(square, side) ? PassedOver
                                                                                  : Admitted;
    case CentreSquare:
      break;
  }
  return Admitted;
}

// The used records at the front of the ranked list: all of them, up to the first empty one.
int ListedCount() {
  int listed = 0;
  while (listed < CandidateCapacity && !IsEmptyCandidate(CandidateList[listed]))
    ++listed;
  return listed;
}

struct WalkResult {
  int choice;
  int discs;
  bool cornerTaken;
};

// Walks the ranked list under the square-class rules: a corner, or a middle-edge square whose edge
// neighbours are safe, is taken at once; otherwise the best key among the admitted squares is kept
// (largest opponentMobility, or smallest ownMobility), the earliest among equals.
template <WalkKey walkKey>
WalkResult WalkCandidates(int side, int listed) {
  WalkResult result = {NoSquareCode, 0, false};
  int best = walkKey == OpponentMobilityKey ? 0 : MobilityCeiling;
  for (int k = 0; k < listed; ++k) {
    const Candidate& record = CandidateList[k];
    const Verdict verdict = Judge(record.square, side);
    if (verdict == ChosenAtOnce) {
      return {record.square, record.discs, ClassOf(record.square) == CornerSquare};
    }
    const int key = walkKey == OpponentMobilityKey ? record.opponentMobility : record.ownMobility;
    const bool beaten = walkKey == OpponentMobilityKey ? key <= best : key >= best;
    if (beaten || verdict == PassedOver) continue;
    best = key;
    result.choice = record.square;
    result.discs = record.discs;
  }
  return result;
}

// Without class rules: the first record of the list with the largest opponentMobility, or with the
// smallest ownMobility.
template <WalkKey walkKey>
WalkResult FallBack(int listed) {
  WalkResult result = {NoSquareCode, 0, false};
  int best = walkKey == OpponentMobilityKey ? 0 : MobilityCeiling;
  for (int k = 0; k < listed; ++k) {
    const Candidate& record = CandidateList[k];
    const int key = walkKey == OpponentMobilityKey ? record.opponentMobility : record.ownMobility;
    const bool better = walkKey == OpponentMobilityKey ? key > best : key < best;
    if (!better) continue;
    best = key;
    result.choice = record.square;
    result.discs = record.discs;
  }
  return result;
}

// The first record with the most discs, whatever its class; NoSquareCode when no record has any
// disc.
int MostDiscs(int listed) {
  int best = 0;
  int choice = NoSquareCode;
  for (int k = 0; k < listed; ++k) {
    const Candidate& record = CandidateList[k];
    if (record.discs <= best) continue;
    best = record.discs;
    choice = record.square;
  }
  return choice;
}

bool announceInLetters = false;

// Prints ">code" (or ">d3" in letters) and a line end.
void AnnounceMove(int square) {
  platform::WriteText(">");
  if (announceInLetters) {
    char text[MoveTextLength];
    WriteMoveText(square, text);
    platform::WriteOutput(text, MoveTextLength);
  } else {
    platform::WriteNumber(square);
  }
  platform::WriteText("\n");
}

// The first Empty cell in row-major order on which `side` can move, or NoSquareCode.
int FirstLegalSquare(int side) {
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      if (Board[row][col] == Empty && IsLegalMove(row, col, side)) return SquareCode(row, col);
    }
  }
  return NoSquareCode;
}

// With one cell left, or right after a pass, the COM plays the first legal square it finds; so it
// does when the list was empty (every move would leave the opponent stuck), because a COM that can
// move must move, or two COMs would pass the turn back and forth for ever.
bool TakesFirstLegalSquare(int chosenSquare) {
  return CountCells(Empty) == 1 || PassFlag == 1 || chosenSquare == NoSquareCode;
}

}  // namespace

void AnnounceInLetters(bool letters) {
  announceInLetters = letters;
}

int ChooseComSquare(int side) {
  const int listed = ListedCount();
  WalkResult first = WalkCandidates<OpponentMobilityKey>(side, listed);
  if (first.choice == NoSquareCode) first = FallBack<OpponentMobilityKey>(listed);
  WalkResult second = WalkCandidates<OwnMobilityKey>(side, listed);
  const bool cornerTaken = second.cornerTaken;
  if (second.choice == NoSquareCode) second = FallBack<OwnMobilityKey>(listed);

  int choice = first.choice;
  // The coin is tossed on every turn, so the generator advances the same way whatever is chosen.
  const bool even = DrawRandom() % 2 == 0;
  if (even && first.discs < second.discs) choice = second.choice;

  // A record without discs never replaces the choice, so a list of such records keeps it.
  if (MoveCount >= LateGameMoveCount && !cornerTaken) {
    if (const int most = MostDiscs(listed); most != NoSquareCode) choice = most;
  }
  return choice;
}

int PlaceComMove(int side, int chosenSquare) {
  if (TakesFirstLegalSquare(chosenSquare)) {
    const int first = FirstLegalSquare(side);
    if (first == NoSquareCode) return NoSquareCode;
    // An Empty cell where the move encloses is always played.
    PlaceDisc(SquareRow(first), SquareColumn(first), side);
    AnnounceMove(first);
    PassFlag = 0;
    return first;
  }
  if (!PlaceDisc(SquareRow(chosenSquare), SquareColumn(chosenSquare), side)) return NoSquareCode;
  AnnounceMove(chosenSquare);
  return chosenSquare;
}

int PickComSquare(int side) {
  if (ComLevel(side) >= FirstSearchingLevel) {
    const int coin = DrawRandom();
    return ChooseSearchedSquare(side, ComLevel(side), coin);
  }
  RankCandidates(side);
  const int chosen = ChooseComSquare(side);
  return TakesFirstLegalSquare(chosen) ? FirstLegalSquare(side) : chosen;
}

int ChooseComMove(int side) {
  if (ComLevel(side) >= FirstSearchingLevel) return PlaySearchedMove(side);
  RankCandidates(side);
  return PlaceComMove(side, ChooseComSquare(side));
}

}  // namespace reversi
