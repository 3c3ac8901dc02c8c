// The console layer: the only place that talks to the operating system (the console, the record
// file, the clock, the ending signals), the same to the game on every platform, with seams
// through which tests replace input, output and the clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace reversi::platform {

// Returned by ReadInputByte once no more input can come.
inline constexpr int EndOfInput = -1;

// ---- What the game uses -----------------------------------------------------------------------

// The one output routine: every byte the program writes passes through here, unchanged CP932.
// Callers hand over whole runs (a text, a board row) rather than byte by byte: each call has a
// fixed cost of its own.
void WriteOutput(const char* bytes, std::size_t count);
// Writes a NUL-terminated text. Inline so that the length of a literal is known when compiling.
inline void WriteText(const char* text) {
  WriteOutput(text, std::strlen(text));
}
// Writes a decimal number, right-aligned with spaces to at least `minWidth` columns.
void WriteNumber(int value, int minWidth = 0);
// Hands everything written so far to the console. Done before every wait for input.
void FlushOutput();
// Hands everything written so far to the console, then tells whether any of the output failed to
// go out (a full disk, a closed output): true with `reason` naming the first failure.
bool OutputFailed(const char*& reason);

// The next byte of standard input (0..255), or EndOfInput for ever once the input has ended or an
// ending signal has come. Pending output is flushed before the program waits for input.
int ReadInputByte();

// ---- Ending signals: a hang-up, Ctrl+C, a termination request, a closed console ---------------
// The usual pattern: a handler only marks the ending; the game ends as at the input's end (its
// record line written, the terminal given back), then EndAsRequested ends the process.

// Installs the ending signals' handlers; once, at program start. Also makes writes into a pipe
// without a reader fail instead of ending the process.
void StartConsole();
// Whether an ending signal has come; the game asks between turns, where it reads no input.
bool EndingRequested();
// At the very end of a run: when an ending signal has come, ends the process by that signal (so
// the exit status tells what ended it), after flushing the output. Otherwise returns.
void EndAsRequested();

// Titles the console window with CP932 text. Where the title goes among the output (a POSIX
// terminal), the terminal is first asked to keep the title it has on its title stack (xterm's
// CSI 22;0t; a terminal without one ignores it), to be given back by LeaveConsole.
void SetConsoleTitle(const char* cp932Title);
// Gives the terminal back as the program found it, at the end of a run: the title it had.
void LeaveConsole();
// Blanks the console; the next output starts at its top-left corner.
void ClearScreen();
// Calendar time in seconds.
std::uint32_t CalendarSeconds();

// ---- Colour -----------------------------------------------------------------------------------
// Colours travel among the output as SGR sequences (ESC [ n;n m) of the 8/16-colour set: a
// terminal, a pipe and a file get them as they are, the Windows console as its own text
// attributes, and no console layer counts them as columns.

// The SGR sequence that puts the terminal's own colours back.
inline constexpr char ColorReset[] = "\x1b[0m";
// True when standard output is a terminal or a console that a person watches; false for a pipe, a
// file or a test's output seam.
bool OutputIsInteractive();
// Says whether this run's output carries colours (off at start-up); only then does ResetColors
// write anything.
void UseColors(bool on);
bool ColorsInUse();
// Writes ColorReset when colours are in use: before every prompt and at the end of the run, so
// that nothing outside the board keeps a colour (a Windows console gets back the attributes it
// had when the program started). Safe to call at any time, from any exit path.
void ResetColors();

// ---- Decimal numbers as text, for WriteNumber and for screens that build their lines themselves,
// at run time or when compiling, without the C library's formatted output

// The longest decimal int: a sign and ten digits.
inline constexpr int MaxNumberLength = 11;

