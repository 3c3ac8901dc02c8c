// The moves that games start after (--from, --resume): kept once the command line has been read,
// played again at the start of every game they belong to. Private to src/game.
#pragma once

namespace reversi {

// Whether the run's game number `gameIndex` (0 for the first) starts after the kept moves.
bool GameHasOpening(unsigned gameIndex);

// Sets up the start position and plays the kept moves on it, adding each to the game's record
// line; returns the side to move after them. Only for moves SetOpening or ResumeFrom accepted.
int PlayOpening();

// Forgets the kept moves.
void ResetOpeningState();

}  // namespace reversi
