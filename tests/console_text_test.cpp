// CP932 shown on the Windows console in UTF-16: the decoding whatever the console's code page, the
// cursor put on the CP932 column after every double-byte character, and characters split across
// writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/texts.h"
#include "platform/windows/console_text.h"

namespace reversi {
namespace {

namespace console_text = platform::console_text;

// What the console is given: the text, with every cursor move written as "{column}".
std::wstring shown;
// The cells the console gives every character; 0 for not known.
int consoleCells = 0;

void ShowText(const wchar_t* text, std::size_t count) {
  shown.append(text, count);
}
void ShowColumn(int column) {
  shown += L"{" + std::to_wstring(column) + L"}";
}
int CellsOf(wchar_t) {
  return consoleCells;
}
// A change of colours as "{c foreground,background}", -1 standing for the console's own.
void ShowColors(int foreground, int background) {
  shown += L"{c" + std::to_wstring(foreground) + L"," + std::to_wstring(background) + L"}";
}
constexpr console_text::Sinks Sinks{ShowText, ShowColumn, CellsOf, ShowColors};

// Decodes the writes one after another, from the start of a line, on a console that gives every
// character `cells` cells.
std::wstring Decode(const std::vector<std::string>& writes, int cells = 0) {
  consoleCells = cells;
  console_text::ResetDecoding();
  shown.clear();
  for (const std::string& bytes : writes)
    console_text::WriteDecoded(bytes.data(), bytes.size(), Sinks);
  return shown;
}

TEST(ConsoleTextTest, DecodesAndKeepsConsoleColumns) {
  struct Case {
    const char* what;
    std::vector<std::string> writes;
    std::wstring expected;
  };
  const Case cases[] = {
      {"ASCII, line end as CR LF", {"ab 1\n"}, L"ab 1\r\n"},
      {"board row",
       {std::string("10") + texts::common::EmptyGlyph + texts::common::BlackGlyph +
        texts::common::WhiteGlyph},
       L"10・{4}○{6}●{8}"},
      {"lead byte split across writes", {"40\x81", "\x9B", "\x81", "\x9C\n"}, L"40○{4}●{6}\r\n"},
      {"trail byte 0x5C is no backslash", {"\x95\x5C"}, L"表{2}"},
      {"half-width kana is one column", {"\xB1\x81\x9B"}, L"ｱ○{3}"},
      {"bytes that are no character", {"\x80|\xA0|\xFD"}, L"?|?|?"},
      {"lead byte without its second byte", {"\x81\n\x81\x9B"}, L"?\r\n○{2}"},
      {"pair without a character", {"\x85\x40"}, L"・{2}"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Decode(c.writes), c.expected) << c.what;
}

TEST(ConsoleTextTest, KnownWidthsNeedNoCursorMoves) {
  const std::string row =
      std::string("40") + texts::common::BlackGlyph + texts::common::WhiteGlyph + "\n";
  EXPECT_EQ(Decode({row}, 1), L"40○ ● \r\n");
  EXPECT_EQ(Decode({row}, 2), L"40○●\r\n");
}

// SGR sequences become colours and take no cells; the other escape sequences are not shown.
TEST(ConsoleTextTest, ColorsInsteadOfEscapeSequences) {
  const std::string black = texts::common::BlackGlyph;
  const std::string white = texts::common::WhiteGlyph;
  const struct {
    const char* what;
    std::vector<std::string> writes;
    std::wstring expected;
  } cases[] = {
      {"a coloured board row",
       {"10\x1b[30;42m" + black + "\x1b[97;42m" + white + "\x1b[0m\n"},
       L"10{c0,2}○ {c15,2}● {c-1,-1}\r\n"},
      {"a sequence cut between writes", {"\x1b[9", "7;4", "1m" + black}, L"{c15,1}○ "},
      {"the same colours again change nothing", {"\x1b[30;42ma\x1b[30;42mb"}, L"{c0,2}ab"},
      {"one side at a time, then back",
       {"\x1b[31ma\x1b[44mb\x1b[39mc\x1b[mz"},
       L"{c1,-1}a{c1,4}b{c-1,4}c{c-1,-1}z"},
      {"other sequences are dropped", {"a\x1b[2Jb\x1b[5Gc"}, L"abc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Decode(c.writes, 1), c.expected) << c.what;
}

TEST(ConsoleTextTest, CountsFromTheConsolesCursor) {
  consoleCells = 0;
  console_text::ResetDecoding();
  shown.clear();
  console_text::StartAtColumn(3);  // after ">34" typed and not yet ended by Enter, say
  console_text::WriteDecoded(texts::common::BlackGlyph, 2, Sinks);
  EXPECT_EQ(shown, L"○{5}");
}

TEST(ConsoleTextTest, LongOutputArrivesWhole) {
  const std::string line(10000, 'a');
  EXPECT_EQ(Decode({line}), std::wstring(line.size(), L'a'));
}

TEST(ConsoleTextTest, DecodesTheTitle) {
  wchar_t title[64];
  ASSERT_TRUE(console_text::DecodeText(texts::japanese::Title, title, 64));
  EXPECT_EQ(std::wstring(title), L"Tavimoのリバーシ Ver1.00");
  EXPECT_FALSE(console_text::DecodeText(texts::japanese::Title, title, 4));
}

}  // namespace
}  // namespace reversi
