// The CP932 decoder on Windows, through the system's code page 932 tables.
#include <windows.h>

#include <cstdio>

#include "cp932.h"

namespace reversi::testing {

namespace {

constexpr UINT Cp932 = 932;

// The length of the CP932 character that starts with `byte`: lead bytes open a two-byte one.
std::size_t CharacterLength(unsigned char byte) {
  return ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) ? 2 : 1;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string utf8;
  for (std::size_t at = 0; at < cp932.size();) {
    std::size_t length = CharacterLength(static_cast<unsigned char>(cp932[at]));
    if (length > cp932.size() - at) length = cp932.size() - at;
    wchar_t wide[2];
    const int wideLength = MultiByteToWideChar(Cp932, MB_ERR_INVALID_CHARS, cp932.data() + at,
                                               static_cast<int>(length), wide, 2);
    char narrow[8];
    const int narrowLength = wideLength > 0
                                 ? WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, narrow,
                                                       sizeof narrow, nullptr, nullptr)
                                 : 0;
    if (narrowLength > 0) {
      utf8.append(narrow, static_cast<std::size_t>(narrowLength));
      at += length;
      continue;
    }
    std::snprintf(narrow, sizeof narrow, "<%02X>", static_cast<unsigned char>(cp932[at]));
    utf8 += narrow;
    ++at;
  }
  return utf8;
}

}  // namespace reversi::testing
