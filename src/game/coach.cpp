// The coach: scores from the COM's search (ScoreMoves), which prints nothing and draws no number,
// at the level the player chose; the moves of a game kept in a fixed table for the review.
#include "coach.h"

#include "com/com.h"
#include "notes.h"
#include "platform/console.h"
#include "settings.h"
#include "texts.h"

namespace reversi {

namespace {

// A game has at most SquareCount - 4 placements.
constexpr int CoachedCapacity = SquareCount;
constexpr int ReviewLength = 3;
constexpr int ScoresPerLine = 8;
constexpr int StartDiscs = 4;

struct CoachedMove {
  BoardState before;
  int side;
  int played;
  int best;
  int loss;  // hundredths of a disc against the best move
};

CoachedMove coached[CoachedCapacity];
int coachedCount = 0;
ScoredMove scored[CandidateCapacity];

// Scores the moves of `side` on the Board into `scored`; returns how many.
int ScoreBoard(int side, bool& exact) {
  SearchReport report = {};
  const int count = ScoreMoves(side, GameSettings.coachLevel, scored, report);
  exact = count > 0 && scored[0].exact;
  return count;
}

// Hundredths of a disc rounded to whole discs, halves away from zero.
int WholeDiscs(int hundredths) {
  const int half = ScorePerDisc / 2;
  return (hundredths >= 0 ? hundredths + half : hundredths - half) / ScorePerDisc;
}

// A score with its sign, three columns for scores of one or two digits (" +2", "  0", "-12").
void WriteSignedDiscs(int discs) {
  constexpr int FirstTwoDigitSize = 10;
  const char sign = discs > 0 ? '+' : discs < 0 ? '-' : ' ';
  const int size = discs > 0 ? discs : -discs;
  if (size < FirstTwoDigitSize) platform::WriteText(" ");
  const char text[] = {sign, '\0'};
  platform::WriteText(text);
  platform::WriteNumber(size);
}

}  // namespace

void StartCoaching() {
  coachedCount = 0;
}

void ListMoveScores(int side) {
  const texts::TextSet& text = Texts();
  bool exact = false;
  const int count = ScoreBoard(side, exact);
  platform::WriteText(exact ? text.scoresExactLead : text.scoresEstimatedLead);
  for (int k = 0; k < count; ++k) {
    platform::WriteText("  ");
    WriteSquare(scored[k].square);
    platform::WriteText(":");
    WriteSignedDiscs(WholeDiscs(scored[k].score));
    if (k % ScoresPerLine == ScoresPerLine - 1 || k == count - 1) platform::WriteText("\n");
  }
}

void CoachTurn(const BoardState& before, int side, int played) {
  if (coachedCount == CoachedCapacity) return;
  const BoardState after = ReadBoardState();
  WriteBoardState(before);
  bool exact = false;
  const int count = ScoreBoard(side, exact);
  WriteBoardState(after);
  int playedScore = 0;
  for (int k = 0; k < count; ++k) {
    if (scored[k].square == played) playedScore = scored[k].score;
  }
  if (count == 0) return;
  coached[coachedCount++] = {before, side, played, scored[0].square, scored[0].score - playedScore};
}

void ForgetCoachingFrom(int moveCount) {
  while (coachedCount > 0 && coached[coachedCount - 1].before.moveCount >= moveCount)
    --coachedCount;
}

void WriteCoachReview() {
  const texts::TextSet& text = Texts();
  // The costliest first: a selection of the ReviewLength largest losses of at least one disc.
  int chosen[ReviewLength];
  int chosenCount = 0;
  for (int pick = 0; pick < ReviewLength; ++pick) {
    int largest = -1;
    for (int k = 0; k < coachedCount; ++k) {
      bool taken = false;
      for (int c = 0; c < chosenCount; ++c)
        taken = taken || chosen[c] == k;
      if (taken || WholeDiscs(coached[k].loss) < 1) continue;
      if (largest < 0 || coached[k].loss > coached[largest].loss) largest = k;
    }
    if (largest < 0) break;
    chosen[chosenCount++] = largest;
  }
  if (chosenCount == 0) {
    platform::WriteText(text.reviewNothing);
    return;
  }
  platform::WriteText(text.reviewLead);
  for (int c = 0; c < chosenCount; ++c) {
    const CoachedMove& move = coached[chosen[c]];
    int discs = 0;
    Position position = {};
    for (int row = 0; row < BoardSize; ++row) {
      for (int col = 0; col < BoardSize; ++col) {
        position.cells[row][col] = move.before.cells[row][col];
        discs += move.before.cells[row][col] != Empty ? 1 : 0;
      }
    }
    position.side = move.side;
    platform::WriteText(" ");
    platform::WriteText(move.side == 0 ? text.blackDisc : text.whiteDisc);
    platform::WriteText(text.reviewMoveLead);
    platform::WriteNumber(discs - StartDiscs + 1);
    platform::WriteText(text.reviewMoveTail);
    WriteSquare(move.played);
    platform::WriteText(text.reviewLostLead);
    platform::WriteNumber(WholeDiscs(move.loss));
    platform::WriteText(text.reviewLostTail);
    WriteSquare(move.best);
    platform::WriteText(text.reviewBestTail);
    char board[PositionTextLength];
    WritePositionText(position, board);
    platform::WriteText("   --position='");
    platform::WriteOutput(board, PositionTextLength);
    platform::WriteText("'\n");
  }
}

void ResetCoachState() {
  coachedCount = 0;
}

}  // namespace reversi
