#include "harness.h"

#include <gtest/gtest.h>

#include "board/board.h"
#include "com/com.h"
#include "game/game.h"
#include "game/settings.h"
#include "platform/console.h"

namespace reversi::testing {

namespace {

std::string captured;

void Capture(const char* bytes, std::size_t count) {
  captured.append(bytes, count);
}

}  // namespace

void ResetProcessState() {
  // Redirected first, so that output still buffered goes to the old sink before the reset.
  platform::RedirectOutput(Capture);
  platform::RedirectInput("", 0);
  ResetProgramState();
  platform::FixClock(DefaultClock);
  captured.clear();
}

std::string TakeOutput() {
  std::string out;
  out.swap(captured);
  return out;
}

void FeedInput(std::string_view input) {
  ResetKeyboardState();
  platform::RedirectInput(input.data(), input.size());
}

std::string RunSession(std::string_view input, std::uint32_t clock) {
  ResetProcessState();
  platform::FixClock(clock);
  FeedInput(input);
  EXPECT_EQ(RunGame(), 0);
  return TakeOutput();
}

void SetBoard(std::string_view picture) {
  int index = 0;
  for (char c : picture) {
    Cell cell;
    switch (c) {
      case 'X':
        cell = Black;
        break;
      case 'O':
        cell = White;
        break;
      case '.':
        cell = Empty;
        break;
      default:
        continue;
    }
    ASSERT_LT(index, SquareCount) << "picture has too many cells";
    Board[index / BoardSize][index % BoardSize] = cell;
    ++index;
  }
  ASSERT_EQ(index, SquareCount) << "picture needs exactly 64 cells";
}

std::string Normalised(const char* picture) {
  std::string rows;
  int cells = 0;
  for (const char* c = picture; *c != '\0'; ++c) {
    if (*c == ' ') continue;
    rows += *c;
    if (++cells % BoardSize == 0) rows += '\n';
  }
  return rows;
}

std::string BoardPicture() {
  std::string picture;
  for (int row = 0; row < BoardSize; ++row) {
    for (int col = 0; col < BoardSize; ++col) {
      const Cell cell = Board[row][col];
      picture += cell == Black ? 'X' : cell == White ? 'O' : cell == Empty ? '.' : '?';
    }
    picture += '\n';
  }
  return picture;
}

std::uint32_t SeedWithFirstDraw(bool even) {
  for (std::uint32_t seed = 0;; ++seed) {
    SeedRandom(seed);
    if ((DrawRandom() % 2 == 0) == even) {
      SeedRandom(seed);
      return seed;
    }
  }
}

}  // namespace reversi::testing
