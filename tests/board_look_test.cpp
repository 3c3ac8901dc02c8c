// The board as --color and --ascii draw it, byte for byte, and every text of every text set within
// the width of a standard terminal. The coloured rows are spelled with the SGR sequences written
// out, the CP932 decoded into readable UTF-8 (escape sequences pass the decoder unchanged).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/board.h"
#include "cp932.h"
#include "expected_text.h"
#include "game/game.h"
#include "game/notes.h"
#include "game/texts.h"
#include "harness.h"
#include "platform/console.h"

namespace reversi {
namespace {

using testing::Cp932ToUtf8;
using testing::SetBoard;
using testing::StartPicture;
using testing::TakeOutput;

// The colours of the cells, as a terminal of the 8/16-colour set reads them.
const std::string Green = "\x1b[30;42m";      // black on green: empty squares and black discs
const std::string White = "\x1b[97;42m";      // bright white on green
const std::string Hint = "\x1b[93;42m";       // bright yellow on green
const std::string LastBlack = "\x1b[30;41m";  // the last move's square on red
const std::string LastWhite = "\x1b[97;41m";
const std::string End = "\x1b[0m\n";  // the terminal's own colours again before the line end

class BoardLookTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::ResetProcessState(); }
};

// The board part of the screen: from the column header to the end.
std::string BoardPart(const std::string& screen) {
  return screen.substr(screen.find(testing::expected::ColumnHeader));
}

// Plays `square` (a SquareCode) for `side` as the driver notes a turn, so that the last-move line
// and mark see it.
void PlayNoted(int side, int square) {
  ASSERT_EQ(PlaceDisc(SquareRow(square), SquareColumn(square), side), 1) << square;
  NoteTurn(side, square);
}

TEST_F(BoardLookTest, ColoredBoards) {
  const struct {
    const char* what;
    bool ascii;
    std::vector<int> moves;  // played from the start position, black first
    bool hints;              // the next side's legal squares marked
    std::string rows;
  } cases[] = {
      {"start position",
       false,
       {},
       false,
       "10" + Green + "・・・・・・・・" + End + "20" + Green + "・・・・・・・・" + End + "30" +
           Green + "・・・・・・・・" + End + "40" + Green + "・・・" + White + "●" + Green +
           "○・・・" + End + "50" + Green + "・・・○" + White + "●" + Green + "・・・" + End +
           "60" + Green + "・・・・・・・・" + End + "70" + Green + "・・・・・・・・" + End +
           "80" + Green + "・・・・・・・・" + End},
      {"black's hints",
       false,
       {},
       true,
       "10" + Green + "・・・・・・・・" + End + "20" + Green + "・・・・・・・・" + End + "30" +
           Green + "・・・" + Hint + "＊" + Green + "・・・・" + End + "40" + Green + "・・" +
           Hint + "＊" + White + "●" + Green + "○・・・" + End + "50" + Green + "・・・○" + White +
           "●" + Hint + "＊" + Green + "・・" + End + "60" + Green + "・・・・" + Hint + "＊" +
           Green + "・・・" + End + "70" + Green + "・・・・・・・・" + End + "80" + Green +
           "・・・・・・・・" + End},
      {"black's last move and white's hints",
       false,
       {34},
       true,
       "10" + Green + "・・・・・・・・" + End + "20" + Green + "・・・・・・・・" + End + "30" +
           Green + "・・" + Hint + "＊" + LastBlack + "○" + Hint + "＊" + Green + "・・・" + End +
           "40" + Green + "・・・○○・・・" + End + "50" + Green + "・・" + Hint + "＊" + Green +
           "○" + White + "●" + Green + "・・・" + End + "60" + Green + "・・・・・・・・" + End +
           "70" + Green + "・・・・・・・・" + End + "80" + Green + "・・・・・・・・" + End},
      {"white's last move, no hints",
       false,
       {34, 33},
       false,
       "10" + Green + "・・・・・・・・" + End + "20" + Green + "・・・・・・・・" + End + "30" +
           Green + "・・" + LastWhite + "●" + Green + "○・・・・" + End + "40" + Green + "・・・" +
           White + "●" + Green + "○・・・" + End + "50" + Green + "・・・○" + White + "●" + Green +
           "・・・" + End + "60" + Green + "・・・・・・・・" + End + "70" + Green +
           "・・・・・・・・" + End + "80" + Green + "・・・・・・・・" + End},
      {"ASCII, last move and hints",
       true,
       {34},
       true,
       "10" + Green + ". . . . . . . . " + End + "20" + Green + ". . . . . . . . " + End + "30" +
           Green + ". . " + Hint + "* " + LastBlack + "O " + Hint + "* " + Green + ". . . " + End +
           "40" + Green + ". . . O O . . . " + End + "50" + Green + ". . " + Hint + "* " + Green +
           "O " + White + "X " + Green + ". . . " + End + "60" + Green + ". . . . . . . . " + End +
           "70" + Green + ". . . . . . . . " + End + "80" + Green + ". . . . . . . . " + End},
  };
  for (const auto& c : cases) {
    testing::ResetProcessState();
    GameSettings.ascii = c.ascii;
    GameSettings.hints = c.hints;
    GameSettings.lastMove = true;
    platform::UseColors(true);
    SetBoard(StartPicture);
    int side = 0;
    for (int square : c.moves) {
      PlayNoted(side, square);
      side = OtherSide(side);
    }
    MarkHints(LegalSquares(side));
    DrawBoard(side);
    const std::string screen = Cp932ToUtf8(TakeOutput());
    std::string expected = "  1 2 3 4 5 6 7 8\n" + c.rows;
    const std::string board = BoardPart(screen);
    // The last-move line, whose own tests are elsewhere, follows the rows unchanged.
    EXPECT_EQ(board.substr(0, expected.size()), expected) << c.what;
    EXPECT_EQ(board.find('\x1b', expected.size()), std::string::npos) << c.what;
    // Without colour the same screen reads as the plain board: the sequences are all it adds.
    std::string plain = screen;
    for (const std::string* sequence : {&Green, &White, &Hint, &LastBlack, &LastWhite}) {
      for (auto at = plain.find(*sequence); at != std::string::npos; at = plain.find(*sequence))
        plain.erase(at, sequence->size());
    }
    for (auto at = plain.find("\x1b[0m"); at != std::string::npos; at = plain.find("\x1b[0m"))
      plain.erase(at, 4);
    testing::ResetProcessState();
    GameSettings.ascii = c.ascii;
    GameSettings.hints = c.hints;
    GameSettings.lastMove = true;
    SetBoard(StartPicture);
    side = 0;
    for (int square : c.moves) {
      PlayNoted(side, square);
      side = OtherSide(side);
    }
    MarkHints(LegalSquares(side));
    DrawBoard(side);
    EXPECT_EQ(plain, Cp932ToUtf8(TakeOutput())) << c.what;
  }
}

