// What the program's screens and prompts read, spelled in UTF-8 for tests that compare against the
// decoded output (see cp932.h). Written out by hand from what the player must see, independently of
// the CP932 byte strings the game itself carries.
#pragma once

#include <string>

namespace reversi::testing::expected {

inline constexpr char Clear[] = "\x1b[H\x1b[2J";
inline constexpr char ModeMenu[] =
    "*ゲームモードを数字で選択してEnterを押してください。\n"
    "(0)Player vs Player (1)Player vs COM (2)COM vs player (3)COM vs COM\n";
inline constexpr char Instructions[] =
    "*Y座標を10の位にX座標を1の位にしてEnterを押してください。\n"
    "*中断するときは「99+Enter」を入力してください。\n";
inline constexpr char BlackTurn[] = "ターン:○\n";
inline constexpr char WhiteTurn[] = "ターン:●\n";
inline constexpr char ColumnHeader[] = "  1 2 3 4 5 6 7 8\n";
inline constexpr char StartRows[] =
    "10・・・・・・・・\n"
    "20・・・・・・・・\n"
    "30・・・・・・・・\n"
    "40・・・●○・・・\n"
    "50・・・○●・・・\n"
    "60・・・・・・・・\n"
    "70・・・・・・・・\n"
    "80・・・・・・・・\n";
inline constexpr char StartDrawCounts[] = "引き分け！○:  2 ピース    ●:  2 ピース\n";
inline constexpr char FinalPrompt[] =
    "*「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。\n";
inline constexpr char PassText[] = "パス\n";
inline constexpr char GameOverText[] = "ゲーム終了\n";

// A whole board screen: clear, instructions, turn line (BlackTurn or WhiteTurn), header, rows.
inline std::string Screen(const char* turnLine, const char* rows) {
  return std::string(Clear) + Instructions + turnLine + ColumnHeader + rows;
}

// The result screen of a game that ended in the start position (broken off at once).
inline std::string StartResult() {
  return Screen(WhiteTurn, StartRows) + StartDrawCounts + FinalPrompt;
}

}  // namespace reversi::testing::expected
