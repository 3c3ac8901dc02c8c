// The console game front end: the driver that owns the run (modes, turns, passes, results, new
// game or shut-down), every screen and keyboard dialogue, and the settings the command line fills
// in. Owns one game's driver variables, the keyboard's byte of look-ahead and GameSettings.
#pragma once

#include <cstdint>

namespace reversi {

// ---- Settings ---------------------------------------------------------------------------------

// What the command line asked for. All zero, the program's start-up value, is the plain game.
struct Settings {
  bool english;            // English texts instead of Japanese
  bool hints;              // mark a human side's playable squares
  bool lastMove;           // list the turns since the previous board screen under each board
  int delayMilliseconds;   // pause after a COM move, a pass and the game-over text
  bool seeded;             // the COM's generator starts from `seed` instead of the clock
  std::uint32_t seed;      // the first game's seed; each later game takes the next number
  bool recording;          // the record file is open and gets a line at the end of every game
  const char* recordName;  // the record file's name as given, for messages
};

// The one Settings record: filled once before the first game, read by every game of the run.
extern Settings GameSettings;

// ---- Driver -----------------------------------------------------------------------------------

// Runs the program: titles the console, then plays games until the user shuts down at a result
// screen or standard input ends. Returns the process exit code, always 0.
int RunGame();

// Puts the state of every module (board, COM, keyboard, the settings, the per-game notes and the
// record, the console's buffers) back to how the program finds it at start-up, so one process can
// play run after run as if each were the first. The console's seams for tests (redirected input and
// output, a fixed clock) stay as they are.
void ResetProgramState();

// The four modes as ReadGameMode returns them (the choice typed, plus one).
enum GameMode { PlayerVsPlayer = 1, PlayerVsCom = 2, ComVsPlayer = 3, ComVsCom = 4 };

// ---- Screens ----------------------------------------------------------------------------------

// Clears the console and draws the instructions, the side to move (0: black, anything else:
// white) and the board.
void DrawBoard(int side);

// Draws the final board with DrawBoard(side), the winner, both disc counts and the final prompt.
void ShowResult(int side);

// ---- Keyboard ---------------------------------------------------------------------------------

// What ReadHumanMove reports to the driver.
enum HumanTurn {
  MoveDone = 0,       // a disc was placed, or 0 was entered and nothing placed
  QuitRequested = 1,  // 99 was entered
  InputEnded = -1,    // standard input ended before a number could be read
};

// Asks for a mode until one of 0..maxChoice is entered and returns it plus one; returns InputEnded
// when standard input ends first.
int ReadGameMode(int maxChoice);

// Plays one human turn for `side`, asking until a legal move, 0 or 99 is entered. Also reads the
// final choice after a result screen (side 0: 0 for a new game, 99 to shut down).
int ReadHumanMove(int side);

// Forgets a byte of look-ahead left from earlier input.
void ResetKeyboardState();

}  // namespace reversi
