// The settings record and the text set it selects.
#include "game/settings.h"

namespace reversi {

Settings GameSettings = {};

const texts::TextSet& Texts() {
  return GameSettings.english ? texts::EnglishSet : texts::JapaneseSet;
}

void ResetSettingsState() {
  GameSettings = {};
}

}  // namespace reversi
