// The CP932 decoder on POSIX systems, through iconv (glibc carries CP932 in its gconv modules).
#include <iconv.h>

#include <cerrno>
#include <cstdio>

#include "cp932.h"

namespace reversi::testing {

std::string Cp932ToUtf8(std::string_view cp932) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "<no CP932 decoder>";
  std::string utf8;
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  while (inLeft > 0) {
    char chunk[256];
    char* out = chunk;
    std::size_t outLeft = sizeof chunk;
    const std::size_t done = iconv(converter, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    utf8.append(chunk, static_cast<std::size_t>(out - chunk));
    if (done != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // Invalid or cut-off sequence: show the byte and carry on after it.
    char hex[8];
    std::snprintf(hex, sizeof hex, "<%02X>", static_cast<unsigned char>(*in));
    utf8 += hex;
    ++in;
    --inLeft;
  }
  iconv_close(converter);
  return utf8;
}

}  // namespace reversi::testing
