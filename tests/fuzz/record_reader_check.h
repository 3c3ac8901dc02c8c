// Reads arbitrary bytes as the record file behind --resume and checks the reader's answer: one of
// its verdicts, never a crash, and for a game to go on with, moves that play out. Shared by the
// record-file fuzz target and the replay of its seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

// Writes `bytes` to a file of this process in the temporary folder, reads it with ResumeFrom and
// returns the first check that failed, or nullptr. Leaves the program's state as at start-up.
const char* CheckRecordReader(const std::uint8_t* bytes, std::size_t size);

}  // namespace reversi::testing
