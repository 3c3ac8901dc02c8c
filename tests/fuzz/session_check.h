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

// The options a session is played with, as the command line would set them.
struct SessionOptions {
  bool english;
  bool hints;
  bool lastMove;
  bool seeded;
  std::uint32_t seed;
  bool recording;  // a record file that takes every line and keeps nothing
  bool undo;
  const char* opening;  // --from's moves, or nullptr; checked with SetOpening when played
};

// Draws the options from the first bytes of a fuzzer's input: a byte of flags (1 English, 2 hints,
// 4 last move, 8 seeded, 16 record, 32 undo, 64 from), then, when seeded, the seed in four bytes,
// high byte first, then, with from, a byte of length and that many bytes of moves. Returns how
// many bytes it took; the rest is the session's standard input.
std::size_t DrawOptions(const std::uint8_t* bytes, std::size_t size, SessionOptions& options);

// Resets every piece of process-wide state, runs the program on these bytes with the clock fixed
// at DefaultClock and the options given (none: the plain program), and checks it throughout.
// Allocates nothing and never exits the process itself.
SessionReport RunCheckedSession(const std::uint8_t* bytes, std::size_t size,
                                FailureHook onFailure = nullptr,
                                const SessionOptions* options = nullptr);

}  // namespace reversi::testing
