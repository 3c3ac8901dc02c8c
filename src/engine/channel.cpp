// Command lines in, replies out, through the console layer: the engine front ends read and write
// nothing else.
#include "channel.h"

#include "board/board.h"
#include "platform/console.h"

namespace reversi::engine {

namespace {

constexpr int Space = ' ';
constexpr int LastControl = 0x1F;
constexpr int Delete = 0x7F;
constexpr std::int64_t MicrosecondsPerHundredth = 10000;
constexpr int Hundred = 100;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits the kept text into words at blanks, in place.
void SplitWords(CommandLine& line) {
  line.wordCount = 0;
  char* at = line.text;
  for (;;) {
    while (*at == ' ')
      ++at;
    if (*at == '\0') return;
    if (line.wordCount == MostWords - 1) {
      line.words[line.wordCount++] = at;  // the rest of the line, blanks and all
      return;
    }
    line.words[line.wordCount++] = at;
    while (*at != ' ' && *at != '\0')
      ++at;
    if (*at == '\0') return;
    *at++ = '\0';
  }
}

}  // namespace

bool ReadCommand(CommandLine& line, bool comments) {
  int length = 0;
  bool comment = false;
  line.cut = false;
  int byte = platform::ReadInputByte();
  if (byte == platform::EndOfInput) return false;
  for (; byte != platform::EndOfInput && byte != '\n'; byte = platform::ReadInputByte()) {
    if (byte == '#' && comments) comment = true;
    if (comment || byte == '\r') continue;
    if (byte <= LastControl || byte == Delete) byte = Space;
    if (length == CommandCapacity - 1) {
      line.cut = true;
      continue;
    }
    line.text[length++] = static_cast<char>(byte);
  }
  line.text[length] = '\0';
  line.length = length;
  SplitWords(line);
  return true;
}

const char* RestOfLine(CommandLine& line, int word) {
  char* const rest = line.text + (line.words[word] - line.text);
  for (char* at = rest; at < line.text + line.length; ++at) {
    if (*at == '\0') *at = ' ';
  }
  return rest;
}

bool SameWord(const char* word, const char* name) {
  for (; *word != '\0' && *name != '\0'; ++word, ++name) {
    if (Lower(*word) != Lower(*name)) return false;
  }
  return *word == '\0' && *name == '\0';
}

bool ReadCount(const char* word, int largest, int& value) {
  if (*word == '\0') return false;
  long long number = 0;
  for (; *word != '\0'; ++word) {
    if (*word < '0' || *word > '9') return false;
    number = number * 10 + (*word - '0');
    if (number > largest) return false;
  }
  value = static_cast<int>(number);
  return true;
}

int ReadEngineMove(const char* word) {
  int length = 0;
  while (word[length] != '\0' && word[length] != '/')
    ++length;
  if (length == MoveTextLength) return ReadMoveText(word[0], word[1]);
  constexpr char PassWord[] = "pass";
  constexpr int PassWordLength = sizeof PassWord - 1;
  if (length != PassWordLength) return NotAMove;
  for (int i = 0; i < PassWordLength; ++i) {
    if (Lower(word[i]) != PassWord[i]) return NotAMove;
  }
  return NoSquareCode;
}

void WriteMove(int square, const char* passText) {
  if (square == NoSquareCode) {
    platform::WriteText(passText);
    return;
  }
  char text[MoveTextLength];
  WriteMoveText(square, text);
  platform::WriteOutput(text, MoveTextLength);
}

void WriteCount(std::uint64_t count) {
  constexpr int LongestCount = 20;
  char digits[LongestCount];
  int at = LongestCount;
  do {
    digits[--at] = static_cast<char>('0' + count % 10);
    count /= 10;
  } while (count != 0);
  platform::WriteOutput(digits + at, static_cast<std::size_t>(LongestCount - at));
}

void WriteHundredths(std::int64_t hundredths) {
  if (hundredths < 0) {
    platform::WriteText("-");
    hundredths = -hundredths;
  }
  platform::WriteNumber(static_cast<int>(hundredths / Hundred));
  platform::WriteText(".");
  const int fraction = static_cast<int>(hundredths % Hundred);
  if (fraction < 10) platform::WriteText("0");
  platform::WriteNumber(fraction);
}

void WriteSeconds(std::int64_t microseconds) {
  WriteHundredths(microseconds / MicrosecondsPerHundredth);
}

}  // namespace reversi::engine
