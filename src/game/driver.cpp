// The game driver: the run, one game after another, and the turn loop.
#include <cstdint>

#include "board/board.h"
#include "com/com.h"
#include "game/game.h"
#include "notes.h"
#include "platform/console.h"
#include "record.h"
#include "settings.h"
#include "texts.h"

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

// Gives the player time to read what was printed under the board before the next screen clears
// it; only when a delay was asked for.
void PauseToShow() {
  if (GameSettings.delayMilliseconds <= 0) return;
  platform::FlushOutput();
  platform::SleepMilliseconds(GameSettings.delayMilliseconds);
}

// The seed of the run's game number `gameIndex` (0 for the first): the chosen seed counted up per
// game, or the clock.
std::uint32_t GameSeed(std::uint32_t gameIndex) {
  if (GameSettings.seeded) return GameSettings.seed + gameIndex;  // unsigned: wraps modulo 2^32
  return platform::CalendarSeconds();
}

// Plays one game from its mode prompt to its end. False when standard input ended on the way.
bool PlayOneGame(std::uint32_t gameIndex) {
  int side = 0;
  int quit = 0;
  MoveCount = 0;
  // A pass at the end of the previous game must not change how the COM opens this one.
  PassFlag = 0;
  InitBoard();
  SeedRandom(GameSeed(gameIndex));
  StartGameNotes();

  platform::WriteText(Texts().modePrompt);
  platform::WriteText(texts::common::ModeList);
  const int mode = ReadGameMode(LastModeChoice);
  if (mode == InputEnded) return false;
  StartGameRecord();

  while (side < GameFinished) {
    const bool human = HumanPlays(mode, side);
    MarkHints(human ? LegalSquares(side) : 0);
    DrawBoard(side);
    BeginTurnNote(side);
    if (human) {
      quit = ReadHumanMove(side);
      if (quit == InputEnded) return false;
    } else {
      ChooseComMove(side);
    }
    // A turn broken off with 99 is no turn of the game: nothing is noted for it or after it.
    const bool noted = quit != QuitRequested;
    if (noted) EndTurnNote(side);
    bool shown = !human;
    side = OtherSide(side);
    AdvanceMoveCount();
    switch (GetTurnStatus(side)) {
      case MustPass:
        platform::WriteText(Texts().passText);
        if (noted) NotePass(side);
        shown = true;
        side = OtherSide(side);
        AdvanceMoveCount();
        PassFlag = 1;
        break;
      case GameOver:
        platform::WriteText(Texts().gameOverText);
        shown = true;
        side = GameFinished;
        break;
      default:
        break;
    }
    // Checked after the status, so a game broken off still has its last turn counted.
    if (quit == QuitRequested) side = GameFinished;
    if (shown) PauseToShow();
  }
  MarkHints(0);
  FinishGameRecord();
  ShowResult(side);
  return true;
}

}  // namespace

int RunGame() {
  platform::SetConsoleTitle(Texts().title);
  for (std::uint32_t gameIndex = 0;; ++gameIndex) {
    if (!PlayOneGame(gameIndex)) {
      FinishGameRecord();  // the input ended in the middle of a game: it is kept as it stands
      break;
    }
    // The final choice: 0 (or a move, which the next game's set-up wipes) starts a new game.
    if (ReadHumanMove(0) != MoveDone) break;
  }
  platform::LeaveConsole();
  return 0;
}

void ResetProgramState() {
  ResetBoardState();
  ResetComState();
  ResetKeyboardState();
  ResetSettingsState();
  ResetNotesState();
  ResetRecordState();
  platform::ResetConsoleState();
}

}  // namespace reversi
