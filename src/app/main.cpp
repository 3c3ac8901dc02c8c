// The program's entry point. The command line and the environment are not read.
#include "game/game.h"

int main() {
  return reversi::RunGame();
}
