// The COM's pseudo-random generator: state := state * 22695477 + 1 (mod 2^32), giving bits 16..30.
#include "com/com.h"

namespace reversi {

namespace {

constexpr std::uint32_t Multiplier = 22695477U;
constexpr std::uint32_t Increment = 1U;
constexpr int OutputShift = 16;

std::uint32_t generatorState = 0;

}  // namespace

void SeedRandom(std::uint32_t seed) {
  generatorState = seed;
  DrawRandom();
}

int DrawRandom() {
  generatorState = generatorState * Multiplier + Increment;  // unsigned: wraps modulo 2^32
  return static_cast<int>((generatorState >> OutputShift) & static_cast<std::uint32_t>(RandomMax));
}

void ResetRandomState() {
  generatorState = 0;
}

RandomState ReadRandomState() {
  return {generatorState};
}

void WriteRandomState(RandomState state) {
  generatorState = state.state;
}

}  // namespace reversi
