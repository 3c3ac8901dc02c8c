// The CP932 tokenizer that both console layers share: which bytes form a token, and the console
// column after it, across escape sequences, titles and characters cut between writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/cp932_columns.h"

namespace reversi {
namespace {

namespace cp932 = platform::cp932;

// A token as a word: 'run'N for ASCII, LLTT@N for a double-byte character, h@N for a half-width
// katakana, ?@N for a byte that is no character, ^XX for a control byte; N is the column after it.
// A token inside a title (not shown) is marked with a leading ~.
std::string Word(const cp932::Token& token) {
  std::string word = token.shown ? "" : "~";
  char text[16];
  switch (token.kind) {
    case cp932::TokenKind::Control:
      std::snprintf(text, sizeof text, "^%02X", token.bytes[0]);
      return text;                  // never shown text: no mark
    case cp932::TokenKind::Escape:  // a run, written byte by byte so that a cut changes nothing
      for (std::size_t i = 0; i < token.runLength; ++i) {
        std::snprintf(text, sizeof text, "%s^%02X", i == 0 ? "" : " ",
                      static_cast<unsigned char>(token.run[i]));
        word += text;
      }
      return word.substr(1);  // no mark either
    case cp932::TokenKind::Ascii:
      word.append("'").append(token.run, token.runLength).append("'");
      if (token.shown) word += std::to_string(token.column);
      return word;
    case cp932::TokenKind::DoubleByte:
      std::snprintf(text, sizeof text, "%02X%02X@%d", token.bytes[0], token.bytes[1], token.column);
      break;
    case cp932::TokenKind::HalfWidth:
      std::snprintf(text, sizeof text, "h@%d", token.column);
      break;
    case cp932::TokenKind::Invalid:
      std::snprintf(text, sizeof text, "?@%d", token.column);
      break;
  }
  return word += text;
}

// Walks the writes one after another from a fresh line; the tokens as words, and the column last.
std::string Tokenized(const std::vector<std::string>& writes, int startColumn = 0) {
  cp932::TextState state;
  state.column = startColumn;
  std::string words;
  for (const std::string& bytes : writes) {
    cp932::Tokenize(state, bytes.data(), bytes.size(), [&words](const cp932::Token& token) {
      words += Word(token);
      words += ' ';
    });
  }
  return words + "| " + std::to_string(state.column);
}

TEST(Cp932ColumnsTest, PiecesAndColumns) {
  struct Case {
    const char* what;
    std::vector<std::string> writes;
    const char* expected;
  };
  const Case cases[] = {
      {"ASCII in one run", {"ab 1"}, "'ab 1'4 | 4"},
      {"double-byte characters two columns", {"\x81\x9B\x82\xA0"}, "819B@2 82A0@4 | 4"},
      {"line ends start the count again", {"ab\n\x81\x9B\rc"}, "'ab'2 ^0A 819B@2 ^0D 'c'1 | 1"},
      {"lead byte held back across writes", {"a\x81", "\x9B"}, "'a'1 819B@3 | 3"},
      {"lone lead byte, then the byte after it", {"\x81\n"}, "?@1 ^0A | 0"},
      {"lone lead byte cut from a blank", {"\x81", " "}, "?@1 ' '2 | 2"},
      {"half-width katakana and bytes that are none", {"\xB1\x80\xA0\xFD"}, "h@1 ?@2 ?@3 ?@4 | 4"},
      {"other control bytes take no column",
       {"a\x07"
        "b"},
       "'a'1 ^07 'b'2 | 2"},
      {"clear: cursor home puts the column to 0",
       {"abc\x1b[H\x1b[2J"},
       "'abc'3 ^1B ^5B ^48 ^1B ^5B ^32 ^4A | 0"},
      {"escape sequence cut between writes",
       {"ab\x1b", "[", "2J", "c"},
       "'ab'2 ^1B ^5B ^32 ^4A 'c'3 | 3"},
      {"title not counted, ended by BEL",
       {"x\x1b]0;t\x81\x9B\x07y"},
       "'x'1 ^1B ^5D ~'0' ~';' ~'t' ~819B@1 ^07 'y'2 | 2"},
      {"title ended by ESC backslash", {"\x1b]0\x1b\\\x81\x9B"}, "^1B ^5D ~'0' ^1B ^5C 819B@2 | 2"},
      {"title's lead byte held back across writes",
       {"\x1b]\x81", "\x9B\x07"},
       "^1B ^5D ~819B@0 ^07 | 0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Tokenized(c.writes), c.expected) << c.what;
}

TEST(Cp932ColumnsTest, CountsOnFromAColumnGiven) {
  EXPECT_EQ(Tokenized({"\x81\x9B"}, 3), "819B@5 | 5");
}

// The words of Tokenized without the ASCII runs, which a cut may split in two.
std::string WithoutAscii(const std::string& words) {
  std::string kept;
  std::size_t at = 0;
  while (at < words.size()) {
    const std::size_t end = words.find(' ', at);
    const std::string word = words.substr(at, end - at);
    if (word.find('\'') == std::string::npos) kept += word + ' ';
    at = end == std::string::npos ? words.size() : end + 1;
  }
  return kept;
}

// Every cut of a text into two writes gives the same tokens and columns, but for an ASCII run
// cut in two.
TEST(Cp932ColumnsTest, AnyCutGivesTheSamePieces) {
  const std::string text = "10\x81\x45\x81\x9B\xB1\x1b]0;\x83p\x07\x82\xA0\n\x1b[H\x81";
  const std::string whole = WithoutAscii(Tokenized({text}));
  for (std::size_t cut = 1; cut < text.size(); ++cut) {
    EXPECT_EQ(WithoutAscii(Tokenized({text.substr(0, cut), text.substr(cut)})), whole)
        << "cut after " << cut << " bytes";
  }
}

// The colours that SGR sequences leave, each case walked from the terminal's own colours, and the
// columns they never take.
TEST(Cp932ColumnsTest, ColorsOfSgrSequences) {
  constexpr int Own = cp932::DefaultColor;
  const struct {
    const char* bytes;
    int foreground;
    int background;
    int column;
  } cases[] = {
      {"\x1b[30;42m", 0, 2, 0},
      {"ab\x1b[97;41mcd", 15, 1, 4},
      {"\x1b[93;42m\x1b[0m", Own, Own, 0},
      {"\x1b[31;44m\x1b[m", Own, Own, 0},
      {"\x1b[31;44m\x1b[39m", Own, 4, 0},
      {"\x1b[31;44m\x1b[49m", 1, Own, 0},
      {"\x1b[1;36;107m", 6, 15, 0},
      {"\x1b[31;0;42m", Own, 2, 0},
      {"\x1b[38;5;200m", Own, Own, 0},  // the 256-colour forms are not read
      {"\x1b[31m\x1b[2J\x1b[H", 1, Own, 0},
      {"\x1b[99999999999999931m", Own, Own, 0},  // a number beyond every meaning stays so
  };
  for (const auto& c : cases) {
    cp932::TextState state;
    cp932::Tokenize(state, c.bytes, std::char_traits<char>::length(c.bytes),
                    [](const cp932::Token&) {});
    EXPECT_EQ(state.colors.foreground, c.foreground) << c.bytes + 1;
    EXPECT_EQ(state.colors.background, c.background) << c.bytes + 1;
    EXPECT_EQ(state.column, c.column) << c.bytes + 1;
  }
  // A sequence cut between writes counts once it is complete.
  cp932::TextState state;
  const auto tokenizing = [&state](const char* bytes) {
    cp932::Tokenize(state, bytes, std::char_traits<char>::length(bytes),
                    [](const cp932::Token&) {});
  };
  tokenizing("\x1b[4");
  tokenizing("2");
  EXPECT_EQ(state.colors.background, Own);
  tokenizing("m");
  EXPECT_EQ(state.colors.background, 2);
}

// The tokenizing reads only the bytes it is given: each text is walked from a heap block of exactly
// its length (AddressSanitizer catches a read one past it), cut at every length, above all those
// that end on a lead byte, and its column must be that of walking the same bytes one by one.
TEST(Cp932ColumnsTest, WalksNoFurtherThanTheBytesGiven) {
  const std::string text =
      "\x81\x9B"
      "10\x81\x45\xB1\x83p\x1b[H\x81\x9C\x82\xA0\n\x81\x40"
      "x\x81";
  for (std::size_t length = 0; length <= text.size(); ++length) {
    SCOPED_TRACE(length);
    const auto block = std::make_unique<char[]>(length);
    std::memcpy(block.get(), text.data(), length);
    cp932::TextState whole;
    int doubleBytes = 0;
    cp932::Tokenize(whole, block.get(), length, [&](const cp932::Token& token) {
      doubleBytes += token.kind == cp932::TokenKind::DoubleByte ? 1 : 0;
    });
    cp932::TextState byByte;
    int doubleBytesByByte = 0;
    for (std::size_t i = 0; i < length; ++i) {
      const auto one = std::make_unique<char[]>(1);
      one[0] = text[i];
      cp932::Tokenize(byByte, one.get(), 1, [&](const cp932::Token& token) {
        doubleBytesByByte += token.kind == cp932::TokenKind::DoubleByte ? 1 : 0;
      });
    }
    EXPECT_EQ(whole.column, byByte.column);
    EXPECT_EQ(whole.pendingLead, byByte.pendingLead);
    EXPECT_EQ(doubleBytes, doubleBytesByByte);
  }
}

}  // namespace
}  // namespace reversi
