// The console layer on the Windows console: the title call and the command processor's "cls".
// Output goes through the C runtime's stdout in text mode, so the console sees CP932 bytes
// unchanged; the console's code page is left as the user set it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/console.h"
#include "platform/os.h"

namespace reversi::platform::os {

void WriteStdout(const char* bytes, std::size_t count) {
  std::fwrite(bytes, 1, count, stdout);
  std::fflush(stdout);
}

long ReadStdin(char* buffer, std::size_t capacity) {
  // One line at a time, so that a typed move is handed over as soon as Enter is pressed.
  std::size_t got = 0;
  while (got < capacity) {
    const int c = std::getchar();
    if (c == EOF) break;
    buffer[got++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  return static_cast<long>(got);
}

void SetTitle(const char* cp932Title) {
  SetConsoleTitleA(cp932Title);
}

void ClearScreen() {
  FlushOutput();
  std::system("cls");
}

std::uint32_t CalendarSeconds() {
  return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace reversi::platform::os
