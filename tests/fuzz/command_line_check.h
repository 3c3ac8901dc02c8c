// Runs the command line in-process on an argument vector made from arbitrary bytes and checks
// what it answers: a game to start, exit code 0 or 2, never a crash, and output on one stream at
// most. Shared by the command-line fuzz target and the replay of its seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

// Splits `bytes` at NUL bytes into arguments after the program's name (at most a few dozen, each
// as long as it comes), reads them as the program would, and returns the first check that failed,
// or nullptr. No file is created: opening the record file opens /dev/null instead. Allocates
// nothing.
const char* CheckCommandLine(const std::uint8_t* bytes, std::size_t size);

}  // namespace reversi::testing
