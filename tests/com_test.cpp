// The COM: trial values, the ranked candidate order (ties included), the choice among ranked
// candidates under the square-class rules, the coin toss and the late-game rule, and the placement.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "board/board.h"
#include "com/com.h"
#include "harness.h"

namespace reversi {
namespace {

using testing::BoardPicture;
using testing::EmptyPicture;
using testing::Normalised;
using testing::OneMoveEachPicture;
using testing::SeedWithFirstDraw;
using testing::SetBoard;
using testing::StartPicture;
using testing::TakeOutput;

class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

// The most records a constructed list holds in these tests; unused ones stay all zero (empty).
constexpr int ListedMax = 6;
using ShortList = Candidate[ListedMax];

void SetList(const ShortList& records) {
  for (Candidate& record : CandidateList)
    record = {0, 0, 0, 0};
  for (int k = 0; k < ListedMax; ++k)
    CandidateList[k] = records[k];
}

// The squares of the used records, in list order, e.g. "56 65 43 34".
std::string ListedSquares() {
  std::string squares;
  for (const Candidate& record : CandidateList) {
    if (record.square == 0) break;
    if (!squares.empty()) squares += ' ';
    squares += std::to_string(record.square);
  }
  return squares;
}

int UsedRecords() {
  int used = 0;
  for (const Candidate& record : CandidateList) {
    used += (record.square | record.discs | record.ownMobility | record.opponentMobility) != 0;
  }
  return used;
}

// Seeds the generator so that the next draw has the chosen parity, and returns the draw that
// should follow it, so a test can tell how many numbers a turn drew.
int SeedForCoin(bool even) {
  const std::uint32_t seed = SeedWithFirstDraw(even);
  DrawRandom();
  const int second = DrawRandom();
  SeedRandom(seed);
  return second;
}

// ---- Trial move ---------------------------------------------------------------------------------

struct TrialCase {
  const char* name;
  const char* picture;
  int side;
  int square;
  int result;
  int discs;  // -1: not written
};

const TrialCase TrialCases[] = {
    {"start, Black on 34", StartPicture, 0, 34, 303, 3},
    {"start, Black on 65", StartPicture, 0, 65, 303, 3},
    {"start, White on 35", StartPicture, 1, 35, 303, 3},
    {"start, White on 64", StartPicture, 1, 64, 303, 3},
    {"start, Black on a White square", StartPicture, 0, 35, 0, -1},
    {"start, Black on an occupied square", StartPicture, 0, 44, 0, -1},
    {"start, Black on a square that encloses nothing", StartPicture, 0, 11, 0, -1},
    // Two directions: 4 discs with only 45 turned plus 4 with only 35 turned; the mobility is taken
    // with only 35 turned and 36 still empty.
    {"after 34 and 35, Black on 36",
     "........ ........ ...XO... ...XO... ...XO... ........ ........ ........", 0, 36, 506, 8},
    {"a square already taken, though a run beside it would be enclosed: no trial at all",
     "........ ........ ........ ...OOX.. ...XO... ........ ........ ........", 0, 44, 0, -1},
    {"a square of the mover's own, beside a run it would enclose",
     "........ ........ ........ ..XOOX.. ...XO... ........ ........ ........", 0, 43, 0, -1},
    {"encloses, but the trial position leaves nobody a move",
     ".XO..... ........ ........ ........ ........ ........ ........ ........", 1, 11, 0, 2},
};

TEST_F(ComTest, TryMoveGivesTheTrialValues) {
  for (const TrialCase& c : TrialCases) {
    SCOPED_TRACE(c.name);
    SetBoard(c.picture);
    const std::string before = BoardPicture();
    int discs = -1;
    EXPECT_EQ(TryMove(SquareRow(c.square), SquareColumn(c.square), c.side, discs), c.result);
    EXPECT_EQ(discs, c.discs);
    EXPECT_EQ(BoardPicture(), before);
    EXPECT_EQ(MoveCount, 0);
    EXPECT_EQ(PassFlag, 0);
  }
}

// ---- Ranking ------------------------------------------------------------------------------------

TEST_F(ComTest, RankingOrdersTiesTheWayTheExchangeSortLeavesThem) {
  struct {
    ShortList entered;
    const char* ranked;
  } const cases[] = {
      {{{11, 0, 0, 2}, {12, 0, 0, 5}, {13, 0, 0, 2}, {14, 0, 0, 1}, {15, 0, 0, 5}, {16, 0, 0, 2}},
       "15 12 16 13 11 14"},
      {{{21, 0, 0, 1}, {22, 0, 0, 1}}, "22 21"},
      {{{21, 0, 0, 1}, {22, 0, 0, 1}, {23, 0, 0, 1}}, "23 22 21"},
      {{{34, 3, 3, 3}, {43, 3, 3, 3}, {56, 3, 3, 3}, {65, 3, 3, 3}}, "56 65 43 34"},
      {{{21, 0, 0, 7}}, "21"},
      {{}, ""},
  };
  for (const auto& c : cases) {
    SetList(c.entered);
    SortCandidates(0, CandidateCapacity - 1);
    ReverseCandidates();
    EXPECT_EQ(ListedSquares(), c.ranked);
    int entered = 0;
    for (const Candidate& record : c.entered)
      entered += record.square != 0;
    EXPECT_EQ(UsedRecords(), entered) << "empty records stay behind";
  }
}

TEST_F(ComTest, RankingKeepsEveryRecordAndSortsByOpponentMobility) {
  // A spread of keys with many ties; the fields travel with their record.
  std::uint32_t state = 7;
  for (int filled : {1, 9, 40, 60}) {
    for (Candidate& record : CandidateList)
      record = {0, 0, 0, 0};
    int keySum = 0;
    for (int k = 0; k < filled; ++k) {
      state = state * 1103515245U + 12345U;
      const int key = 1 + static_cast<int>((state >> 16) % 6);
      CandidateList[k] = {11 + k, key * 2, key * 3, key};
      keySum += key;
    }
    SortCandidates(0, CandidateCapacity - 1);
    ReverseCandidates();
    int seenSum = 0;
    for (int k = 0; k < CandidateCapacity; ++k) {
      const Candidate& record = CandidateList[k];
      if (k >= filled) {
        EXPECT_EQ(record.square, 0) << "position " << k;
        continue;
      }
      EXPECT_EQ(record.discs, record.opponentMobility * 2);
      EXPECT_EQ(record.ownMobility, record.opponentMobility * 3);
      if (k > 0) {
        EXPECT_GE(CandidateList[k - 1].opponentMobility, record.opponentMobility);
      }
      seenSum += record.opponentMobility;
    }
    EXPECT_EQ(seenSum, keySum);
  }
}

TEST_F(ComTest, SortingAnEmptyOrOneRecordRangeChangesNothing) {
  const ShortList records = {{11, 1, 1, 1}, {12, 2, 2, 9}, {13, 3, 3, 4}};
  SetList(records);
  SortCandidates(1, 1);
  SortCandidates(2, 0);
  EXPECT_EQ(ListedSquares(), "11 12 13");
}

TEST_F(ComTest, RankCandidatesBuildsTheListFromTheBoard) {
  SetBoard(StartPicture);
  const ShortList stale = {{88, 9, 9, 9}, {77, 9, 9, 9}};  // left from an earlier turn
  SetList(stale);
  RankCandidates(0);
  EXPECT_EQ(ListedSquares(), "56 65 43 34");
  EXPECT_EQ(UsedRecords(), 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(CandidateList[k].discs, 3);
    EXPECT_EQ(CandidateList[k].ownMobility, 3);
    EXPECT_EQ(CandidateList[k].opponentMobility, 3);
  }
  EXPECT_EQ(BoardPicture(), Normalised(StartPicture));

  // The only legal move leaves the opponent without a move, so nothing is listed, and nothing of
  // the previous turn survives.
  for (int side = 0; side < SideCount; ++side) {
    SetBoard(OneMoveEachPicture);
    SetList(stale);
    RankCandidates(side);
    EXPECT_EQ(UsedRecords(), 0) << "side " << side;
  }
}

// ---- Choice -------------------------------------------------------------------------------------

// One constructed ranked list on a board, and the square chosen with an even and an odd draw.
struct ChoiceCase {
  const char* name;
  int side;
  int moveCount;
  const char* discs;  // on an empty board, see SetDiscs
  ShortList list;     // square, discs, ownMobility, opponentMobility
  int whenEven;
  int whenOdd;
};

// The centre square 66 is the plain alternative in the class cases. Ahead of it, with the larger
// opponentMobility and the smaller ownMobility, the judged square is played unless a class rule
// passes it over.
constexpr ChoiceCase AheadOfCentre(const char* name, int side, const char* discs, int square,
                                   int chosen) {
  return {name, side, 0, discs, {{square, 2, 1, 9}, {66, 3, 2, 4}}, chosen, chosen};
}

// Behind 66 and worse on both keys, the judged square is played only when the walks take it at
// once as a safe middle edge.
constexpr ChoiceCase BehindCentre(const char* name, int side, const char* discs, int square,
                                  int chosen) {
  return {name, side, 0, discs, {{66, 3, 2, 4}, {square, 2, 5, 1}}, chosen, chosen};
}

// clang-format off
const ChoiceCase ChoiceCases[] = {
    // The coin and the late-game rule.
    {"first walk by opponent mobility, second by own; 12 is never taken by a walk", 0, 0, "", {{35, 5, 6, 7}, {46, 9, 2, 4}, {12, 12, 1, 3}}, 46, 35},
    {"the same at MoveCount 47", 0, 47, "", {{35, 5, 6, 7}, {46, 9, 2, 4}, {12, 12, 1, 3}}, 46, 35},
    {"from MoveCount 48 the most discs win, whatever the class", 0, 48, "", {{35, 5, 6, 7}, {46, 9, 2, 4}, {12, 12, 1, 3}}, 12, 12},
    {"equal disc counts keep the first walk's square", 0, 0, "", {{35, 5, 6, 7}, {46, 5, 2, 4}}, 35, 35},
    {"equal records: the first in the list", 1, 0, "", {{33, 4, 2, 3}, {34, 4, 2, 3}}, 33, 33},
    {"equal records at MoveCount 48: the first in the list", 1, 48, "", {{33, 4, 2, 3}, {34, 4, 2, 3}}, 33, 33},
    {"only corner-adjacent squares: both fall-backs", 0, 0, "", {{22, 3, 4, 5}, {77, 6, 1, 2}}, 77, 22},
    // Every record leaves the opponent one move and none passes the class rules: the first
    // fall-back must still take a record whose opponentMobility is just 1. The second fall-back
    // takes 77, which gives fewer discs, so the first walk's square stays with either draw.
    {"only corner-adjacent squares, opponent mobility 1 throughout", 0, 0, "", {{22, 6, 4, 1}, {77, 3, 1, 1}}, 22, 22},
    {"only corner-adjacent squares: of equal ownMobility the second fall-back keeps the first", 0, 0, "", {{22, 3, 2, 5}, {77, 6, 1, 2}, {71, 9, 1, 1}}, 77, 22},
    {"fall-backs, then the late-game rule", 0, 48, "", {{22, 3, 4, 5}, {77, 6, 1, 2}}, 77, 77},
    {"a corner wins both walks", 0, 0, "", {{33, 8, 2, 6}, {11, 3, 5, 2}}, 11, 11},
    {"a corner taken by the second walk blocks the late-game rule", 0, 60, "", {{33, 8, 2, 6}, {11, 3, 5, 2}}, 11, 11},
    {"the earliest corner wins", 0, 0, "", {{88, 1, 9, 1}, {11, 9, 1, 9}}, 88, 88},
    {"a safe middle edge before a corner wins, and leaves the late-game rule on", 0, 0, "", {{14, 2, 5, 1}, {11, 3, 5, 1}, {33, 9, 9, 1}}, 14, 14},
    {"a safe middle edge at MoveCount 48", 0, 48, "", {{14, 2, 5, 1}, {11, 3, 5, 1}, {33, 9, 9, 1}}, 33, 33},
    {"late game, but no record has discs: the walks' choice stays", 0, 48, "", {{33, 0, 2, 3}, {34, 0, 1, 2}}, 33, 33},
    {"among equal keys the walks keep the first", 0, 0, "", {{33, 1, 5, 6}, {34, 9, 5, 6}, {35, 7, 5, 6}}, 33, 33},
    // Top and bottom middle edges: taken at once when neither neighbour along the edge is the
    // opponent's; otherwise passed over when the horizontal pair sums to the opponent's cell code.
    BehindCentre("14, neighbours empty: taken at once", 0, "", 14, 14),
    BehindCentre("14, own neighbours: taken at once", 0, "X13 X15", 14, 14),
    BehindCentre("14, the cell below does not matter", 0, "O24", 14, 14),
    BehindCentre("14, opponent on the left: not taken at once", 0, "O13", 14, 66),
    BehindCentre("14, opponent on the right: not taken at once", 0, "O15", 14, 66),
    AheadOfCentre("14, opponent and empty: passed over", 0, "O13", 14, 66),
    AheadOfCentre("14, opponent on both sides: admitted", 0, "O13 O15", 14, 14),
    AheadOfCentre("14, opponent and own: admitted", 0, "O13 X15", 14, 14),
    AheadOfCentre("14 for White, Black and empty: passed over", 1, "X13", 14, 66),
    AheadOfCentre("14 for White, Black on both sides: admitted", 1, "X13 X15", 14, 14),
    BehindCentre("14 for White, own neighbours: taken at once", 1, "O13 O15", 14, 14),
    BehindCentre("85, opponent on the right: not taken at once", 0, "O86", 85, 66),
    // Left and right middle edges: the neighbours above and below, then the vertical pair.
    BehindCentre("41, neighbours empty: taken at once", 0, "", 41, 41),
    BehindCentre("41, the cell to its right does not matter", 0, "O42", 41, 41),
    BehindCentre("41, opponent above: not taken at once", 0, "O31", 41, 66),
    AheadOfCentre("41, opponent above and empty below: passed over", 0, "O31", 41, 66),
    AheadOfCentre("41, opponent above and below: admitted", 0, "O31 O51", 41, 41),
    BehindCentre("48, opponent below: not taken at once", 0, "O58", 48, 66),
    // Inner ring, top and bottom: the vertical and both diagonal pairs, not the horizontal one.
    AheadOfCentre("24, nothing around: admitted", 0, "", 24, 24),
    AheadOfCentre("24, vertical pair opponent + empty", 0, "O14", 24, 66),
    AheadOfCentre("24, vertical pair own + own sums to the opponent's code as well", 0, "X14 X34", 24, 66),
    AheadOfCentre("24, vertical pair opponent + opponent: admitted", 0, "O14 O34", 24, 24),
    AheadOfCentre("24, diagonal pair", 0, "O13", 24, 66),
    AheadOfCentre("24, anti-diagonal pair", 0, "O33", 24, 66),
    AheadOfCentre("24, horizontal pair is not looked at", 0, "O23", 24, 24),
    AheadOfCentre("75 for White, vertical pair Black + empty", 1, "X65", 75, 66),
    // Inner ring, left and right: the horizontal and both diagonal pairs, not the vertical one.
    AheadOfCentre("42, horizontal pair", 0, "O41", 42, 66),
    AheadOfCentre("42, diagonal pair", 0, "O31", 42, 66),
    AheadOfCentre("42, anti-diagonal pair", 0, "O33", 42, 66),
    AheadOfCentre("42, vertical pair is not looked at", 0, "O32", 42, 42),
    AheadOfCentre("57 for White, horizontal pair Black + empty", 1, "X58", 57, 66),
};
// clang-format on

// Sets an empty Board with the discs listed by colour and SquareCode, e.g. "O13 X15" ('X' Black,
// 'O' White, as in board pictures).
void SetDiscs(std::string_view discs) {
  SetBoard(EmptyPicture);
  constexpr std::size_t EntryLength = 4;  // colour, two digits, a blank
  for (std::size_t at = 0; at + 2 < discs.size(); at += EntryLength) {
    const int square = (discs[at + 1] - '0') * SquareCodeRadix + (discs[at + 2] - '0');
    Board[SquareRow(square)][SquareColumn(square)] = discs[at] == 'X' ? Black : White;
  }
}

TEST_F(ComTest, ChoiceAmongRankedCandidates) {
  for (const ChoiceCase& c : ChoiceCases) {
    for (bool even : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (even ? ", even draw" : ", odd draw"));
      testing::ResetProcessState();
      SetDiscs(c.discs);
      MoveCount = c.moveCount;
      SetList(c.list);
      const int next = SeedForCoin(even);
      EXPECT_EQ(ChooseComSquare(c.side), even ? c.whenEven : c.whenOdd);
      EXPECT_EQ(DrawRandom(), next) << "one number per turn";
    }
  }
}

TEST_F(ComTest, CornerAdjacentSquaresAreNeverRecordedAndCornersAlwaysWin) {
  for (int square : {12, 17, 21, 22, 27, 28, 71, 72, 77, 78, 82, 87}) {
    SetBoard(EmptyPicture);
    const ShortList records = {{square, 9, 1, 9}, {66, 9, 2, 4}};
    SetList(records);
    SeedForCoin(true);
    EXPECT_EQ(ChooseComSquare(0), 66) << square;
  }
  for (int corner : {11, 18, 81, 88}) {
    const ShortList records = {{66, 9, 1, 9}, {corner, 1, 9, 1}};
    SetList(records);
    SeedForCoin(true);
    EXPECT_EQ(ChooseComSquare(0), corner);
  }
}

TEST_F(ComTest, EmptyListChoosesNothing) {
  SetBoard(StartPicture);
  const ShortList none = {};
  SetList(none);
  for (int moveCount : {0, 48}) {
    MoveCount = moveCount;
    const int next = SeedForCoin(true);
    EXPECT_EQ(ChooseComSquare(0), 0);
    EXPECT_EQ(DrawRandom(), next);
  }
}

// ---- Whole turns --------------------------------------------------------------------------------

struct TurnCase {
  const char* name;
  const char* before;
  int side;
  int passFlag;
  const char* printed;
  const char* after;
  int passFlagAfter;
};

const TurnCase TurnCases[] = {
    {"opening: both walks choose 56", StartPicture, 0, 0, ">56\n",
     "........ ........ ........ ...OX... ...XXX.. ........ ........ ........", 0},
    {"after a pass: the first legal square in row-major order", StartPicture, 0, 1, ">34\n",
     "........ ........ ...X.... ...XX... ...XO... ........ ........ ........", 0},
    {"White after a pass", StartPicture, 1, 1, ">35\n",
     "........ ........ ....O... ...OO... ...XO... ........ ........ ........", 0},
    {"Black's only move leaves White none: still played", OneMoveEachPicture, 0, 0, ">11\n",
     "XXXXXXXX XXOOOOXX XOXXXXOX XOXXXOOX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXX.", 0},
    {"White's only move leaves Black none: still played", OneMoveEachPicture, 1, 0, ">88\n",
     ".XXXXXXX XOOOOOXX XOOXXXOX XOXOXOOX XXXXOXXX XXXXXOXX XXXXXXOX XXXXXXXO", 0},
    {"one empty cell", "XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXO OXXXXX.O", 1,
     0, ">87\n", "XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXO OOOOOOOO", 0},
    {"no legal move at all: nothing happens",
     "OX...... ........ ........ ........ ........ ........ ........ ........", 0, 0, "",
     "OX...... ........ ........ ........ ........ ........ ........ ........", 0},
    {"no legal move after a pass: the flag stays",
     "OX...... ........ ........ ........ ........ ........ ........ ........", 0, 1, "",
     "OX...... ........ ........ ........ ........ ........ ........ ........", 1},
};

TEST_F(ComTest, WholeTurnPlacesPrintsAndClearsThePassFlag) {
  for (const TurnCase& c : TurnCases) {
    for (bool even : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (even ? ", even draw" : ", odd draw"));
      testing::ResetProcessState();
      SetBoard(c.before);
      PassFlag = c.passFlag;
      const int next = SeedForCoin(even);
      const int played = ChooseComMove(c.side);
      const std::string printed = TakeOutput();
      EXPECT_EQ(printed, c.printed);
      // The turn reports the square it announced, or none when it played nothing.
      EXPECT_EQ(played, printed.empty() ? NoSquareCode : std::stoi(printed.substr(1)));
      EXPECT_EQ(BoardPicture(), Normalised(c.after));
      EXPECT_EQ(PassFlag, c.passFlagAfter);
      EXPECT_EQ(DrawRandom(), next) << "one number per turn";
    }
  }
}

