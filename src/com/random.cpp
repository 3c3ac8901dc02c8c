// The COM's pseudo-random generator: state := state * 22695477 + 1 (mod 2^32), giving bits 16..30.
#include "com/com.h"

namespace reversi {

namespace {

constexpr std::uint32_t Multiplier = 22695477U;
constexpr std::uint32_t Increment = 1U;
constexpr int OutputShift = 16;

std::uint32_t RandomState = 0;

}  // namespace

void SeedRandom(std::uint32_t seed) {
  RandomState = seed;
  DrawRandom();
}

int DrawRandom() {
  RandomState = RandomState * Multiplier + Increment;  // unsigned: wraps modulo 2^32
  return static_cast<int>((RandomState >> OutputShift) & static_cast<std::uint32_t>(RandomMax));
}

void ResetRandomState() {
  RandomState = 0;
}

}  // namespace reversi