// Puts `value` in decimal, right-aligned with spaces to at least `minWidth` columns, at `out`;
// returns the length, which is all it writes: never more than the larger of minWidth and
// MaxNumberLength. Usable at compile time, so fixed lines of numbers can be built then.
constexpr int FormatNumber(int value, int minWidth, char* out) {
  constexpr unsigned Radix = 10;
  // The magnitude as unsigned, so that the most negative int needs no special case.
  unsigned magnitude = value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  int digits = 1;
  for (unsigned rest = magnitude / Radix; rest != 0; rest /= Radix)
    ++digits;
  const int length = digits + (value < 0 ? 1 : 0);
  const int width = length < minWidth ? minWidth : length;
  for (int i = 0; i < width - length; ++i)
    out[i] = ' ';
  if (value < 0) out[width - length] = '-';
  for (int i = width - 1; digits > 0; --i, --digits) {
    out[i] = static_cast<char>('0' + magnitude % Radix);
    magnitude /= Radix;
  }
  return width;
}

// ---- Seams for tests --------------------------------------------------------------------------

// Receives output instead of standard output; written bytes arrive at once, unbuffered. A screen
// clear arrives as the ANSI sequence ClearSequence on every platform and the title not at all, so
// a captured dialogue reads the same everywhere.
using OutputSink = void (*)(const char* bytes, std::size_t count);
void RedirectOutput(OutputSink sink);  // nullptr: standard output again
// Receives what would go to standard error instead.
void RedirectErrors(OutputSink sink);  // nullptr: standard error again

// Reads input from these bytes (not copied; they must outlive the reads) instead of standard input.
void RedirectInput(const char* bytes, std::size_t count);
void RestoreStandardInput();

// Makes CalendarSeconds return `seconds`, or the real clock again.
void FixClock(std::uint32_t seconds);
void UseRealClock();

// Forgets buffered input and output, an input end already met and the use of colours; the seams
// stay as they are.
void ResetConsoleState();

// The bytes that clear an ANSI terminal: cursor home, then erase the whole display.
inline constexpr char ClearSequence[] = "\x1b[H\x1b[2J";

// ---- Beyond the console: the record file, a pause, standard error ------------------------------

// The record file is one file the program appends whole lines to; what goes in as a line, and
// when, is the game's to decide.

// Opens `path` for appending as the record file: created when missing, never truncated. False when
// it cannot be opened; `reason` then names the problem in a few English words. A record file
// opened before is closed then.
bool OpenRecordFile(const char* path, const char*& reason);
// Keeps the head of a record line too long for the caller's buffer in a scratch file of this
// process, until the line is appended: AppendRecordLine then puts it first. False when it cannot
// be kept, with `reason`.
bool SaveLineHead(const char* bytes, std::size_t count, const char*& reason);
// Forgets the head kept for a line that is given up.
void ForgetLineHead();
// Appends one whole line to the record file, the kept head first, then `bytes` (which end it with
// "\n"), and forgets the head. The line goes in under an advisory lock that every game takes for
// its lines, so that lines of games running at once never mix, and all or nothing: a write that
// fails takes back what went in of the line, never another game's line. False when no record file
// is open or a write failed, with `reason`.
bool AppendRecordLine(const char* bytes, std::size_t count, const char*& reason);
// Waits about `milliseconds`. Output still buffered stays buffered: flush first what must be seen.
void SleepMilliseconds(int milliseconds);
// Writes a NUL-terminated text to standard error at once, or drops it when that cannot be written.
void WriteErrorText(const char* text);
// Releases the record file and the scratch file, for a test that opens several in one process.
void CloseRecordFile();

// ---- A file read once, front to back (a record file that a game goes on from) ------------------
// One such file at a time, read before the first game; nothing of it is kept open after.

// Opens `path` for reading. False when it cannot be opened; `reason` then names the problem.
bool OpenFileToRead(const char* path, const char*& reason);
// Reads the next bytes into `buffer`, at most `capacity`: their count, 0 at the end of the file,
// negative when reading fails (`reason` then names the problem).
long ReadFromFile(char* buffer, std::size_t capacity, const char*& reason);
// Closes the file from OpenFileToRead, if one is open.
void CloseFileToRead();

}  // namespace reversi::platform
