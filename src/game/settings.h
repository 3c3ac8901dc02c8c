// The text set that the player's choices select, and their start-up value. The Settings record
// itself is the game's input and lives in the chief header.
#pragma once

#include "game/game.h"
#include "texts.h"

namespace reversi {

// The texts in the language and the glyphs the settings ask for: the only way the game reaches a
// text that differs by language or with --ascii.
const texts::TextSet& Texts();

// Puts the settings back to their start-up value, the plain game.
void ResetSettingsState();

}  // namespace reversi
