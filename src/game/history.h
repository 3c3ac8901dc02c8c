// Taking turns back (--undo): the human board screens of the current game, each kept with
// everything it was drawn from, so that going back to one gives the same screen and the same game
// from there. Private to src/game.
#pragma once

namespace reversi {

// Forgets the previous game's screens.
void StartHistory();

// Keeps the state from which the board screen about to be drawn for `side` (a human side) is
// drawn: the Board, MoveCount, PassFlag, the COM's generator, the turns waiting for the last-move
// line and the record line so far.
void KeepScreen(int side);

// Whether there is a screen `stepsBack` screens before the newest kept one to go back to: 1 from a
// human's turn (the newest is the screen being answered), 0 from the final prompt (the newest is
// the game's last human screen).
bool CanGoBack(int stepsBack);

// Puts everything back as it was when that screen was first drawn and returns the side that was to
// move on it. That screen and the newer ones are forgotten: drawing it again keeps it again.
int GoBack(int stepsBack);

// Puts the history back to its start-up state: empty.
void ResetHistoryState();

}  // namespace reversi
