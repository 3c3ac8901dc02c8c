// The Go Text Protocol as Othello engines and their controllers speak it: numbered or plain
// commands, one per line, each answered "= result" or "? error" and a blank line. Squares are
// written a1..h8 with a1 at the top left, as in Othello notation.
#include "board/board.h"
#include "channel.h"
#include "com/com.h"
#include "engine/engine.h"
#include "game_line.h"
#include "platform/console.h"

namespace reversi::engine {

namespace {

constexpr char ProtocolVersion[] = "2";
constexpr char EngineName[] = "reversi";
constexpr char EngineVersion[] = "1.00";

const EngineStart* engineStart = nullptr;
const char* commandId = "";  // the number a command came with, repeated in its answer
bool quitting = false;

// Opens a successful answer; the command then writes its result, if any.
void Succeed() {
  platform::WriteText("=");
  platform::WriteText(commandId);
  platform::WriteText(" ");
}

// Writes a failed answer with its message.
void Fail(const char* message) {
  platform::WriteText("?");
  platform::WriteText(commandId);
  platform::WriteText(" ");
  platform::WriteText(message);
}

// The side a GTP colour names ("b", "black", "w", "white", any case), or -1.
int ReadColour(const char* word) {
  if (SameWord(word, "b") || SameWord(word, "black")) return 0;
  if (SameWord(word, "w") || SameWord(word, "white")) return 1;
  return -1;
}

// A command's arguments: the words after its name.
struct Arguments {
  const char* const* words;
  int count;
};

// The identification commands: the protocol version, the engine's name and its version.
void ProtocolVersionCommand(Arguments) {
  Succeed();
  platform::WriteText(ProtocolVersion);
}

void NameCommand(Arguments) {
  Succeed();
  platform::WriteText(EngineName);
}

void VersionCommand(Arguments) {
  Succeed();
  platform::WriteText(EngineVersion);
}

void KnownCommand(Arguments arguments);
void ListCommands(Arguments arguments);

// Only the 8 x 8 board is played.
void BoardSizeCommand(Arguments arguments) {
  int size = 0;
  if (arguments.count != 1 || !ReadCount(arguments.words[0], SquareCount, size)) {
    Fail("boardsize needs a number");
  } else if (size != BoardSize) {
    Fail("unacceptable size");
  } else {
    Succeed();
  }
}

// A new game from the start position (the usual one, or the --position board).
void ClearBoardCommand(Arguments) {
  StartLine(engineStart->start);
  Succeed();
}

// Komi has no meaning on a board where every square is counted; any value is accepted.
void KomiCommand(Arguments arguments) {
  if (arguments.count != 1) {
    Fail("komi needs a value");
  } else {
    Succeed();
  }
}

// Plays a colour's move or pass that another player made.
void PlayCommand(Arguments arguments) {
  const int side = arguments.count == 2 ? ReadColour(arguments.words[0]) : -1;
  const int square = arguments.count == 2 ? ReadEngineMove(arguments.words[1]) : NotAMove;
  if (side < 0 || square == NotAMove) {
    Fail("play needs a colour and a move");
  } else if (!PlayOnLine(side, square)) {
    Fail("illegal move");
  } else {
    Succeed();
  }
}

// Plays and answers the COM's move for a colour: its level's choice with the turn's one coin,
// or "pass" for a colour without a move.
void GenMoveCommand(Arguments arguments) {
  const int side = arguments.count == 1 ? ReadColour(arguments.words[0]) : -1;
  if (side < 0) {
    Fail("genmove needs a colour");
    return;
  }
  const int square = LegalSquares(side) == 0 ? NoSquareCode : PickComSquare(side);
  if (!PlayOnLine(side, square)) {
    Fail("the game is too long");
    return;
  }
  Succeed();
  WriteMove(square, "pass");
}

// Takes the last move or pass back.
void UndoCommand(Arguments) {
  if (TakeBackOnLine()) {
    Succeed();
  } else {
    Fail("cannot undo");
  }
}

// The board as text, X for black and O for white, with the side to move.
void ShowBoardCommand(Arguments) {
  constexpr char Columns[] = "  a b c d e f g h\n";
  Succeed();
  platform::WriteText("\n");
  platform::WriteText(Columns);
  for (int row = 0; row < BoardSize; ++row) {
    platform::WriteNumber(row + 1);
    for (int col = 0; col < BoardSize; ++col) {
      const Cell cell = Board[row][col];
      platform::WriteText(cell == Black ? " X" : cell == White ? " O" : " .");
    }
    platform::WriteText(" ");
    platform::WriteNumber(row + 1);
    platform::WriteText("\n");
  }
  platform::WriteText(Columns);
  platform::WriteText(LineSide() == 0 ? "X to move" : "O to move");
}

// The score as Othello counts it: the empty squares of a game that ended early go to the winner.
void FinalScoreCommand(Arguments) {
  const int black = CountCells(Black);
  const int white = CountCells(White);
  const int empty = SquareCount - black - white;
  Succeed();
  if (black == white) {
    platform::WriteText("0");
  } else {
    platform::WriteText(black > white ? "B+" : "W+");
    platform::WriteNumber((black > white ? black - white : white - black) + empty);
  }
}

// Answers, then ends the session.
void QuitCommand(Arguments) {
  quitting = true;
  Succeed();
}

struct Command {
  const char* name;
  void (*run)(Arguments arguments);
};

constexpr Command Commands[] = {
    {"protocol_version", ProtocolVersionCommand},
    {"name", NameCommand},
    {"version", VersionCommand},
    {"known_command", KnownCommand},
    {"list_commands", ListCommands},
    {"boardsize", BoardSizeCommand},
    {"clear_board", ClearBoardCommand},
    {"komi", KomiCommand},
    {"play", PlayCommand},
    {"genmove", GenMoveCommand},
    {"undo", UndoCommand},
    {"showboard", ShowBoardCommand},
    {"final_score", FinalScoreCommand},
    {"quit", QuitCommand},
};

// The command of that name, any case, or nullptr.
const Command* FindCommand(const char* name) {
  for (const Command& command : Commands) {
    if (SameWord(name, command.name)) return &command;
  }
  return nullptr;
}

// Whether a command of the given name is known.
void KnownCommand(Arguments arguments) {
  Succeed();
  platform::WriteText(arguments.count == 1 && FindCommand(arguments.words[0]) != nullptr ? "true"
                                                                                         : "false");
}

// Every known command, one a line.
void ListCommands(Arguments) {
  Succeed();
  for (const Command& command : Commands) {
    if (&command != Commands) platform::WriteText("\n");
    platform::WriteText(command.name);
  }
}

// Whether `word` is a command's number: decimal digits only.
bool IsCommandId(const char* word) {
  if (*word == '\0') return false;
  for (; *word != '\0'; ++word) {
    if (*word < '0' || *word > '9') return false;
  }
  return true;
}

}  // namespace

int RunGtp(const EngineStart& start) {
  engineStart = &start;
  quitting = false;
  SeedRandom(start.seed);
  StartLine(start.start);
  CommandLine line;
  while (!quitting && ReadCommand(line, true)) {
    if (line.wordCount == 0) continue;
    int first = 0;
    commandId = "";
    if (IsCommandId(line.words[0])) commandId = line.words[first++];
    const Command* command = first < line.wordCount ? FindCommand(line.words[first]) : nullptr;
    if (line.cut) {
      Fail("command too long");
    } else if (command == nullptr) {
      Fail("unknown command");
    } else {
      command->run({line.words + first + 1, line.wordCount - first - 1});
    }
    platform::WriteText("\n\n");
    platform::FlushOutput();
  }
  return 0;
}

}  // namespace reversi::engine
