// The file a file-reading fuzz target hands its input in: one per target and process, in the
// temporary folder, rewritten for every input.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

// Writes `bytes` to /tmp/reversi-<name>-<process id> and returns its path, or nullptr when it
// cannot be written (then there is nothing to check). The path stays valid for the process.
const char* WriteFuzzFile(const char* name, const std::uint8_t* bytes, std::size_t size);

}  // namespace reversi::testing
