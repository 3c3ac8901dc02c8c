// Decimal numbers as text without the C library's formatted output, for the console layer and
// for screens that build their lines themselves, at run time or when compiling. Owns nothing.
#pragma once

namespace reversi::platform {

// The longest decimal int: a sign and ten digits.
inline constexpr int MaxNumberLength = 11;

// Puts `value` in decimal, right-aligned with spaces to at least `minWidth` columns, at `out`;
// returns the length, which is all it writes: never more than the larger of minWidth and
// MaxNumberLength. Usable at compile time, so fixed lines of numbers can be built then.
constexpr int FormatNumber(int value, int minWidth, char* out) {
  constexpr unsigned Radix = 10;
  // The magnitude as unsigned, so that the most negative int needs no special case.
  unsigned magnitude = value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  int digits = 1;
  for (unsigned rest = magnitude / Radix; rest != 0; rest /= Radix)
    ++digits;
  const int length = digits + (value < 0 ? 1 : 0);
  const int width = length < minWidth ? minWidth : length;
  for (int i = 0; i < width - length; ++i)
    out[i] = ' ';
  if (value < 0) out[width - length] = '-';
  for (int i = width - 1; digits > 0; --i, --digits) {
    out[i] = static_cast<char>('0' + magnitude % Radix);
    magnitude /= Radix;
  }
  return width;
}

}  // namespace reversi::platform
