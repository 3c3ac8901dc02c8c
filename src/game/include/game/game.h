// The console game front end: the driver that owns the run (modes, turns, passes, results, new
// game or shut-down), every screen and keyboard dialogue, and the settings the command line fills
// in. Owns one game's driver variables, the keyboard's byte of look-ahead and GameSettings.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace reversi {

// ---- Settings ---------------------------------------------------------------------------------

// When the board is drawn in colour: never (the start-up value), only when standard output is a
// terminal or a console, or always (into a pipe or a file too).
enum ColorWhen { ColorNever = 0, ColorAuto, ColorAlways };

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
  bool ascii;              // every glyph in ASCII: the discs O and X, the empty square "."
  ColorWhen color;         // the board in colour
  bool undo;               // a human side may take back turns with 98
  bool opening;            // games start after the moves SetOpening or ResumeFrom loaded
  bool letterSquares;      // squares as a1..h8: the board's labels, typed moves, the move lines
  int coachLevel;          // the coach's search level (97 and the review); 0: no coach
};

// The one Settings record: filled once before the first game, read by every game of the run.
extern Settings GameSettings;

// ---- Driver -----------------------------------------------------------------------------------

// Runs the program: titles the console, then plays games until the user shuts down at a result
// screen or standard input ends. Returns the process exit code, always 0; after an ending signal
// the game ends as at the input's end, and then the process ends by that signal.
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
  UndoRequested = 2,  // 98 was entered while taking back is on; nothing placed
  InputEnded = -1,    // standard input ended before a number could be read
};

// Asks for a mode until one of 0..maxChoice is entered and returns it plus one; returns InputEnded
// when standard input ends first.
int ReadGameMode(int maxChoice);

// Plays one human turn for `side`, asking until a legal move, 0 or 99 is entered. Also reads the
// final choice after a result screen (side 0: 0 for a new game, 99 to shut down).
int ReadHumanMove(int side);
// The same, telling in `played` the SquareCode placed, or NoSquareCode when no disc was placed.
int ReadHumanMove(int side, int& played);

// Tells the player who entered 98 that there is no turn to take back, in the style of the other
// refused entries; the caller then asks again.
void ReportNothingToTakeBack();

// Forgets a byte of look-ahead left from earlier input.
void ResetKeyboardState();

// ---- Games that start after given moves -------------------------------------------------------
// Moves in the record's notation: a square as its column letter a..h (either case) and row digit
// 1..8, "PA" (either case) for a turn given up, passes that were forced left out. They are played
// through the rules as two people would have typed them, black first, so that a game starts with
// the side to move, MoveCount and PassFlag those moves leave.

enum class OpeningVerdict {
  Playable,     // the moves were loaded; a game can start after them
  NotASquare,   // `move` is neither a square nor "PA"
  IllegalMove,  // `side` cannot play `move` there
  AfterTheEnd,  // `move` comes after neither side could move any more
  EndsTheGame,  // after the last move neither side can move
  TooLong,      // more moves than OpeningCapacity
};

// The longest list of moves a game can start after.
inline constexpr int OpeningCapacity = 2048;

struct OpeningCheck {
  OpeningVerdict verdict;
  int moveNumber;  // the move the verdict is about, counted from 1
  char move[3];    // that move as written (one character when the list ends in half a move)
  int side;        // whose move it was: 0 black, 1 white
};

// Checks `moves` by playing them and, when they are playable, keeps them as the start of every
// game of the run. Settings.opening is the caller's to set. The Board and counters are left as the
// moves leave them; every game sets them up again.
OpeningCheck SetOpening(const char* moves);

// Keeps `position` as the board every game of the run starts from, in place of the usual four
// discs; moves kept by SetOpening afterwards are played on it. A side to move without a move is
// passed over. EndsTheGame when neither side can move on it; Playable otherwise.
// Settings.opening is the caller's to set.
OpeningCheck SetStartPosition(const Position& position);

enum class ResumeVerdict {
  Ready,           // the last game's moves are kept as the first game's start
  CannotRead,      // the file cannot be opened or read; `reason` says why
  NoGame,          // the file holds no line
  NotARecordLine,  // line `lineNumber` is not a transcript line with its counts
  TooLong,         // the last line, `lineNumber`, has more moves than OpeningCapacity
  Finished,        // the last line's game is over
};

struct ResumeCheck {
  ResumeVerdict verdict;
  long lineNumber;     // the line the verdict is about; for Ready and Finished the last one
  const char* reason;  // CannotRead: the system's reason
};

// Reads the record file `path` and keeps the moves of its last line as the start of the run's
// first game (later games start as usual), when every line is a record line and the last game is
// not finished. The last line's counts must be those its moves leave. Settings.opening as above.
ResumeCheck ResumeFrom(const char* path);

}  // namespace reversi
