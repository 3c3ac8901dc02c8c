// The move-tree count (perft) built from the game's own rules routines, and the known counts from
// the start position, so that the rules test and the benchmarks count the same tree the same way.
#pragma once

#include <cstdint>

namespace reversi::testing {

// Leaves of the move tree `depth` plies deep from the Board with `side` to move. A forced pass is
// a ply of its own; a finished game is a leaf wherever it ends. The Board is left as found.
std::uint64_t CountMoveTreeLeaves(int side, int depth);

// The deepest depth with a known count below.
inline constexpr int KnownTreeDepth = 9;
// The leaves from the start position with Black to move, by depth 0..KnownTreeDepth.
inline constexpr std::uint64_t StartTreeLeaves[KnownTreeDepth + 1] = {
    1, 4, 12, 56, 244, 1396, 8200, 55092, 390216, 3005288};

}  // namespace reversi::testing
