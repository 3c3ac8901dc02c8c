// The console layer on the Windows console: the title call and the command processor's "cls".
// Standard input and output stay in the C runtime's text mode, as a console program's would: line
// ends are CR LF on the wire and LF inside, every other byte passes unchanged, so the console gets
// the CP932 texts as they are. The console's code page is left as the user set it.
#include <fcntl.h>
#include <io.h>
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h maps SetConsoleTitle to its A or W form by a macro, which would rename ours too.
#undef SetConsoleTitle

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/console.h"
#include "platform/os.h"

namespace reversi::platform::os {

namespace {

constexpr int StdinFd = 0;
constexpr int StdoutFd = 1;

// Text mode is the runtime's default, but a linked-in setting (such as a binary-mode object) could
// change it; the output bytes the game is tested for assume text mode, so say it once here.
void UseTextMode() {
  static bool done = false;
  if (done) return;
  done = true;
  _setmode(StdinFd, _O_TEXT);
  _setmode(StdoutFd, _O_TEXT);
}

}  // namespace

void WriteStdout(const char* bytes, std::size_t count) {
  UseTextMode();
  // A closed or broken standard output makes fwrite fail; the rest is dropped, and the game goes
  // on.
  std::fwrite(bytes, 1, count, stdout);
  std::fflush(stdout);
}

long ReadStdin(char* buffer, std::size_t capacity) {
  UseTextMode();
  // The console hands over one line when Enter is pressed, a pipe what it holds. In text mode the
  // runtime turns CR LF into LF and takes Ctrl+Z, the console's end-of-input key, as the end.
  const unsigned request = capacity < INT_MAX ? static_cast<unsigned>(capacity) : INT_MAX;
  return _read(StdinFd, buffer, request);
}

void SetTitle(const char* cp932Title) {
  // Without a console window (Wine with redirected standard handles, say) the call fails, and
  // there is nothing to title: the result is ignored.
  ::SetConsoleTitleA(cp932Title);
}

void ClearScreen() {
  // "cls" runs in a child process on the same console, so what the game wrote before it must
  // have reached the console first.
  FlushOutput();
  std::system("cls");
}

std::uint32_t CalendarSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace reversi::platform::os
