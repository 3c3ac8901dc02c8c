// Every text the game shows, as the CP932 bytes the console receives (escapes, since no compiler
// here encodes CP932), each with its readable form in the comment above it. A language's texts
// reach the game only through the TextSet that Texts() (settings.h) selects.
#pragma once

#include <cstddef>

namespace reversi::texts {

// ---- The same in both languages ---------------------------------------------------------------
namespace common {

// (0)Player vs Player (1)Player vs COM (2)COM vs player (3)COM vs COM\n
inline constexpr char ModeList[] =
    "(0)Player vs Player (1)Player vs COM (2)COM vs player (3)COM vs COM\n";
// ・
inline constexpr char EmptyGlyph[] =
    "\x81"
    "E";
// ○
inline constexpr char BlackGlyph[] = "\x81\x9B";
// ●
inline constexpr char WhiteGlyph[] = "\x81\x9C";
// er
inline constexpr char InvalidGlyph[] = "er";
// >
inline constexpr char Prompt[] = ">";
// input error\n
inline constexpr char InputErrorText[] = "input error\n";
// input[
inline constexpr char NumberErrorLead[] = "input[";
// ]:error\n
inline constexpr char NumberErrorTail[] = "]:error\n";
// ＊ (an empty square where the side to move may play, drawn so when hints are asked for)
inline constexpr char HintGlyph[] = "\x81\x96";

// The board's cells with --ascii: a letter or mark and a blank, two columns like the glyphs.
inline constexpr char AsciiEmptyCell[] = ". ";
inline constexpr char AsciiBlackCell[] = "O ";
inline constexpr char AsciiWhiteCell[] = "X ";
inline constexpr char AsciiHintCell[] = "* ";

// What standard error gets when a game's line cannot go into the record file, in three pieces
// around the file's name and the system's reason. Each promise of the tail is one the record
// keeps: the game's line is taken back, only the run's first failure is told, play goes on.
inline constexpr char RecordFailureLead[] = "reversi: cannot write to the record file '";
inline constexpr char RecordFailureReasonLead[] = "': ";
// The tail is a line of its own, so that both lines fit a standard terminal.
inline constexpr char RecordFailureTail[] =
    "\nreversi: this game is not recorded; play goes on; later failures go unreported\n";

}  // namespace common

// ---- Japanese, the game's own language ----------------------------------------------------------
namespace japanese {

// Tavimoのリバーシ Ver1.00
inline constexpr char Title[] = "Tavimo\x82\xCC\x83\x8A\x83o\x81[\x83V Ver1.00";
// *ゲームモードを数字で選択してEnterを押してください。\n
inline constexpr char ModePrompt[] =
    "*\x83Q\x81[\x83\x80\x83\x82\x81["
    "\x83h\x82\xF0\x90\x94\x8E\x9A\x82\xC5\x91I\x91\xF0\x82\xB5\x82\xC4"
    "Enter\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *Y座標を10の位にX座標を1の位にしてEnterを押してください。\n
inline constexpr char CoordinateHint[] =
    "*Y\x8D\xC0\x95W\x82\xF0"
    "10\x82\xCC\x88\xCA\x82\xC9X\x8D\xC0\x95W\x82\xF0"
    "1\x82\xCC\x88\xCA\x82\xC9\x82\xB5\x82\xC4"
    "Enter\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *列の英字と行の数字（d3など）を入力してEnterを押してください。\n (with --notation=a1)
inline constexpr char LetterCoordinateHint[] =
    "*\x97\xF1\x82\xCC\x89p\x8E\x9A\x82\xC6\x8Ds\x82\xCC\x90\x94\x8E\x9A\x81id3\x82\xC8\x82\xC7\x81"
    "j\x82\xF0\x93\xFC\x97\xCD\x82\xB5\x82\xC4"
    "Enter\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *中断するときは「99+Enter」を入力してください。\n
inline constexpr char BreakOffHint[] =
    "*\x92\x86\x92"
    "f\x82\xB7\x82\xE9\x82\xC6\x82\xAB\x82\xCD\x81u99+"
    "Enter\x81v\x82\xF0\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *一手戻すときは「98+Enter」を入力してください。\n (shown after the break-off line when taking
// back is on)
inline constexpr char UndoHint[] =
    "*\x88\xEA\x8E\xE8\x96\xDF\x82\xB7\x82\xC6\x82\xAB\x82\xCD\x81u98+"
    "Enter\x81v\x82\xF0\x93\xFC\x97\xCD"
    "\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *各手の評価を見るときは「97+Enter」を入力してください。\n (with --coach)
inline constexpr char CoachHint[] =
    "*\x8A"
    "e\x8E\xE8\x82\xCC\x95]\x89\xBF\x82\xF0\x8C\xA9\x82\xE9\x82\xC6\x82\xAB\x82\xCD\x81u97+"
    "Enter\x81v\x82\xF0\x93\xFC\x97\xCD\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81"
    "B\n";
// *各手の石差（良い順、読み切り）：\n
inline constexpr char ScoresExactLead[] =
    "*\x8A"
    "e\x8E\xE8\x82\xCC\x90\xCE\x8D\xB7\x81i\x97\xC7\x82\xA2\x8F\x87\x81"
    "A\x93\xC7\x82\xDD\x90\xD8\x82\xE8\x81j\x81"
    "F\n";
// *各手の石差（良い順、推定）：\n
inline constexpr char ScoresEstimatedLead[] =
    "*\x8A"
    "e\x8E\xE8\x82\xCC\x90\xCE\x8D\xB7\x81i\x97\xC7\x82\xA2\x8F\x87\x81"
    "A\x90\x84\x92\xE8\x81j\x81"
    "F\n";
// *損の大きかった手（最善手との石差）：\n
inline constexpr char ReviewLead[] =
    "*\x91\xB9\x82\xCC\x91\xE5\x82\xAB\x82\xA9\x82\xC1\x82\xBD\x8E\xE8\x81i\x8D\xC5\x91P\x8E\xE8"
    "\x82\xC6\x82\xCC\x90\xCE\x8D\xB7\x81j\x81"
    "F\n";
// *最善手より損をした手はありません。\n
inline constexpr char ReviewNothing[] =
    "*\x8D\xC5\x91P\x8E\xE8\x82\xE6\x82\xE8\x91\xB9\x82\xF0\x82\xB5\x82\xBD\x8E\xE8\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
    "B\n";
inline constexpr char ReviewMoveLead[] = " ";
// 手目
inline constexpr char ReviewMoveTail[] = "\x8E\xE8\x96\xDA ";
//  で
inline constexpr char ReviewLostLead[] = " \x82\xC5";
// 石損（最善
inline constexpr char ReviewLostTail[] = "\x90\xCE\x91\xB9\x81i\x8D\xC5\x91P ";
// ）\n
inline constexpr char ReviewBestTail[] = "\x81j\n";
// ターン:○\n
inline constexpr char TurnBlackLine[] = "\x83^\x81[\x83\x93:\x81\x9B\n";
// ターン:●\n
inline constexpr char TurnWhiteLine[] = "\x83^\x81[\x83\x93:\x81\x9C\n";
// パス\n
inline constexpr char PassText[] = "\x83p\x83X\n";
// ゲーム終了\n
inline constexpr char GameOverText[] = "\x83Q\x81[\x83\x80\x8FI\x97\xB9\n";
// ○:黒の勝ち！\n
inline constexpr char BlackWinsLine[] = "\x81\x9B:\x8D\x95\x82\xCC\x8F\x9F\x82\xBF\x81I\n";
// ●:白の勝ち！\n
inline constexpr char WhiteWinsLine[] = "\x81\x9C:\x94\x92\x82\xCC\x8F\x9F\x82\xBF\x81I\n";
// 引き分け！
inline constexpr char DrawText[] = "\x88\xF8\x82\xAB\x95\xAA\x82\xAF\x81I";
// ○:
inline constexpr char BlackCountLead[] = "\x81\x9B: ";
//  ピース    ●:
inline constexpr char WhiteCountLead[] = " \x83s\x81[\x83X    \x81\x9C: ";
//  ピース\n
inline constexpr char CountTail[] = " \x83s\x81[\x83X\n";
// *「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。\n
inline constexpr char FinalPrompt[] =
    "*\x81u0+Enter\x81v\x82\xC5\x83j\x83\x85\x81[\x83Q\x81[\x83\x80\x81"
    "B\x81u99+Enter\x81v\x82\xC5\x83V\x83\x83\x83"
    "b\x83g\x83_\x83"
    "E\x83\x93\x81"
    "B\n";
// ]:そこには置けません！\n
inline constexpr char CannotPlaceTail[] =
    "]:\x82\xBB\x82\xB1\x82\xC9\x82\xCD\x92u\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81I\n";
// ]:戻せる手がありません！\n (98 with no move to take back)
inline constexpr char NothingToTakeBackTail[] =
    "]:\x96\xDF\x82\xB9\x82\xE9\x8E\xE8\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81I\n";
// 直前の手:
inline constexpr char LastMoveLead[] = "\x92\xBC\x91O\x82\xCC\x8E\xE8:";
// パス (follows the mover's glyph for a turn without a move)
inline constexpr char LastMovePass[] = "\x83p\x83X";

}  // namespace japanese

// ---- The same texts in English ----------------------------------------------------------------
// Plain ASCII apart from the disc glyphs, which stay CP932 so that the board and the counts keep
// the layout of the Japanese screens.
namespace english {

inline constexpr char Title[] = "Tavimo's Reversi Ver1.00";
inline constexpr char ModePrompt[] = "*Choose the game mode by its number and press Enter.\n";
inline constexpr char CoordinateHint[] =
    "*Type the row (Y) as the tens digit, the column (X) as the units, then Enter.\n";
inline constexpr char LetterCoordinateHint[] =
    "*Type the column letter and the row digit (such as d3), then Enter.\n";
inline constexpr char BreakOffHint[] = "*To break off the game, type 99 and Enter.\n";
inline constexpr char UndoHint[] = "*To take back a move, type 98 and Enter.\n";
inline constexpr char CoachHint[] = "*To see the score of every move, type 97 and Enter.\n";
inline constexpr char ScoresExactLead[] = "*Every move in discs, best first (exact):\n";
inline constexpr char ScoresEstimatedLead[] = "*Every move in discs, best first (estimated):\n";
inline constexpr char ReviewLead[] = "*Costliest moves (discs lost against the best move):\n";
inline constexpr char ReviewNothing[] = "*No move lost a disc against the best move.\n";
inline constexpr char ReviewMoveLead[] = " move ";
inline constexpr char ReviewMoveTail[] = ": ";
inline constexpr char ReviewLostLead[] = " lost ";
inline constexpr char ReviewLostTail[] = " (best ";
inline constexpr char ReviewBestTail[] = ")\n";
// Turn: ○\n
inline constexpr char TurnBlackLine[] = "Turn: \x81\x9B\n";
// Turn: ●\n
inline constexpr char TurnWhiteLine[] = "Turn: \x81\x9C\n";
inline constexpr char PassText[] = "Pass\n";
inline constexpr char GameOverText[] = "Game over\n";
// ○: Black wins!\n
inline constexpr char BlackWinsLine[] = "\x81\x9B: Black wins!\n";
// ●: White wins!\n
inline constexpr char WhiteWinsLine[] = "\x81\x9C: White wins!\n";
inline constexpr char DrawText[] = "Draw! ";
// ○:
inline constexpr char BlackCountLead[] = "\x81\x9B: ";
//  pieces    ●:
inline constexpr char WhiteCountLead[] = " pieces    \x81\x9C: ";
inline constexpr char CountTail[] = " pieces\n";
inline constexpr char FinalPrompt[] =
    "*Type 0 and Enter for a new game, 99 and Enter to shut down.\n";
inline constexpr char CannotPlaceTail[] = "]:you cannot place a disc there!\n";
inline constexpr char NothingToTakeBackTail[] = "]:there is no move to take back!\n";
inline constexpr char LastMoveLead[] = "Last move: ";
inline constexpr char LastMovePass[] = " passed";

}  // namespace english

// One text of a set. It has no default value, so a set whose initializer leaves a field out does
// not compile; it reads as the text's bytes wherever a text is written.
struct SetText {
  constexpr SetText(const char* text) : bytes(text) {}  // implicit: a set is filled from literals
  constexpr operator const char*() const { return bytes; }
  const char* bytes;
};

// The texts that differ between the two languages or with --ascii; the game shows one set for the
// whole run, the one Texts() returns. Filled by field name, so that a text cannot land in
// another's field.
struct TextSet {
  SetText title;
  SetText modePrompt;
  SetText coordinateHint;
  SetText letterCoordinateHint;  // in place of coordinateHint with --notation=a1
  SetText breakOffHint;
  SetText undoHint;
  SetText coachHint;  // the coach (--coach): its hint, the scores after 97, the review
  SetText scoresExactLead;
  SetText scoresEstimatedLead;
  SetText reviewLead;
  SetText reviewNothing;
  SetText reviewMoveLead;
  SetText reviewMoveTail;
  SetText reviewLostLead;
  SetText reviewLostTail;
  SetText reviewBestTail;
  SetText turnBlackLine;
  SetText turnWhiteLine;
  SetText passText;
  SetText gameOverText;
  SetText blackWinsLine;
  SetText whiteWinsLine;
  SetText drawText;
  SetText blackCountLead;
  SetText whiteCountLead;
  SetText countTail;
  SetText finalPrompt;
  SetText cannotPlaceTail;
  SetText nothingToTakeBackTail;
  SetText lastMoveLead;
  SetText lastMovePass;
  SetText blackDisc;  // the discs in the last-move line
  SetText whiteDisc;
};

// Every field of a TextSet, in order: the one list by which code and tests walk all the texts of a
// set, so that a new field is spelled in ASCII and measured without further ado.
inline constexpr SetText TextSet::*const TextFields[] = {
    &TextSet::title,
    &TextSet::modePrompt,
    &TextSet::coordinateHint,
    &TextSet::letterCoordinateHint,
    &TextSet::breakOffHint,
    &TextSet::undoHint,
    &TextSet::coachHint,
    &TextSet::scoresExactLead,
    &TextSet::scoresEstimatedLead,
    &TextSet::reviewLead,
    &TextSet::reviewNothing,
    &TextSet::reviewMoveLead,
    &TextSet::reviewMoveTail,
    &TextSet::reviewLostLead,
    &TextSet::reviewLostTail,
    &TextSet::reviewBestTail,
    &TextSet::turnBlackLine,
    &TextSet::turnWhiteLine,
    &TextSet::passText,
    &TextSet::gameOverText,
    &TextSet::blackWinsLine,
    &TextSet::whiteWinsLine,
    &TextSet::drawText,
    &TextSet::blackCountLead,
    &TextSet::whiteCountLead,
    &TextSet::countTail,
    &TextSet::finalPrompt,
    &TextSet::cannotPlaceTail,
    &TextSet::nothingToTakeBackTail,
    &TextSet::lastMoveLead,
    &TextSet::lastMovePass,
    &TextSet::blackDisc,
    &TextSet::whiteDisc,
};
inline constexpr std::size_t TextFieldCount = sizeof TextFields / sizeof TextFields[0];
static_assert(sizeof(TextSet) == TextFieldCount * sizeof(SetText),
              "every field of TextSet is listed in TextFields");

inline constexpr TextSet JapaneseSet = {
    .title = japanese::Title,
    .modePrompt = japanese::ModePrompt,
    .coordinateHint = japanese::CoordinateHint,
    .letterCoordinateHint = japanese::LetterCoordinateHint,
    .breakOffHint = japanese::BreakOffHint,
    .undoHint = japanese::UndoHint,
    .coachHint = japanese::CoachHint,
    .scoresExactLead = japanese::ScoresExactLead,
    .scoresEstimatedLead = japanese::ScoresEstimatedLead,
    .reviewLead = japanese::ReviewLead,
    .reviewNothing = japanese::ReviewNothing,
    .reviewMoveLead = japanese::ReviewMoveLead,
    .reviewMoveTail = japanese::ReviewMoveTail,
    .reviewLostLead = japanese::ReviewLostLead,
    .reviewLostTail = japanese::ReviewLostTail,
    .reviewBestTail = japanese::ReviewBestTail,
    .turnBlackLine = japanese::TurnBlackLine,
    .turnWhiteLine = japanese::TurnWhiteLine,
    .passText = japanese::PassText,
    .gameOverText = japanese::GameOverText,
    .blackWinsLine = japanese::BlackWinsLine,
    .whiteWinsLine = japanese::WhiteWinsLine,
    .drawText = japanese::DrawText,
    .blackCountLead = japanese::BlackCountLead,
    .whiteCountLead = japanese::WhiteCountLead,
    .countTail = japanese::CountTail,
    .finalPrompt = japanese::FinalPrompt,
    .cannotPlaceTail = japanese::CannotPlaceTail,
    .nothingToTakeBackTail = japanese::NothingToTakeBackTail,
    .lastMoveLead = japanese::LastMoveLead,
    .lastMovePass = japanese::LastMovePass,
    .blackDisc = common::BlackGlyph,
    .whiteDisc = common::WhiteGlyph,
};
inline constexpr TextSet EnglishSet = {
    .title = english::Title,
    .modePrompt = english::ModePrompt,
    .coordinateHint = english::CoordinateHint,
    .letterCoordinateHint = english::LetterCoordinateHint,
    .breakOffHint = english::BreakOffHint,
    .undoHint = english::UndoHint,
    .coachHint = english::CoachHint,
    .scoresExactLead = english::ScoresExactLead,
    .scoresEstimatedLead = english::ScoresEstimatedLead,
    .reviewLead = english::ReviewLead,
    .reviewNothing = english::ReviewNothing,
    .reviewMoveLead = english::ReviewMoveLead,
    .reviewMoveTail = english::ReviewMoveTail,
    .reviewLostLead = english::ReviewLostLead,
    .reviewLostTail = english::ReviewLostTail,
    .reviewBestTail = english::ReviewBestTail,
    .turnBlackLine = english::TurnBlackLine,
    .turnWhiteLine = english::TurnWhiteLine,
    .passText = english::PassText,
    .gameOverText = english::GameOverText,
    .blackWinsLine = english::BlackWinsLine,
    .whiteWinsLine = english::WhiteWinsLine,
    .drawText = english::DrawText,
    .blackCountLead = english::BlackCountLead,
    .whiteCountLead = english::WhiteCountLead,
    .countTail = english::CountTail,
    .finalPrompt = english::FinalPrompt,
    .cannotPlaceTail = english::CannotPlaceTail,
    .nothingToTakeBackTail = english::NothingToTakeBackTail,
    .lastMoveLead = english::LastMoveLead,
    .lastMovePass = english::LastMovePass,
    .blackDisc = common::BlackGlyph,
    .whiteDisc = common::WhiteGlyph,
};

// ---- The ASCII sets: every glyph of a set's texts as one ASCII character ----------------------

// A glyph and the ASCII character that stands for it.
struct AsciiSpelling {
  char glyph[3];
  char ascii;
};
inline constexpr AsciiSpelling AsciiSpellings[] = {
    {{common::BlackGlyph[0], common::BlackGlyph[1], 0}, 'O'},
    {{common::WhiteGlyph[0], common::WhiteGlyph[1], 0}, 'X'},
    {{common::EmptyGlyph[0], common::EmptyGlyph[1], 0}, '.'},
    {{common::HintGlyph[0], common::HintGlyph[1], 0}, '*'},
};

// A CP932 lead byte: the first of a double-byte character's two bytes. Needed to find the glyphs
// as whole characters, never as the second byte of one character and the first of the next.
constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

constexpr std::size_t TextLength(const char* text) {
  std::size_t length = 0;
  while (text[length] != '\0')
    ++length;
  return length;
}

// Room for all the texts of `set`, each with its NUL: the ASCII spelling is never longer.
constexpr std::size_t PoolSize(const TextSet& set) {
  std::size_t size = 0;
  for (SetText TextSet::*field : TextFields)
    size += TextLength(set.*field) + 1;
  return size;
}

// The texts of a set one after another, glyphs spelled in ASCII, and where each begins.
template <std::size_t Size>
struct AsciiPool {
  char bytes[Size];
  std::size_t starts[TextFieldCount];
};

template <std::size_t Size>
constexpr AsciiPool<Size> MakeAsciiPool(const TextSet& set) {
  AsciiPool<Size> pool{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < TextFieldCount; ++i) {
    pool.starts[i] = at;
    const char* text = set.*TextFields[i];
    for (std::size_t k = 0; text[k] != '\0';) {
      if (!IsLeadByte(static_cast<unsigned char>(text[k])) || text[k + 1] == '\0') {
        pool.bytes[at++] = text[k++];
        continue;
      }
      char spelled = 0;
      for (const AsciiSpelling& spelling : AsciiSpellings) {
        if (spelling.glyph[0] == text[k] && spelling.glyph[1] == text[k + 1])
          spelled = spelling.ascii;
      }
      if (spelled != 0) {
        pool.bytes[at++] = spelled;
      } else {
        pool.bytes[at++] = text[k];
        pool.bytes[at++] = text[k + 1];
      }
      k += 2;
    }
    pool.bytes[at++] = '\0';
  }
  return pool;
}

// The set `from` with its texts replaced by those of a pool made from it.
template <std::size_t Size>
constexpr TextSet SetOfPool(const TextSet& from, const AsciiPool<Size>& pool) {
  TextSet set = from;
  for (std::size_t i = 0; i < TextFieldCount; ++i)
    set.*TextFields[i] = SetText(pool.bytes + pool.starts[i]);
  return set;
}

inline constexpr auto JapaneseAsciiPool = MakeAsciiPool<PoolSize(JapaneseSet)>(JapaneseSet);
inline constexpr auto EnglishAsciiPool = MakeAsciiPool<PoolSize(EnglishSet)>(EnglishSet);
inline constexpr TextSet JapaneseAsciiSet = SetOfPool(JapaneseSet, JapaneseAsciiPool);
inline constexpr TextSet EnglishAsciiSet = SetOfPool(EnglishSet, EnglishAsciiPool);

}  // namespace reversi::texts
