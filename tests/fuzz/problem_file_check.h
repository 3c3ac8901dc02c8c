// Reads arbitrary bytes as a --solve problem file and checks the solver's answer: a table and the
// exit code of agreement, or one line naming the fault with nothing solved; never a crash or a
// hang. Shared by the problem-file fuzz target and the replay of its seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

// Writes `bytes` to a file of this process in the temporary folder, solves it with positions of
// at most a few empty squares allowed (so that every solve is short) and returns the first check
// that failed, or nullptr. Leaves the program's state as at start-up.
const char* CheckProblemFile(const std::uint8_t* bytes, std::size_t size);

}  // namespace reversi::testing