TEST_F(BoardLookTest, AsciiScreensKeepTheLayout) {
  GameSettings.ascii = true;
  SetBoard(StartPicture);
  DrawBoard(0);
  EXPECT_EQ(Cp932ToUtf8(TakeOutput()), std::string(testing::expected::Clear) +
                                           testing::expected::Instructions +
                                           "ターン:O\n"
                                           "  1 2 3 4 5 6 7 8\n"
                                           "10. . . . . . . . \n"
                                           "20. . . . . . . . \n"
                                           "30. . . . . . . . \n"
                                           "40. . . X O . . . \n"
                                           "50. . . O X . . . \n"
                                           "60. . . . . . . . \n"
                                           "70. . . . . . . . \n"
                                           "80. . . . . . . . \n");
  GameSettings.english = true;
  Board[0][0] = static_cast<Cell>(3);
  ShowResult(2);
  const std::string result = Cp932ToUtf8(TakeOutput());
  EXPECT_NE(result.find("Turn: X\n"), std::string::npos) << result;
  EXPECT_NE(result.find("\n10er. . . . . . . \n"), std::string::npos) << result;
  EXPECT_NE(result.find("\nDraw! O:  2 pieces    X:  2 pieces\n"), std::string::npos) << result;
}

// ---- Every text within a standard terminal ------------------------------------------------------

// A console 80 columns wide moves to the next line once a line fills all 80, so a line end right
// after that would leave an empty line: a line may take 79 columns.
constexpr int LongestLine = 79;

// The CP932 console columns of each line of `text`: a double-byte character takes two.
std::vector<int> LineColumns(const std::string& text) {
  std::vector<int> columns{0};
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\n') {
      columns.push_back(0);
    } else if (texts::IsLeadByte(byte) && at + 1 < text.size()) {
      columns.back() += 2;
      ++at;
    } else {
      columns.back() += 1;
    }
  }
  return columns;
}

