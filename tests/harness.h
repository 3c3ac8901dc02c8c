// Test harness: drives the game in-process with chosen input, a fixed clock and a captured
// output, and sets up positions from board pictures.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace reversi::testing {

// The calendar second every in-process session is played at unless a test picks another.
inline constexpr std::uint32_t DefaultClock = 1700000000U;

// Puts every piece of process-wide state back to how the program finds it at start-up, and
// routes output to the capture and input to an empty script.
void ResetProcessState();

// Everything written since the last ResetProcessState or TakeOutput, which empties it.
std::string TakeOutput();

// Feeds `input` as standard input (the text must outlive the reads).
void FeedInput(std::string_view input);

// Runs the whole program on `input` with the clock fixed at `clock` and returns what it wrote.
// The exit code must be 0; a test fails otherwise.
std::string RunSession(std::string_view input, std::uint32_t clock = DefaultClock);

// Sets the Board from a picture of eight rows, top to bottom, each of eight cells:
// 'X' Black, 'O' White, '.' Empty. White space between the cells and the rows is ignored.
void SetBoard(std::string_view picture);

// Positions several tests start from.
inline constexpr const char* EmptyPicture =
    "........ ........ ........ ........ ........ ........ ........ ........";
inline constexpr const char* StartPicture =
    "........ ........ ........ ...OX... ...XO... ........ ........ ........";
// Black can play only 11 and White only 88; either move leaves the other side without a move.
inline constexpr const char* OneMoveEachPicture =
    ".XXXXXXX XOOOOOXX XOXXXXOX XOXXXOOX XXXXXXXX XXXXXXXX XXXXXXXX XXXXXXX.";

// A picture with its blanks removed and a line end after every row, as BoardPicture writes it.
std::string Normalised(const char* picture);

// The Board as such a picture, eight rows of eight cells separated by '\n' (for failure messages).
std::string BoardPicture();

// A seed whose first draw after SeedRandom is even (or odd), so a test can choose the coin toss.
std::uint32_t SeedWithFirstDraw(bool even);

}  // namespace reversi::testing