TEST_F(ComTest, OneEmptyCellIsPlayedWhateverWasChosen) {
  SetBoard("XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXXO OXXXXX.O");
  EXPECT_EQ(PlaceComMove(1, 44), 87);
  EXPECT_EQ(TakeOutput(), ">87\n");
  EXPECT_EQ(Board[7][6], White);
  EXPECT_EQ(Board[3][3], Black);
}

TEST_F(ComTest, ASquareThatCannotBePlayedIsNeitherPlacedNorAnnounced) {
  SetBoard(StartPicture);
  for (int square : {44, 11}) {  // occupied; encloses nothing
    EXPECT_EQ(PlaceComMove(0, square), NoSquareCode) << square;
    EXPECT_EQ(TakeOutput(), "") << square;
    EXPECT_EQ(BoardPicture(), Normalised(StartPicture)) << square;
  }
}

TEST_F(ComTest, GeneratorSequence) {
  struct {
    std::uint32_t seed;
    int draws[4];
  } const cases[] = {
      {0, {346, 130, 10982, 1090}},
      {1, {130, 10982, 1090, 11656}},
      {1700000000U, {27381, 8621, 85, 10834}},
  };
  for (const auto& c : cases) {
    SeedRandom(c.seed);
    for (int draw : c.draws)
      EXPECT_EQ(DrawRandom(), draw) << "seed " << c.seed;
  }
}

}  // namespace
}  // namespace reversi