struct NamedSet {
  const char* name;
  const texts::TextSet& set;
};
const NamedSet Sets[] = {{"Japanese", texts::JapaneseSet},
                         {"English", texts::EnglishSet},
                         {"Japanese ASCII", texts::JapaneseAsciiSet},
                         {"English ASCII", texts::EnglishAsciiSet}};

void ExpectFits(const std::string& text, const std::string& what) {
  for (int columns : LineColumns(text))
    EXPECT_LE(columns, LongestLine) << what << ": " << Cp932ToUtf8(text);
}

TEST(TextWidthTest, EveryTextAndEveryLineMadeOfThemFits) {
  for (const NamedSet& named : Sets) {
    const texts::TextSet& t = named.set;
    std::size_t field = 0;
    for (texts::SetText texts::TextSet::*text : texts::TextFields)
      ExpectFits(static_cast<const char*>(t.*text),
                 std::string(named.name) + " text " + std::to_string(field++));
    // The lines built of several texts, with the widest numbers they are given.
    const auto text = [](const char* bytes) { return std::string(bytes); };
    ExpectFits(text(t.drawText) + text(t.blackCountLead) + "64" + text(t.whiteCountLead) + "64" +
                   text(t.countTail),
               named.name);
    ExpectFits(
        text(t.lastMoveLead) + text(t.whiteDisc) + "88 " + text(t.blackDisc) + text(t.lastMovePass),
        named.name);
    for (const char* tail : {t.cannotPlaceTail, t.nothingToTakeBackTail})
      ExpectFits(text(texts::common::NumberErrorLead) + "-2147483648" + tail, named.name);
  }
  ExpectFits(texts::common::ModeList, "mode list");
  ExpectFits(std::string(texts::common::RecordFailureLead) + "games.txt" +
                 texts::common::RecordFailureReasonLead + "No space left on device" +
                 texts::common::RecordFailureTail,
             "record failure");
}

// A text copied byte by byte: GCC 12 takes a text found through a pointer to member in a
// compile-time pool for one without its NUL when strlen is asked (a false -Wstringop-overread).
std::string Copied(const char* text) {
  std::string copy;
  for (; *text != '\0'; ++text)
    copy += *text;
  return copy;
}

TEST(TextWidthTest, AsciiSetsHoldNoGlyph) {
  for (texts::SetText texts::TextSet::*text : texts::TextFields) {
    for (const char* byte = texts::EnglishAsciiSet.*text; *byte != '\0'; ++byte)
      EXPECT_LT(static_cast<unsigned char>(*byte), 0x80) << Copied(texts::EnglishAsciiSet.*text);
    const std::string japanese = Cp932ToUtf8(Copied(texts::JapaneseAsciiSet.*text));
    for (const char* glyph : {"○", "●", "・", "＊"})
      EXPECT_EQ(japanese.find(glyph), std::string::npos) << japanese;
  }
  // Only the glyphs change: the Japanese words stay.
  EXPECT_EQ(Cp932ToUtf8(Copied(texts::JapaneseAsciiSet.whiteWinsLine)), "X:白の勝ち！\n");
  EXPECT_EQ(Cp932ToUtf8(Copied(texts::JapaneseAsciiSet.whiteCountLead)), " ピース    X: ");
  EXPECT_EQ(Copied(texts::EnglishAsciiSet.turnBlackLine), "Turn: O\n");
}

// The prompt is always shown in the terminal's own colours, and the run ends in them, also when
// the input ends in the middle of a game.
TEST(ColorResetTest, BeforeEveryPromptAndAtTheEnd) {
  for (const char* input : {"1\nabc\n34\n99\n0\n3\n99\n", "0\n34\n"}) {
    testing::ResetProcessState();
    GameSettings.color = ColorAlways;
    GameSettings.hints = true;
    testing::FeedInput(input);
    ASSERT_EQ(RunGame(), 0);
    const std::string output = TakeOutput();
    int prompts = 0;
    for (auto at = output.find('>'); at != std::string::npos; at = output.find('>', at + 1)) {
      if (at + 1 < output.size() && output[at + 1] >= '0' && output[at + 1] <= '9') continue;
      ++prompts;  // not the COM's move line
      EXPECT_EQ(output.compare(at - 4, 4, platform::ColorReset), 0) << input << " at " << at;
    }
    EXPECT_GE(prompts, 3) << input;
    const std::string end = platform::ColorReset;
    EXPECT_EQ(output.substr(output.size() - end.size()), end) << input;
  }
}

}  // namespace
}  // namespace reversi
