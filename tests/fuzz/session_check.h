// Plays whole sessions in-process on arbitrary bytes as standard input and checks, at every screen,
// every COM move and every refused entry, that the game is in a state a real game can reach.
// Owns the checker's own state (the last board seen, the output tail); shared by the fuzz target
// and the corpus replay, and reset at the start of every session like the game itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

struct SessionReport {
  const char* failure = nullptr;   // the first check that failed, or nullptr when all held
  std::uint64_t outputDigest = 0;  // FNV-1a over every byte written, to compare repeated runs
  std::size_t outputBytes = 0;
  int games = 0;       // mode prompts shown
  int comMoves = 0;    // COM moves announced and checked
  int humanMoves = 0;  // other placed moves found and checked
};

// Called at the first failed check, while the game is still running: a game stuck in a loop that
// reads no input would otherwise never come back to report it.
using FailureHook = void (*)(const char* failure);

// Resets every piece of process-wide state, runs the program on these bytes with the clock fixed
// at DefaultClock, and checks it throughout. Allocates nothing and never exits the process itself.
SessionReport RunCheckedSession(const std::uint8_t* bytes, std::size_t size,
                                FailureHook onFailure = nullptr);

}  // namespace reversi::testing
