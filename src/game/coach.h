// The coach (--coach): the score of every move on a human turn, asked for with 97, and on the
// result screen a review of the human sides' costliest moves, each with the board to try it again.
// It only reads the position: the COM's play and its coin stay as they would be without it. Private
// to src/game.
#pragma once

#include "board/board.h"

namespace reversi {

// Forgets the previous game's moves.
void StartCoaching();

// Writes every legal move of `side` with its score in discs, best first, under the board.
void ListMoveScores(int side);

// Scores the move `played` (a SquareCode) that `side` made on the position `before`, against the
// best move there, for the review. The Board is left as it is.
void CoachTurn(const BoardState& before, int side, int played);

// Forgets the moves made from a position with MoveCount `moveCount` or later: they were taken
// back.
void ForgetCoachingFrom(int moveCount);

// Writes the review of the costliest moves, for the result screen.
void WriteCoachReview();

// Puts the coach back to its start-up state.
void ResetCoachState();

}  // namespace reversi
