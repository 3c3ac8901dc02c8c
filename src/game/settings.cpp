// The settings record and the text set it selects.
#include "settings.h"

namespace reversi {

Settings GameSettings = {};

const texts::TextSet& Texts() {
  if (GameSettings.ascii)
    return GameSettings.english ? texts::EnglishAsciiSet : texts::JapaneseAsciiSet;
  return GameSettings.english ? texts::EnglishSet : texts::JapaneseSet;
}

void ResetSettingsState() {
  GameSettings = {};
}

}  // namespace reversi
