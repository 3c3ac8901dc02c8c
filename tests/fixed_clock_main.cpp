// The game with its clock stopped at a known second, so that the COM's coin tosses, and with them
// whole games, repeat byte for byte. Built for the end-to-end tests only; the shipped program reads
// the real clock.
#include "game/game.h"
#include "platform/console.h"

namespace {
constexpr std::uint32_t FixedSecond = 1700000000U;
}

int main() {
  reversi::platform::FixClock(FixedSecond);
  return reversi::RunGame();
}
