// The program's entry point: the command line first, then the game or an engine protocol. The
// environment is not read.
#include "app/options.h"
#include "game/game.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  reversi::platform::StartConsole();
  reversi::app::EngineChoice engine = {};
  const int status = reversi::app::ReadCommandLine(argc, argv, engine);
  if (status == reversi::app::StartGtp || status == reversi::app::StartNBoard)
    return reversi::app::RunEngine(status, engine);
  if (status != reversi::app::StartTheGame) return status;
  return reversi::RunGame();
}
