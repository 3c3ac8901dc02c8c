// The console layer on Windows. On a console, output is decoded from CP932 and written as UTF-16,
// so the texts read right whatever code page the console uses, and the cursor is kept on the
// columns a CP932 console would use; the title goes to the console in UTF-16 too. Into a pipe or a
// file the bytes go out unchanged in the C runtime's text mode, as a console program's would: line
// ends are CR LF on the wire and LF inside. The console's code page and modes are never changed.
// The clear blanks a console through its own calls, and runs "cls" only into a pipe or a file.
// Colours reach a console as its text attributes (SetConsoleTextAttribute), and the attributes it
// had at start are put back by the colour reset and when Ctrl+C, Ctrl+Break or closing the window
// ends the program.
#include <fcntl.h>
#include <io.h>
#include "windows/windows_api.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "cp932_columns.h"
#include "os.h"
#include "windows/console_text.h"

namespace reversi::platform::os {

namespace {

constexpr int StdinFd = 0;
constexpr int StdoutFd = 1;
// Far more than the title needs; a longer one is not set.
constexpr std::size_t TitleCapacity = 256;
constexpr int UnknownWidth = 0;
constexpr std::size_t Utf16UnitCount = 0x10000;

bool decided = false;
int stdoutError = 0;  // the error number of the first write that failed
HANDLE output = INVALID_HANDLE_VALUE;
bool outputIsConsole = false;
// The console's text attributes when the program started: the colours everything but the board
// keeps.
bool startAttributesKnown = false;
WORD startAttributes = 0;

// The console's cursor row and buffer size, read once at the start of every write and then kept
// up to date here: reading the console after every character would make a screen slow to draw.
bool cursorKnown = false;
SHORT cursorRow = 0;
SHORT bufferWidth = 0;
SHORT bufferHeight = 0;

// Settles once, before the first byte goes out, how standard output is served. Text mode is the
// runtime's default, but a linked-in setting (such as a binary-mode object) could change it; the
// bytes a pipe or a file is tested for assume text mode, so say it once here.
void Decide() {
  if (decided) return;
  decided = true;
  _setmode(StdinFd, _O_TEXT);
  _setmode(StdoutFd, _O_TEXT);
  output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  outputIsConsole =
      output != nullptr && output != INVALID_HANDLE_VALUE && GetConsoleMode(output, &mode) != 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  startAttributesKnown = outputIsConsole && GetConsoleScreenBufferInfo(output, &info) != 0;
  if (startAttributesKnown) startAttributes = info.wAttributes;
}

// The console's attribute bits of a colour of the 8/16-colour set, whose index has red in bit 0,
// green in bit 1, blue in bit 2 and brightness in bit 3.
WORD ForegroundBits(int color) {
  return static_cast<WORD>(
      ((color & 1) != 0 ? FOREGROUND_RED : 0) | ((color & 2) != 0 ? FOREGROUND_GREEN : 0) |
      ((color & 4) != 0 ? FOREGROUND_BLUE : 0) | ((color & 8) != 0 ? FOREGROUND_INTENSITY : 0));
}
constexpr WORD ForegroundMask =
    FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE | FOREGROUND_INTENSITY;
constexpr int BackgroundShift = 4;  // BACKGROUND_RED is FOREGROUND_RED << 4, and so on
constexpr WORD BackgroundMask = ForegroundMask << BackgroundShift;

// Shows what follows in the colours given (cp932::DefaultColor: the console's own at start).
void SetColors(int foreground, int background) {
  if (!startAttributesKnown) return;
  WORD attributes = startAttributes;
  if (foreground != cp932::DefaultColor)
    attributes = static_cast<WORD>((attributes & ~ForegroundMask) | ForegroundBits(foreground));
  if (background != cp932::DefaultColor)
    attributes = static_cast<WORD>((attributes & ~BackgroundMask) |
                                   (ForegroundBits(background) << BackgroundShift));
  SetConsoleTextAttribute(output, attributes);
}

// Writes UTF-16 text to the console and follows the cursor's row through its line ends.
void WriteToConsole(const wchar_t* text, std::size_t count) {
  for (std::size_t at = 0; at < count;) {
    const DWORD chunk = count - at < MAXDWORD ? static_cast<DWORD>(count - at) : MAXDWORD;
    DWORD written = 0;
    if (WriteConsoleW(output, text + at, chunk, &written, nullptr) == 0 || written == 0) break;
    at += written;
  }
  for (std::size_t i = 0; i < count; ++i) {
    // At the buffer's last row the console scrolls, and the cursor stays on that row.
    if (text[i] == L'\n' && cursorRow < bufferHeight - 1) ++cursorRow;
  }
}

// Puts the cursor at `column` of its row. A column beyond the buffer's width is left to the
// console's own line wrapping.
void MoveToColumn(int column) {
  if (!cursorKnown || column >= bufferWidth) return;
  SetConsoleCursorPosition(output, COORD{static_cast<SHORT>(column), cursorRow});
}

// How many cells the console gives each double-byte character, learned in a screen buffer of our
// own that is never shown: the width depends on the character, the font and the code page, and
// asking the shown buffer after every character would make a screen slow. The wide and full-width
// characters are drawn alike and learned once for all; every other one is learned on its own, into
// a direct table with a place for every UTF-16 unit (128 KB of zeroed static storage, of which the
// system provides only the pages written).
bool wideWidthKnown = false;
int wideWidth = UnknownWidth;
struct LearnedWidth {
  bool learned;
  signed char cells;  // UnknownWidth when the probe could not tell
};
LearnedWidth learnedWidths[Utf16UnitCount];
bool probeTried = false;
HANDLE probeBuffer = INVALID_HANDLE_VALUE;
SHORT probeColumn = 0;
SHORT probeBufferWidth = 0;

// Writes `character` into the hidden buffer, made on first use, and sees how far the cursor moves.
int ProbeWidth(wchar_t character) {
  if (!probeTried) {
    probeTried = true;
    probeBuffer =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (probeBuffer != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(probeBuffer, &info)) {
      probeColumn = info.dwCursorPosition.X;
      probeBufferWidth = info.dwSize.X;
    } else {
      probeBuffer = INVALID_HANDLE_VALUE;
    }
  }
  if (probeBuffer == INVALID_HANDLE_VALUE) return UnknownWidth;
  // Room for the widest character, so that the console's line wrap never blurs the count.
  constexpr SHORT WidestCharacter = 2;
  if (probeColumn + WidestCharacter >= probeBufferWidth) {
    if (!SetConsoleCursorPosition(probeBuffer, COORD{0, 0})) return UnknownWidth;
    probeColumn = 0;
  }
  DWORD written = 0;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!WriteConsoleW(probeBuffer, &character, 1, &written, nullptr) || written != 1 ||
      !GetConsoleScreenBufferInfo(probeBuffer, &info)) {
    return UnknownWidth;
  }
  const int width = info.dwCursorPosition.X - probeColumn;
  probeColumn = info.dwCursorPosition.X;
  return width;
}

// The cells the console gives a double-byte character, learned when it is first shown;
// UnknownWidth when that cannot be learned, and the cursor is then moved after the character.
int CellsOf(wchar_t character) {
  if (character == 0) return UnknownWidth;
  if (cp932::IsAlwaysWide(character)) {
    if (!wideWidthKnown) {
      wideWidthKnown = true;
      wideWidth = ProbeWidth(character);
    }
    return wideWidth;
  }
  LearnedWidth& width = learnedWidths[static_cast<std::uint16_t>(character)];
  if (!width.learned) {
    width.learned = true;
    width.cells = static_cast<signed char>(ProbeWidth(character));
  }
  return width.cells;
}

constexpr console_text::Sinks ConsoleSinks{WriteToConsole, MoveToColumn, CellsOf, SetColors};

// Blanks the whole screen buffer the way the console's own "cls" does, without starting the
// command processor for it: every cell a blank in the current colours, the cursor in the top-left
// corner and the window scrolled there. False when the console refuses.
bool BlankConsole() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(output, &info)) return false;
  const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  constexpr COORD TopLeft{0, 0};
  DWORD done = 0;
  if (!FillConsoleOutputCharacterW(output, L' ', cells, TopLeft, &done) ||
      !FillConsoleOutputAttribute(output, info.wAttributes, cells, TopLeft, &done) ||
      !SetConsoleCursorPosition(output, TopLeft)) {
    return false;
  }
  // The window keeps its size; moved to the top of the buffer, it shows the cursor's corner.
  const SMALL_RECT window{0, 0, static_cast<SHORT>(info.srWindow.Right - info.srWindow.Left),
                          static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top)};
  SetConsoleWindowInfo(output, TRUE, &window);
  return true;
}

}  // namespace

