// The player's choices from the command line, as the game reads them. Owns the one Settings
// record (filled once before the first game, read by every game of the run) and chooses the text
// set that its language asks for.
#pragma once

#include <cstdint>

#include "game/texts.h"

namespace reversi {

// What the command line asked for. All zero, the program's start-up value, is the plain game.
struct Settings {
  bool english;            // English texts instead of Japanese
  bool hints;              // mark a human side's playable squares
  bool lastMove;           // list the turns since the previous board screen under each board
  int delayMilliseconds;   // pause after a COM move, a pass and the game-over text
  bool seeded;             // the COM's generator starts from `seed` instead of the clock
  std::uint32_t seed;      // the first game's seed; each later game takes the next number
  bool recording;          // the record file is open and gets a line at the end of every game
  const char* recordName;  // the record file's name as given, for messages
};

extern Settings GameSettings;

// The texts in the language the settings ask for: the only way the game reaches a text that
// differs by language.
const texts::TextSet& Texts();

// Puts the settings back to their start-up value, the plain game.
void ResetSettingsState();

}  // namespace reversi
