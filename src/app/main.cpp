// The program's entry point: the command line first, then the game. The environment is not read.
#include "app/options.h"
#include "game/game.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  reversi::platform::StartConsole();
  const int status = reversi::app::ReadCommandLine(argc, argv);
  if (status != reversi::app::StartTheGame) return status;
  return reversi::RunGame();
}
