// The engine protocols: the COM's levels and the rules offered to other programs over standard
// input and output, as GTP and as NBoard speak them. A front end beside the console game, on the
// COM and the board; it writes nothing but the protocol's own replies.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace reversi::engine {

// Where the engine's games start and how its COM draws: `start` is the position of every new game
// (nullptr: the usual four discs), `seed` starts the COM's generator once.
struct EngineStart {
  const Position* start;
  std::uint32_t seed;
};

// Answers GTP commands from standard input until "quit" or the input's end; returns the exit code.
int RunGtp(const EngineStart& start);

// Answers NBoard commands from standard input until "quit" or the input's end; returns the exit
// code.
int RunNBoard(const EngineStart& start);

}  // namespace reversi::engine