void WriteStdout(const char* bytes, std::size_t count) {
  Decide();
  if (!outputIsConsole) {
    // A closed or broken standard output makes fwrite fail; the rest is dropped, and the game goes
    // on.
    errno = 0;
    if ((std::fwrite(bytes, 1, count, stdout) != count || std::fflush(stdout) != 0) &&
        stdoutError == 0) {
      stdoutError = errno != 0 ? errno : EIO;
    }
    return;
  }
  // Where the cursor is now: the user's typing and the clear have moved it since the last write.
  CONSOLE_SCREEN_BUFFER_INFO info;
  cursorKnown = GetConsoleScreenBufferInfo(output, &info) != 0;
  if (cursorKnown) {
    cursorRow = info.dwCursorPosition.Y;
    bufferWidth = info.dwSize.X;
    bufferHeight = info.dwSize.Y;
    console_text::StartAtColumn(info.dwCursorPosition.X);
  }
  console_text::WriteDecoded(bytes, count, ConsoleSinks);
}

long ReadStdin(char* buffer, std::size_t capacity) {
  Decide();
  // The console hands over one line when Enter is pressed, a pipe what it holds. In text mode the
  // runtime turns CR LF into LF and takes Ctrl+Z, the console's end-of-input key, as the end.
  const unsigned request = capacity < INT_MAX ? static_cast<unsigned>(capacity) : INT_MAX;
  return _read(StdinFd, buffer, request);
}

int StdoutError() {
  return stdoutError;
}

ScreenControl HowScreenIsControlled() {
  return ScreenControl::Requests;
}

bool OutputIsInteractive() {
  Decide();
  return outputIsConsole;
}

void SetTitle(const char* cp932Title) {
  // Without a console window (Wine with redirected standard handles, say) the call fails, and
  // there is nothing to title: the result is ignored.
  wchar_t title[TitleCapacity];
  if (console_text::DecodeText(cp932Title, title, TitleCapacity)) SetConsoleTitleW(title);
}

void BlankConsoleWindow() {
  Decide();
  if (outputIsConsole && BlankConsole()) return;
  // Into a pipe or a file the command processor's "cls" writes nothing, as the game has always
  // done there; it is also what is left where the console refuses the calls above.
  std::system("cls");
}

}  // namespace reversi::platform::os
