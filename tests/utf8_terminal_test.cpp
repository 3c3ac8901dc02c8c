// CP932 shown on a UTF-8 terminal: the conversion, the column fix after characters a terminal may
// draw one column wide, escape sequences, splits across writes and bytes that are no character.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cp932.h"
#include "game/texts.h"
#include "platform/console.h"
#include "platform/utf8_terminal.h"

namespace reversi {
namespace {

namespace terminal = platform::utf8_terminal;

std::string shown;
int sinkCalls = 0;

void Show(const char* bytes, std::size_t count) {
  shown.append(bytes, count);
  ++sinkCalls;
}

// Converts the writes one after another, from a fresh line, and returns what the terminal gets.
std::string Convert(const std::vector<std::string>& writes) {
  terminal::ResetConversion();
  shown.clear();
  sinkCalls = 0;
  for (const std::string& bytes : writes)
    terminal::WriteConverted(bytes.data(), bytes.size(), Show);
  return shown;
}

class TerminalTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(terminal::OpenConverter()); }
};

// Cursor to column n (counted from 1).
std::string Column(int n) {
  return "\x1b[" + std::to_string(n) + "G";
}

struct Case {
  const char* what;
  std::vector<std::string> writes;
  std::string expected;
};

TEST_F(TerminalTextTest, ConvertsAndKeepsConsoleColumns) {
  const std::string clear = platform::ClearSequence;
  const Case cases[] = {
      {"ASCII unchanged", {"abc 12\n"}, "abc 12\n"},
      {"wide kana need no fix", {"\x83p\x83X\n"}, "パス\n"},
      {"trail byte 0x5C is no backslash", {"\x95\x5C\x83\x5C"}, "表ソ"},
      {"ambiguous glyph: cursor to the CP932 column", {"40\x81\x9B"}, "40○" + Column(5)},
      {"board row",
       {"10\x81"
        "E\x81\x9B\x81\x9C"},
       "10・○" + Column(7) + "●" + Column(9)},
      {"line feed starts the count again",
       {"ab\x81\x9B\n\x81\x9C"},
       "ab○" + Column(5) + "\n●" + Column(3)},
      {"carriage return too", {"ab\r\x81\x9C"}, "ab\r●" + Column(3)},
      {"Greek is ambiguous too", {"\x83\x9F"}, "Α" + Column(3)},
      {"half-width kana is one column", {"\xB1\x81\x9B"}, "ｱ○" + Column(4)},
      {"character split across writes",
       {"40\x81", "\x9B", "\x81", "\x9C"},
       "40○" + Column(5) + "●" + Column(7)},
      {"clear is passed unchanged and homes the column",
       {"abc" + clear + "\x81\x9B"},
       "abc" + clear + "○" + Column(3)},
      {"clear split across writes",
       {"ab\x1b", "[H\x1b[", "2J\x81\x9B"},
       "ab" + clear + "○" + Column(3)},
      {"title converted, not counted, no cursor moves inside",
       {std::string("x\x1b]0;") + texts::japanese::Title + "\x07\x81\x9B"},
       "x\x1b]0;Tavimoのリバーシ Ver1.00\x07○" + Column(4)},
      {"title ended by ESC backslash",
       {"\x1b]0;\x81\x9B\x1b\\\x81\x9B"},
       "\x1b]0;○\x1b\\○" + Column(3)},
      {"bytes that are no character", {"\x80|\xA0|\xFD|\xFF"}, "?|?|?|?"},
      {"lead byte without its second byte", {"\x81\n\x81\x9B"}, "?\n○" + Column(3)},
      {"pair without a character is a wide dot", {"\x85\x40\x81\x9B"}, "・○" + Column(5)},
      // A cell the cursor move skips must still show the background: it is erased first.
      {"coloured board row",
       {"10\x1b[30;42m\x81\x9B\x81"
        "E\x1b[0m\n\x81\x9C"},
       "10\x1b[30;42m\x1b[2X○" + Column(5) + "・\x1b[0m\n●" + Column(3)},
      {"a foreground colour alone needs no erase", {"\x1b[31m\x81\x9B"}, "\x1b[31m○" + Column(3)},
      {"background set in an earlier write",
       {"\x1b[4", "2m", "\x81\x9B"},
       "\x1b[42m\x1b[2X○" + Column(3)},
      // Each character is converted once and remembered: the second time must read the same.
      {"the same characters again",
       {"\x85\x40\xB1\x81\x9B", "\x85\x40\xB1\x81\x9B"},
       "・ｱ○" + Column(6) + "・ｱ○" + Column(11)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Convert(c.writes), c.expected) << c.what;
}

TEST_F(TerminalTextTest, EveryTextOfTheGameConverts) {
  struct TextCase {
    const char* cp932;
    std::string utf8;
  };
  const TextCase cases[] = {
      {texts::japanese::Title, "Tavimoのリバーシ Ver1.00"},
      {texts::japanese::ModePrompt, "*ゲームモードを数字で選択してEnterを押してください。\n"},
      {texts::common::ModeList, texts::common::ModeList},
      {texts::japanese::PassText, "パス\n"},
      {texts::japanese::GameOverText, "ゲーム終了\n"},
      {texts::japanese::CoordinateHint,
       "*Y座標を10の位にX座標を1の位にしてEnterを押してください。\n"},
      {texts::japanese::BreakOffHint, "*中断するときは「99+Enter」を入力してください。\n"},
      {texts::japanese::TurnBlackLine, "ターン:○" + Column(10) + "\n"},
      {texts::japanese::TurnWhiteLine, "ターン:●" + Column(10) + "\n"},
      {texts::common::EmptyGlyph, "・"},
      {texts::common::BlackGlyph, "○" + Column(3)},
      {texts::common::WhiteGlyph, "●" + Column(3)},
      {texts::japanese::BlackWinsLine, "○" + Column(3) + ":黒の勝ち！\n"},
      {texts::japanese::WhiteWinsLine, "●" + Column(3) + ":白の勝ち！\n"},
      {texts::japanese::DrawText, "引き分け！"},
      {texts::japanese::BlackCountLead, "○" + Column(3) + ": "},
      {texts::japanese::WhiteCountLead, " ピース    ●" + Column(14) + ": "},
      {texts::japanese::CountTail, " ピース\n"},
      {texts::japanese::FinalPrompt,
       "*「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。\n"},
      {texts::japanese::CannotPlaceTail, "]:そこには置けません！\n"},
      {texts::common::InvalidGlyph, "er"},
      {texts::common::Prompt, ">"},
      {texts::common::InputErrorText, "input error\n"},
      {texts::common::NumberErrorLead, "input["},
      {texts::common::NumberErrorTail, "]:error\n"},
  };
  for (const TextCase& c : cases)
    EXPECT_EQ(Convert({c.cp932}), c.utf8);
}

TEST_F(TerminalTextTest, LongOutputArrivesWhole) {
  constexpr int Glyphs = 3000;  // several times the converter's own buffer once converted
  std::string in;
  std::string expected;
  for (int i = 1; i <= Glyphs; ++i) {
    in += texts::common::WhiteGlyph;
    expected += "●" + Column(2 * i + 1);
  }
  EXPECT_EQ(Convert({in}), expected);
  EXPECT_GT(sinkCalls, 1);
}

// The output stays in bounds at the largest growth per byte: every character followed by a cursor
// move, most of them past the tabled columns, a half-width katakana now and then, and the pairs on
// odd offsets, so that the stretches a long write is cut into cut pairs in two.
// With a background colour every such character is led by the erase of its cell as well.
TEST_F(TerminalTextTest, LargestGrowthArrivesWhole) {
  for (const std::string background : {"", "\x1b[42m"}) {
    std::string in = background + "x";
    std::string expected = background + "x";
    const std::string erase = background.empty() ? "" : "\x1b[2X";
    int column = 1;
    for (int i = 0; i < 5000; ++i) {
      if (i % 7 == 3) {
        in += "\xB1";
        expected += "ｱ";
        column += 1;
        continue;
      }
      in += texts::common::BlackGlyph;
      column += 2;
      expected += erase + "○" + Column(column + 1);
    }
    EXPECT_EQ(Convert({in}), expected);
    EXPECT_EQ(Convert({in.substr(0, 4097), in.substr(4097)}), expected);
  }
}

// However the program's output is cut into writes, the terminal gets the same bytes: characters
// and escape sequences cut in two, and long stretches that fill the converter's buffer.
TEST_F(TerminalTextTest, AnyCutsGiveTheSameOutput) {
  std::string screen = std::string("\x1b]0;") + texts::japanese::Title + "\x07";
  for (int i = 0; i < 40; ++i) {
    screen += platform::ClearSequence;
    screen += texts::japanese::CoordinateHint;
    screen +=
        "10\x81"
        "E\x81\x9B\x81\x9C\xB1\x80\x85\x40\r\n";
    screen += texts::japanese::FinalPrompt;
  }
  const std::string whole = Convert({screen});
  for (std::size_t piece : {1, 2, 3, 7, 1000, 4099}) {
    std::vector<std::string> writes;
    for (std::size_t at = 0; at < screen.size(); at += piece)
      writes.push_back(screen.substr(at, piece));
    EXPECT_EQ(Convert(writes), whole) << "writes of " << piece << " bytes";
  }
  // A stray byte first puts every character of the rest on the other byte boundary.
  EXPECT_EQ(Convert({"x" + screen}), "x" + whole);
}

// Output driven just under, at and just over each room the converter keeps (its 8 KiB buffer, the
// 1 KiB a stretch waits for, whole multiples of both), in one write from a heap block of exactly
// that size: it must equal the same bytes written one by one, and no hand-over may be larger than
// the buffer. AddressSanitizer sees any byte read or written past either.
std::size_t largestHandOver = 0;

void ShowAndMeasure(const char* bytes, std::size_t count) {
  Show(bytes, count);
  largestHandOver = count > largestHandOver ? count : largestHandOver;
}

TEST_F(TerminalTextTest, OutputAtEachCapacityArrivesWhole) {
  constexpr std::size_t Buffer = 8192;
  constexpr std::size_t Stretch = 1024;
  const std::string patterns[] = {"a", texts::common::BlackGlyph,
                                  std::string(texts::common::WhiteGlyph) + "\xB1x"};
  for (const std::string& pattern : patterns) {
    for (std::size_t edge :
         {Stretch, Buffer / 2, Buffer - Stretch, Buffer, 2 * Buffer, 3 * Buffer}) {
      for (std::size_t size : {edge - 1, edge, edge + 1}) {
        SCOPED_TRACE(std::to_string(size) + " bytes of '" + pattern + "'");
        std::string in;
        while (in.size() < size)
          in += pattern;
        in.resize(size);
        std::vector<std::string> bytes;
        for (char byte : in)
          bytes.emplace_back(1, byte);
        const std::string expected = Convert(bytes);
        terminal::ResetConversion();
        shown.clear();
        largestHandOver = 0;
        const auto block = std::make_unique<char[]>(size);
        std::memcpy(block.get(), in.data(), size);
        terminal::WriteConverted(block.get(), size, ShowAndMeasure);
        EXPECT_TRUE(shown == expected) << shown.size() << " bytes, not " << expected.size();
        EXPECT_LE(largestHandOver, Buffer);
      }
    }
  }
}

// Every character the converter can remember, each converted once and then looked up: both times
// they must come out right. Compared, cursor moves left out, with the tests' own decoder.
TEST_F(TerminalTextTest, EveryDoubleByteCharacterTwice) {
  std::string all;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      // Only pairs that stand for a character: the decoder shows the others its own way.
      if (testing::Cp932ToUtf8(pair).find('<') == std::string::npos) all += pair;
    }
    all += '\n';
  }
  ASSERT_GT(all.size(), 10000U);
  const std::string twice = Convert({all, all});
  std::string withoutMoves;
  for (std::size_t at = 0; at < twice.size(); ++at) {
    if (twice[at] == '\x1b') {
      at = twice.find('G', at);
      continue;
    }
    withoutMoves += twice[at];
  }
  const std::string decoded = testing::Cp932ToUtf8(all);
  EXPECT_TRUE(withoutMoves == decoded + decoded);
}

TEST_F(TerminalTextTest, EchoedLineStartsTheCountAgain) {
  terminal::ResetConversion();
  shown.clear();
  terminal::WriteConverted(">", 1, Show);
  terminal::NoteEchoedInput("34\n", 3);  // the user typed "34" and Enter, echoed by the terminal
  terminal::WriteConverted(texts::common::BlackGlyph, 2, Show);
  EXPECT_EQ(shown, ">○" + Column(3));
}

}  // namespace
}  // namespace reversi
