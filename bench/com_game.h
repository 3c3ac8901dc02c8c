// The benchmarks' COM-vs-COM game without the screens: the turn order of the driver (moves, the
// pass rule, the end of the game) over the real board and COM routines. Owns no state; shared by
// the micro benchmarks and the screen benchmark, which both need the games' positions.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "com/com.h"
#include "game/game.h"

namespace reversi {

// Plays the COM-vs-COM game of `seed` from a freshly reset program, as the driver would. Before
// each COM turn `beforeTurn(side)` is asked whether to go on (false stops the game there); after
// it, `afterTurn(square, status)` hears the SquareCode played and the TurnStatus of the side to
// move next. False when stopped.
template <typename BeforeTurn, typename AfterTurn>
bool PlayComGame(std::uint32_t seed, BeforeTurn beforeTurn, AfterTurn afterTurn) {
  ResetProgramState();
  InitBoard();
  SeedRandom(seed);
  int side = 0;
  for (;;) {
    if (!beforeTurn(side)) return false;
    const int square = ChooseComMove(side);
    side = OtherSide(side);
    AdvanceMoveCount();
    const int status = GetTurnStatus(side);
    afterTurn(square, status);
    if (status == GameOver) return true;
    if (status == MustPass) {
      side = OtherSide(side);
      AdvanceMoveCount();
      PassFlag = 1;
    }
  }
}

}  // namespace reversi
