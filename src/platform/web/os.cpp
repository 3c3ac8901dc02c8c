// The console layer in a web browser: the game runs as WebAssembly in a Web Worker under a
// terminal emulator on a page; terminal.js (linked in front of the program) passes output bytes to
// the page and hands over a line of input when the player has pressed Enter in the page's line
// discipline. So the page gets what a UTF-8 terminal gets: the texts converted from CP932 with
// the column correction, the title and the clear as escape sequences among the output. The clock
// needs nothing here: the C library's time() reads the browser's Date. The record file, the pause
// and standard error are in files.cpp.
#include <emscripten.h>

#include "os.h"
#include "utf8_terminal.h"

namespace reversi::platform::os {

namespace {

// Hands UTF-8 bytes to the terminal on the page. They are copied: the buffer is reused by the next
// write.
EM_JS(void, WriteToTerminal, (const char* bytes, std::size_t count),
      { Module.reversiTerminal.write(HEAPU8.slice(bytes, bytes + count)); });

// Waits, without holding up the page, until the player has finished a line with Enter; puts up to
// `capacity` bytes of it at `buffer` (the rest comes at the next call) and returns their count,
// or 0 once the input has ended. The program is suspended meanwhile and resumed by the worker's
// event loop (Asyncify).
EM_ASYNC_JS(long, ReadFromTerminal, (char* buffer, std::size_t capacity),
            { return await Module.reversiTerminal.read(buffer, capacity); });

}  // namespace

// The converter is opened before the first byte goes out, so that a game in progress never
// allocates; without one the page gets the CP932 bytes unchanged, as a POSIX terminal would.
void WriteStdout(const char* bytes, std::size_t count) {
  utf8_terminal::OpenConverter();
  utf8_terminal::WriteConverted(bytes, count, WriteToTerminal);
}

long ReadStdin(char* buffer, std::size_t capacity) {
  utf8_terminal::OpenConverter();
  const long got = ReadFromTerminal(buffer, capacity);
  utf8_terminal::NoteEchoedInput(buffer, got);  // the page echoes every line
  return got;
}

// The page's terminal never refuses output.
int StdoutError() {
  return 0;
}

// The terminal on the page understands the title and clear sequences like any terminal; it puts
// the title into the document's.
ScreenControl HowScreenIsControlled() {
  return ScreenControl::TitleAndClearInOutput;
}
void SetTitle(const char*) {}
void BlankConsoleWindow() {}

// The page's terminal is watched by the player: --color's "auto" colours the board there.
bool OutputIsInteractive() {
  return true;
}

}  // namespace reversi::platform::os
