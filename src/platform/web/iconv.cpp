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
#include <cstdint>
#include <cstring>

namespace {

constexpr int ByteValueCount = 256;
constexpr unsigned char FirstNonAscii = 0x80;
constexpr int NoCharacter = -1;
constexpr int NoRoom = -2;

// CP932 lead bytes, each taking a second byte, and the bytes that can be a second byte.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The code point of every CP932 character beyond ASCII, 0 where the bytes are none (all are in
// Unicode's basic plane): the single bytes by their value, the pairs by lead and second byte.
// Filled at the first iconv_open by one call of the browser's decoder on all of them at once:
// decoded one by one, the console layer's table of every character took 108 to 281 ms of the
// page's start (11,343 decoder calls), from this table 17 to 40 ms (six loads each, on a machine
// with a load of 5 to 8 on two cores).
std::uint16_t singleByteCodes[ByteValueCount];
std::uint16_t pairCodes[ByteValueCount][ByteValueCount];
bool decoded = false;

// Puts the code points of the single bytes from 0x80 on and of every lead byte with every second
// byte into `singles` and `pairs` (ByteValueCount entries a row). Each character goes to the
// decoder followed by a line end, a byte that no character contains and that a decoder never
// takes into a character; a piece between two line ends that is not exactly one character (a
// replacement character, or one with the ASCII byte after it that the decoder put back) is none.
EM_JS(void, DecodeEveryCharacter, (std::uint16_t * singles, std::uint16_t* pairs), {
  function isLead(b) {
    return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
  }
  function isTrail(b) {
    return (b >= 0x40 && b <= 0x7e) || (b >= 0x80 && b <= 0xfc);
  }
  var bytes = [];
  var places = [];
  for (var first = 0x80; first <= 0xff; first++) {
    bytes.push(first, 0x0a);
    places.push(singles / 2 + first);
    if (!isLead(first)) continue;
    for (var second = 0; second <= 0xff; second++) {
      if (!isTrail(second)) continue;
      bytes.push(first, second, 0x0a);
      places.push(pairs / 2 + first * 256 + second);
    }
  }
  var pieces = new TextDecoder("shift_jis").decode(new Uint8Array(bytes)).split("\n");
  for (var i = 0; i < places.length; i++) {
    var code = pieces[i].codePointAt(0);
    HEAPU16[places[i]] = pieces[i].length == 1 && code != 0xfffd ? code : 0;
  }
});

// The UTF-8 form of a code point of the basic plane at `out`, which has `room` bytes; its length,
// or NoRoom.
int PutUtf8(std::uint16_t code, char* out, std::size_t room) {
  constexpr std::uint16_t TwoByteStart = 0x80;
  constexpr std::uint16_t ThreeByteStart = 0x800;
  const int length = code < TwoByteStart ? 1 : code < ThreeByteStart ? 2 : 3;
  if (static_cast<std::size_t>(length) > room) return NoRoom;
  if (length == 1) {
    out[0] = static_cast<char>(code);
  } else if (length == 2) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
  }
  return length;
}

// Converts the CP932 character of `length` bytes at `bytes` into UTF-8 at `out`, which has `room`
// bytes; returns the UTF-8 length, NoCharacter or NoRoom. ASCII stays as it is: a decoder of
// code page 943's line swaps control codes (0x1A, 0x1C, 0x7F), where CP932 keeps them. The
// Encoding Standard takes 0x80 for U+0080, where CP932 has no character.
int ConvertCharacter(const unsigned char* bytes, std::size_t length, char* out, std::size_t room) {
  if (bytes[0] < FirstNonAscii) return PutUtf8(bytes[0], out, room);
  if (bytes[0] == FirstNonAscii) return NoCharacter;
  const std::uint16_t code =
      length == 1 ? singleByteCodes[bytes[0]] : pairCodes[bytes[0]][bytes[1]];
  return code == 0 ? NoCharacter : PutUtf8(code, out, room);
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
  if (!decoded) DecodeEveryCharacter(singleByteCodes, &pairCodes[0][0]);
  decoded = true;
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
    const int written = length == 2 && !IsTrailByte(bytes[1])
                            ? NoCharacter
                            : ConvertCharacter(bytes, length, *out, *outLeft);
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
