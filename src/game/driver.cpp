// The game driver: the run, one game after another, and the turn loop.
#include <cstdint>

#include "board/board.h"
#include "coach.h"
#include "com/com.h"
#include "game/game.h"
#include "history.h"
#include "notes.h"
#include "opening.h"
#include "platform/console.h"
#include "record.h"
#include "settings.h"
#include "texts.h"
#include "turn.h"

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

// What one turn did, as the side that played it reports it to the driver.
struct TurnOutcome {
  int answer;  // a HumanTurn value; MoveDone for every COM turn
  int square;  // the SquareCode played, or NoSquareCode for a turn without a disc
};

// Reads a human turn for `side`, asking again while 98 finds no screen `stepsBack` screens back
// to return to.
TurnOutcome ReadHumanTurn(int side, int stepsBack) {
  for (;;) {
    TurnOutcome turn = {MoveDone, NoSquareCode};
    turn.answer = ReadHumanMove(side, turn.square);
    if (turn.answer != UndoRequested || CanGoBack(stepsBack)) return turn;
    ReportNothingToTakeBack();
  }
}

// Plays turns in `mode` from `side` to move until the game ends. False when standard input ended
// on the way, or an ending signal came.
bool PlayTurns(int mode, int side) {
  int quit = 0;
  while (side < GameFinished) {
    // An ending signal ends the game as the input's end does; a COM game reads no input to see it.
    if (platform::EndingRequested()) return false;
    const bool human = HumanPlays(mode, side);
    if (human && GameSettings.undo) KeepScreen(side);
    MarkHints(human ? LegalSquares(side) : 0);
    DrawBoard(side);
    // The board a COM searches over is on the screen while it searches, which at the higher
    // levels takes long enough to be seen: the player's own move shows at once.
    if (!human) platform::FlushOutput();
    const BoardState before = ReadBoardState();
    const TurnOutcome turn =
        human ? ReadHumanTurn(side, 1) : TurnOutcome{MoveDone, ChooseComMove(side)};
    if (turn.answer == InputEnded) return false;
    if (turn.answer == UndoRequested) {
      side = GoBack(1);
      ForgetCoachingFrom(MoveCount);
      continue;
    }
    if (human && GameSettings.coachLevel != 0 && turn.square != NoSquareCode)
      CoachTurn(before, side, turn.square);
    // The latest human turn decides; a COM turn leaves the request as it was.
    if (human) quit = turn.answer;
    // A turn broken off with 99 is no turn of the game: nothing is noted for it or after it.
    const bool noted = quit != QuitRequested;
    if (noted) NoteTurn(side, turn.square);
    bool shown = !human;
    switch (FinishTurn(side)) {
      case MustPass:
        platform::WriteText(Texts().passText);
        if (noted) NotePass(OtherSide(side));
        shown = true;
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
  return true;
}

// Whether this run draws in colour: as the settings ask, "auto" only for a person's screen.
bool WantsColors() {
  switch (GameSettings.color) {
    case ColorAlways:
      return true;
    case ColorAuto:
      return platform::OutputIsInteractive();
    case ColorNever:
      break;
  }
  return false;
}

// Plays the run's game number `gameIndex` (0 for the first) from its mode prompt to the answer at
// its result screen, and returns that answer: MoveDone for a new game, QuitRequested to shut down,
// InputEnded when standard input ended. With taking back on, 98 at the result screen returns to
// the game, and its record line is written only once the result is left for good.
int PlayOneGame(std::uint32_t gameIndex) {
  MoveCount = 0;
  // A pass at the end of the previous game must not change how the COM opens this one.
  PassFlag = 0;
  InitBoard();
  SeedRandom(GameSeed(gameIndex));
  StartGameNotes();
  StartHistory();
  StartCoaching();

  platform::WriteText(Texts().modePrompt);
  platform::WriteText(texts::common::ModeList);
  const int mode = ReadGameMode(LastModeChoice);
  if (mode == InputEnded) return InputEnded;
  StartGameRecord();  // from here on the game has its line, however the run ends
  int side = GameHasOpening(gameIndex) ? PlayOpening() : 0;

  for (;;) {
    if (!PlayTurns(mode, side)) {
      FinishGameRecord();  // the input ended in the middle of the game: kept as it stands
      return InputEnded;
    }
    EndGameRecord();
    if (!GameSettings.undo) WriteGameRecord();
    ShowResult(GameFinished);
    const int choice = ReadHumanTurn(0, 0).answer;
    if (choice != UndoRequested) {
      if (GameSettings.undo) WriteGameRecord();
      // 0 (or a move, which the next game's set-up wipes) starts a new game.
      return choice;
    }
    side = GoBack(0);
    ForgetCoachingFrom(MoveCount);
  }
}

}  // namespace

int FinishTurn(int& side) {
  side = OtherSide(side);
  AdvanceMoveCount();
  const int status = GetTurnStatus(side);
  if (status == MustPass) {
    side = OtherSide(side);
    AdvanceMoveCount();
    PassFlag = 1;
  }
  return status;
}

int RunGame() {
  platform::UseColors(WantsColors());
  AnnounceInLetters(GameSettings.letterSquares);
  platform::SetConsoleTitle(Texts().title);
  for (std::uint32_t gameIndex = 0; PlayOneGame(gameIndex) == MoveDone; ++gameIndex) {
  }
  // Also after the input has ended: the terminal is left in its own colours.
  platform::ResetColors();
  platform::LeaveConsole();
  platform::EndAsRequested();
  return 0;
}

void ResetProgramState() {
  ResetBoardState();
  ResetComState();
  ResetKeyboardState();
  ResetSettingsState();
  ResetNotesState();
  ResetRecordState();
  ResetHistoryState();
  ResetOpeningState();
  ResetCoachState();
  platform::ResetConsoleState();
}

}  // namespace reversi
