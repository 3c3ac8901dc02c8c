// Prints what the C library's CP932-to-UTF-8 converter (iconv) makes of every byte from 0x80 on,
// alone and followed by each byte: the UTF-8 it wrote, how many bytes it took, and the error that
// stopped it. Built once against a Linux C library and once for the web page, with the page's
// converter (src/platform/web/iconv.cpp, run under node), the two listings must be the same.
#include <errno.h>
#include <iconv.h>

#include <cstddef>
#include <cstdio>

namespace {

constexpr int NoSecondByte = -1;
constexpr int FirstNonAscii = 0x80;
constexpr int LastByte = 0xFF;
constexpr std::size_t OutputRoom = 16;

void Convert(iconv_t converter, int first, int second) {
  char input[2] = {static_cast<char>(first), static_cast<char>(second)};
  char output[OutputRoom];
  char* in = input;
  std::size_t inLeft = second == NoSecondByte ? 1 : 2;
  char* out = output;
  std::size_t outLeft = OutputRoom;
  const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  const char* error = "";
  if (result == static_cast<std::size_t>(-1)) {
    error = errno == EILSEQ ? " EILSEQ" : errno == EINVAL ? " EINVAL" : " other error";
  }
  std::printf(second == NoSecondByte ? "%02X:" : "%02X%02X:", first, second);
  for (const char* c = output; c != out; ++c)
    std::printf(" %02X", static_cast<unsigned char>(*c));
  std::printf(" took %d%s\n", static_cast<int>(in - input), error);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
}

}  // namespace

int main() {
  const iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    std::puts("no CP932 converter");
    return 1;
  }
  for (int first = FirstNonAscii; first <= LastByte; ++first) {
    Convert(converter, first, NoSecondByte);
    for (int second = 0; second <= LastByte; ++second)
      Convert(converter, first, second);
  }
  iconv_close(converter);
  return 0;
}
