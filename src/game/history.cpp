// The history of a game's human board screens: a ring buffer of snapshots, each a copy of every
// module's state that a screen and the turns after it depend on. Restoring a snapshot before
// drawing gives the same screen byte for byte, and the COM the same coin, so the game goes on
// exactly as it did from there.
#include "history.h"

#include "board/board.h"
#include "com/com.h"
#include "notes.h"
#include "record.h"

namespace reversi {

namespace {

struct Snapshot {
  BoardState board;
  RandomState random;
  NotesState notes;
  RecordPosition record;
  int side;
};

// A game has at most SquareCount - 4 turns that place a disc, and every human screen but the
// last ends in a placement, a turn given up with 0, or a take-back (which forgets screens). Only
// turns given up can make a game longer, and then without end (which is why MoveCount saturates
// instead of overflowing); so the history keeps the newest HistoryCapacity screens: every game
// whole with room for some 190 turns given up, beyond that the oldest screens are forgotten and
// taking back stops there.
constexpr int HistoryCapacity = 256;
static_assert(HistoryCapacity > SquareCount);

Snapshot screens[HistoryCapacity];
int oldest = 0;  // index of the oldest kept screen
int kept = 0;    // how many are kept

Snapshot& KeptScreen(int age) {  // age 0: the newest
  return screens[(oldest + kept - 1 - age) % HistoryCapacity];
}

}  // namespace

void StartHistory() {
  oldest = 0;
  kept = 0;
}

void KeepScreen(int side) {
  if (kept == HistoryCapacity) {
    oldest = (oldest + 1) % HistoryCapacity;
    --kept;
  }
  ++kept;
  Snapshot& screen = KeptScreen(0);
  screen.board = ReadBoardState();
  screen.random = ReadRandomState();
  screen.notes = ReadNotesState();
  screen.record = ReadRecordPosition();
  screen.side = side;
}

bool CanGoBack(int stepsBack) {
  return stepsBack < kept && CanReturnToRecordPosition(KeptScreen(stepsBack).record);
}

int GoBack(int stepsBack) {
  const Snapshot& screen = KeptScreen(stepsBack);
  WriteBoardState(screen.board);
  WriteRandomState(screen.random);
  WriteNotesState(screen.notes);
  ReturnToRecordPosition(screen.record);
  const int side = screen.side;
  kept -= stepsBack + 1;
  return side;
}

void ResetHistoryState() {
  StartHistory();
}

}  // namespace reversi
