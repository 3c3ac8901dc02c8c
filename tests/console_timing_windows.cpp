// Test helper, Windows only: times how long the console layer takes to put one board screen on a
// real console, the clear aside; run it inside console_session. The screen is the game's own
// opening board, drawn again and again over the last one. Prints the figures on standard error.
#include "platform/windows/windows_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "game/game.h"
#include "platform/console.h"

namespace {

constexpr int Rounds = 50;
std::string screen;

void Capture(const char* bytes, std::size_t count) {
  screen.append(bytes, count);
}

}  // namespace

int main() {
  reversi::InitBoard();
  reversi::platform::RedirectOutput(Capture);
  reversi::DrawBoard(0);
  reversi::platform::RedirectOutput(nullptr);
  const std::size_t clearLength = std::strlen(reversi::platform::ClearSequence);
  if (screen.compare(0, clearLength, reversi::platform::ClearSequence) == 0)
    screen.erase(0, clearLength);

  const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> milliseconds;
  for (int round = 0; round < Rounds; ++round) {
    SetConsoleCursorPosition(console, COORD{0, 0});
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    reversi::platform::WriteOutput(screen.data(), screen.size());
    reversi::platform::FlushOutput();
    QueryPerformanceCounter(&end);
    milliseconds.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                           static_cast<double>(frequency.QuadPart));
  }
  // The first round also learns the console's width of every character on the board screen.
  const double first = milliseconds.front();
  std::sort(milliseconds.begin(), milliseconds.end());
  std::fprintf(stderr,
               "board screen on the console: median %.2f ms, fastest %.2f ms, slowest %.2f ms, "
               "first %.2f ms (%d rounds)\n",
               milliseconds[Rounds / 2], milliseconds.front(), milliseconds.back(), first, Rounds);
  return 0;
}
