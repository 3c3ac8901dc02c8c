// The C library's character converter, for the web build: the one conversion the console layer
// asks of it, CP932 to UTF-8, done by the browser's own decoder. The C library that comes with
// the WebAssembly compiler knows no CP932: its Shift_JIS is plain JIS X 0208, without the Windows
// extensions (NEC row 13, the IBM kanji) and with seven symbols mapped apart (0x8160 as U+301C
// where CP932 has U+FF5E, and so on); compared pair by pair with the C library of a Linux system,
// 2380 characters were missing and 3386 byte pairs that are no character were taken. The
// Encoding Standard defines a browser's "shift_jis" decoder as code page 932; with the two
// corrections in ConvertCharacter, this converter gives every byte and byte pair as the Linux one
// does, in Chromium and in node (tests/web/cp932_conversions.cpp). Defining iconv_open, iconv and
// iconv_close here keeps the C library's own out of the link.
#include <emscripten.h>
#include <errno.h>
#include <iconv.h>

#include <cstddef>
#include <cstring>

namespace {

// CP932 lead bytes, each taking a second byte.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr unsigned char FirstNonAscii = 0x80;
constexpr int NoCharacter = -1;
constexpr int NoRoom = -2;

// Decodes one CP932 character (`length` bytes) into UTF-8 at `utf8`, at most `capacity` bytes;
// returns their count, NoCharacter when the bytes are no character, NoRoom when it does not fit.
// The decoder is made on first use and kept.
EM_JS(int, DecodeCp932Character, (const unsigned char* bytes, int length, char* utf8, int capacity),
      {
        if (!Module.reversiCp932) {
          Module.reversiCp932 = new TextDecoder("shift_jis", {fatal : true});
          Module.reversiUtf8 = new TextEncoder();
        }
        let text;
        try {
          text = Module.reversiCp932.decode(HEAPU8.subarray(bytes, bytes + length));
        } catch (error) {
          return -1;
        }
        if (text.length == 0) return -1;
        const encoded = Module.reversiUtf8.encode(text);
        if (encoded.length > capacity) return -2;
        HEAPU8.set(encoded, utf8);
        return encoded.length;
      });

// Converts the CP932 character of `length` bytes at `bytes` into UTF-8 at `out`, which has `room`
// bytes; returns the UTF-8 length, NoCharacter or NoRoom. ASCII stays as it is: a decoder of
// code page 943's line swaps control codes (0x1A, 0x1C, 0x7F), where CP932 keeps them. The
// Encoding Standard takes 0x80 for U+0080, where CP932 has no character.
int ConvertCharacter(const unsigned char* bytes, std::size_t length, char* out, std::size_t room) {
  if (bytes[0] < FirstNonAscii) {
    if (room == 0) return NoRoom;
    *out = static_cast<char>(bytes[0]);
    return 1;
  }
  if (bytes[0] == FirstNonAscii) return NoCharacter;
  constexpr std::size_t LongestCharacter = 4;  // bytes of UTF-8
  return DecodeCp932Character(bytes, static_cast<int>(length), out,
                              static_cast<int>(room < LongestCharacter ? room : LongestCharacter));
}

// The one converter there is: any address other than (iconv_t)-1 will do.
int converter;

}  // namespace

extern "C" {

iconv_t iconv_open(const char* to, const char* from) {
  if (std::strcmp(to, "UTF-8") != 0 || std::strcmp(from, "CP932") != 0) {
    errno = EINVAL;
    return reinterpret_cast<iconv_t>(-1);
  }
  return &converter;
}

// Converts whole characters while input and room last, as the C library's iconv does: -1 with
// errno EILSEQ at bytes that are no character, EINVAL at a character cut off at the end of the
// input, E2BIG when the output is full; the pointers then stand at that character. Keeps no
// state, so a call without input only succeeds.
std::size_t iconv(iconv_t, char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
  if (in == nullptr || *in == nullptr) return 0;
  while (*inLeft > 0) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(*in);
    const std::size_t length = IsLeadByte(bytes[0]) ? 2 : 1;
    if (length > *inLeft) {
      errno = EINVAL;
      return static_cast<std::size_t>(-1);
    }
    const int written = ConvertCharacter(bytes, length, *out, *outLeft);
    if (written < 0) {
      errno = written == NoRoom ? E2BIG : EILSEQ;
      return static_cast<std::size_t>(-1);
    }
    *in += length;
    *inLeft -= length;
    *out += written;
    *outLeft -= static_cast<std::size_t>(written);
  }
  return 0;
}

int iconv_close(iconv_t) {
  return 0;
}

}  // extern "C"
