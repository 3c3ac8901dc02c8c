// Test helper: turns the program's CP932 output into UTF-8, so that tests can spell expected
// screens in readable Japanese and still compare every byte. Bytes that are not valid CP932 come
// out as "<XX>" (hex), which no expected text contains, so a damaged text can never pass.
#pragma once

#include <string>
#include <string_view>

namespace reversi::testing {

// Decodes CP932 bytes into UTF-8. ASCII, escape sequences included, passes through unchanged.
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace reversi::testing
