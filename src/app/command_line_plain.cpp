// The command line where the C library has no getopt_long (the Microsoft runtime): the game is
// played only without arguments, and any argument is refused, so the build still works there.
#include "app/options.h"

namespace reversi::app {

int ReadCommandLine(int argc, char** argv) {
  if (argc <= 1 || argv == nullptr) return StartTheGame;
  return RefuseCommandLine({"this build takes no options; unexpected argument '", argv[1], "'"});
}

}  // namespace reversi::app
