// The game driver: the run, one game after another, and the turn loop.
#include "board/board.h"
#include "com/com.h"
#include "game/game.h"
#include "game/texts.h"
#include "platform/console.h"

namespace reversi {

namespace {

// The side value that ends the turn loop.
constexpr int GameFinished = 2;
// The mode prompt offers the choices 0..LastModeChoice.
constexpr int LastModeChoice = ComVsCom - 1;

bool HumanPlays(int mode, int side) {
  switch (mode) {
    case PlayerVsPlayer:
      return true;
    case PlayerVsCom:
      return side == 0;
    case ComVsPlayer:
      return side == 1;
    default:
      return false;
  }
}

// Plays one game from its mode prompt to its end. False when standard input ended on the way.
bool PlayOneGame() {
  int side = 0;
  int quit = 0;
  MoveCount = 0;
  // A pass at the end of the previous game must not change how the COM opens this one.
  PassFlag = 0;
  InitBoard();
  SeedRandom(platform::CalendarSeconds());

  platform::WriteText(texts::ModePrompt);
  platform::WriteText(texts::ModeList);
  const int mode = ReadGameMode(LastModeChoice);
  if (mode == InputEnded) return false;

  while (side < GameFinished) {
    DrawBoard(side);
    if (HumanPlays(mode, side)) {
      quit = ReadHumanMove(side);
      if (quit == InputEnded) return false;
    } else {
      ChooseComMove(side);
    }
    side = OtherSide(side);
    AdvanceMoveCount();
    switch (GetTurnStatus(side)) {
      case MustPass:
        platform::WriteText(texts::PassText);
        side = OtherSide(side);
        AdvanceMoveCount();
        PassFlag = 1;
        break;
      case GameOver:
        platform::WriteText(texts::GameOverText);
        side = GameFinished;
        break;
      default:
        break;
    }
    // Checked after the status, so a game broken off still has its last turn counted.
    if (quit == QuitRequested) side = GameFinished;
  }
  ShowResult(side);
  return true;
}

}  // namespace

int RunGame() {
  platform::SetConsoleTitle(texts::Title);
  for (;;) {
    if (!PlayOneGame()) break;
    // The final choice: 0 (or a move, which the next game's set-up wipes) starts a new game.
    if (ReadHumanMove(0) != MoveDone) break;
  }
  platform::FlushOutput();
  return 0;
}

void ResetProgramState() {
  ResetBoardState();
  ResetComState();
  ResetKeyboardState();
  platform::ResetConsoleState();
}

}  // namespace reversi
