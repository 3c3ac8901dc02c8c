// The protocols' channel: command lines read from standard input, replies written to standard
// output, and the small pieces that replies are made of. Private to src/engine.
#pragma once

#include <cstdint>

namespace reversi::engine {

// The longest command line kept; the rest of a longer line is read and dropped.
inline constexpr int CommandCapacity = 4096;
// The most words a command line is split into; further words are left joined to the last.
inline constexpr int MostWords = 8;

struct CommandLine {
  char text[CommandCapacity];  // the line, its words NUL-terminated in place
  int length;
  const char* words[MostWords];
  int wordCount;
  bool cut;  // the line was longer than CommandCapacity - 1 bytes
};

// Reads the next line of standard input (without its "\n" or "\r"), turns control characters into
// blanks and, when `comments` is true, drops everything from a '#' on; splits it into words.
// False at the input's end.
bool ReadCommand(CommandLine& line, bool comments);

// The line from its word `word` to its end, the blanks between the words given back: for a
// command whose last argument may hold blanks. `word` must be below wordCount.
const char* RestOfLine(CommandLine& line, int word);

// Whether `word` spells `name`, letters in either case.
bool SameWord(const char* word, const char* name);

// Reads `word` as a whole number from 0 to `largest`; false for anything else.
bool ReadCount(const char* word, int largest, int& value);

// Reads a move as engines write it: a square a1..h8 (either case), or "pa"/"pass" (either case)
// for NoSquareCode; NotAMove for anything else. Text after a '/' (an evaluation, a time) is
// ignored.
int ReadEngineMove(const char* word);

// Writes a SquareCode in lower case (a1..h8), or `passText` for NoSquareCode.
void WriteMove(int square, const char* passText);

// Writes a count in decimal.
void WriteCount(std::uint64_t count);

// Writes a value given in hundredths as a decimal with two places ("-1.25", "0.00").
void WriteHundredths(std::int64_t hundredths);

// Writes a time given in microseconds as seconds with two places.
void WriteSeconds(std::int64_t microseconds);

}  // namespace reversi::engine
