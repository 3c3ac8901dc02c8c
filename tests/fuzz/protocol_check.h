// Feeds arbitrary bytes to an engine protocol as its standard input and checks what it answers:
// never a crash or a hang, and under GTP one answer of the protocol's form to every command.
// Shared by the protocol fuzz target and the replay of its seed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace reversi::testing {

// The first byte chooses the protocol (even: GTP, odd: NBoard) and the COM's level (1 or 2, so
// that a search stays short); the rest is the input. Returns the first check that failed, or
// nullptr. Leaves the program's state as at start-up.
const char* CheckProtocol(const std::uint8_t* bytes, std::size_t size);

}  // namespace reversi::testing
