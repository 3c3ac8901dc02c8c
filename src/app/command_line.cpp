// The one command-line parser, the same on every tool chain: standard C++ only, no C library
// option parser and so no hidden state such as getopt's optind. It follows the GNU long-option
// conventions the program has always had: unique abbreviations of long names, short forms that
// may be run together, "--" to end the options, and a stop at the first argument that is no
// option, which is then refused.
#include "command_line.h"

#include <cstring>

#include "platform/console.h"

namespace reversi::app {

namespace {

constexpr std::uint32_t DecimalRadix = 10;
constexpr char LimitsMark[] = "{}";  // where a help line shows the option's limits
constexpr char WordSeparator = '|';
constexpr char NumberSeparator = ',';
// The help's option column: two blanks, then "-h, " or four blanks, then the long form.
constexpr int LeadWidth = 6;
constexpr int GapWidth = 2;  // blanks at least between the longest long form and its help

// Reads decimal digits only (no sign, no blanks) from `begin` up to `end`, a number from smallest
// to largest. False for an empty text or any other character.
bool ReadWholeNumber(const char* begin, const char* end, const OptionRow& row,
                     std::uint32_t& value) {
  if (begin == end) return false;
  std::uint64_t number = 0;
  for (const char* c = begin; c != end; ++c) {
    if (*c < '0' || *c > '9') return false;
    number = number * DecimalRadix + static_cast<std::uint64_t>(*c - '0');
    if (number > row.largest) return false;
  }
  if (number < row.smallest) return false;
  value = static_cast<std::uint32_t>(number);
  return true;
}

// Reads a list of up to row.most numbers separated by commas into `value`.
bool ReadNumberList(const char* text, const OptionRow& row, OptionValue& value) {
  value.count = 0;
  for (const char* begin = text;; ++begin) {
    const char* end = std::strchr(begin, NumberSeparator);
    if (end == nullptr) end = begin + std::strlen(begin);
    if (value.count == row.most || value.count == MostNumbers) return false;
    if (!ReadWholeNumber(begin, end, row, value.numbers[value.count])) return false;
    ++value.count;
    if (*end == '\0') return true;
    begin = end;
  }
}

// Finds `text` among the words of `row`; their index, or -1.
int FindWord(const char* text, const OptionRow& row) {
  const std::size_t length = std::strlen(text);
  int index = 0;
  for (const char* word = row.words; word != nullptr; ++index) {
    const char* end = std::strchr(word, WordSeparator);
    const std::size_t wordLength =
        end == nullptr ? std::strlen(word) : static_cast<std::size_t>(end - word);
    if (wordLength == length && std::strncmp(word, text, length) == 0) return index;
    word = end == nullptr ? nullptr : end + 1;
  }
  return -1;
}

// Says that the value of `row` is not what it must be.
void RefuseValue(const OptionRow& row, const char* text) {
  if (row.kind == ValueKind::WholeNumbers) {
    char smallest[WholeNumberTextSize];
    char largest[WholeNumberTextSize];
    RefuseCommandLine({"--", row.name, " needs ", row.needs, row.most > 1 ? ", each" : nullptr,
                       " from ", WholeNumberText(row.smallest, smallest), " to ",
                       WholeNumberText(row.largest, largest), ", not '", text, "'"});
  } else if (row.kind == ValueKind::Word) {
    RefuseCommandLine({"--", row.name, " needs ", row.needs, " ", row.words, ", not '", text, "'"});
  } else {
    RefuseCommandLine({"--", row.name, " needs ", row.needs});
  }
}

// Checks the value of `row` (nullptr: none given) against its kind and limits, then applies it.
bool TakeOption(const OptionRow& row, const char* text, CommandLine& line) {
  OptionValue value = {};
  value.text = text;
  if (text != nullptr) {
    bool good = true;
    if (row.kind == ValueKind::WholeNumbers) {
      good = ReadNumberList(text, row, value);
    } else if (row.kind == ValueKind::Word) {
      value.word = FindWord(text, row);
      good = value.word >= 0;
    } else if (row.kind == ValueKind::Text) {
      good = *text != '\0';
    }  // AnyText: every text is good
    if (!good) {
      RefuseValue(row, text);
      return false;
    }
  }
  if (row.switchOn != nullptr) {
    line.settings.*row.switchOn = true;
    return true;
  }
  return row.apply(value, line);
}

// The row whose long name is the `length` characters at `name`, or else the one row whose long
// name begins with them. nullptr when there is none or more than one (`ambiguous` then set).
const OptionRow* FindLongName(std::span<const OptionRow> table, const char* name,
                              std::size_t length, bool& ambiguous) {
  const OptionRow* found = nullptr;
  int beginning = 0;
  for (const OptionRow& row : table) {
    if (std::strncmp(row.name, name, length) != 0) continue;
    if (row.name[length] == '\0') return &row;
    found = &row;
    ++beginning;
  }
  ambiguous = beginning > 1;
  return beginning == 1 ? found : nullptr;
}

// Reads the long option argv[at] ("--name" or "--name=VALUE"), taking its value from the next
// argument when it needs one and has no "="; `at` then moves on to that argument.
bool ReadLongOption(std::span<const OptionRow> table, int argc, char** argv, int& at,
                    CommandLine& line) {
  const char* argument = argv[at];
  const char* name = argument + 2;
  const char* equals = std::strchr(name, '=');
  const std::size_t length =
      equals == nullptr ? std::strlen(name) : static_cast<std::size_t>(equals - name);
  bool ambiguous = false;
  const OptionRow* row = length == 0 ? nullptr : FindLongName(table, name, length, ambiguous);
  if (row == nullptr) {
    RefuseCommandLine({ambiguous ? "ambiguous option '" : "unknown option '", argument, "'"});
    return false;
  }
  const char* value = equals == nullptr ? nullptr : equals + 1;
  if (row->use == ValueUse::None && value != nullptr) {
    RefuseCommandLine({"option '--", row->name, "' takes no value"});
    return false;
  }
  if (row->use == ValueUse::Required && value == nullptr) {
    if (at + 1 >= argc) {
      RefuseCommandLine({"option '--", row->name, "' needs a value"});
      return false;
    }
    value = argv[++at];
  }
  return TakeOption(*row, value, line);
}

// Reads the short options run together in argv[at] ("-h", "-hh"). A short option with a value
// takes the rest of the argument, or else (when it needs one) the next argument.
bool ReadShortOptions(std::span<const OptionRow> table, int argc, char** argv, int& at,
                      CommandLine& line) {
  for (const char* letter = argv[at] + 1; *letter != '\0'; ++letter) {
    const OptionRow* row = nullptr;
    for (const OptionRow& candidate : table) {
      if (candidate.letter == *letter) row = &candidate;
    }
    if (row == nullptr) {
      const char shortForm[] = {'-', *letter, '\0'};
      RefuseCommandLine({"unknown option '", shortForm, "'"});
      return false;
    }
    if (row->use == ValueUse::None) {
      if (!TakeOption(*row, nullptr, line)) return false;
      continue;
    }
    const char* value = letter[1] != '\0' ? letter + 1 : nullptr;
    if (value == nullptr && row->use == ValueUse::Required) {
      if (at + 1 >= argc) {
        RefuseCommandLine({"option '--", row->name, "' needs a value"});
        return false;
      }
      value = argv[++at];
    }
    return TakeOption(*row, value, line);
  }
  return true;
}

// Writes `count` blanks to standard output.
void WriteBlanks(int count) {
  for (int i = 0; i < count; ++i)
    platform::WriteOutput(" ", 1);
}

// How many columns the long form of `row` takes in the help: "--name", "--name=VALUE" or
// "--name[=VALUE]".
int LongFormWidth(const OptionRow& row) {
  const int name = 2 + static_cast<int>(std::strlen(row.name));
  if (row.use == ValueUse::None) return name;
  const int value = 1 + static_cast<int>(std::strlen(row.valueName));
  return name + value + (row.use == ValueUse::Optional ? 2 : 0);
}

// Writes the limits of `row` where its help has "{}": "0..10000" for numbers, the words
// "auto|always|never" for a choice.
void WriteLimits(const OptionRow& row) {
  if (row.kind == ValueKind::Word) {
    platform::WriteText(row.words);
    return;
  }
  char number[WholeNumberTextSize];
  platform::WriteText(WholeNumberText(row.smallest, number));
  platform::WriteText("..");
  platform::WriteText(WholeNumberText(row.largest, number));
}

// Writes the help lines of `row`, each after the first indented to `column`.
void WriteHelpLines(const OptionRow& row, int column) {
  for (const char* c = row.help; *c != '\0';) {
    if (std::strncmp(c, LimitsMark, sizeof LimitsMark - 1) == 0) {
      WriteLimits(row);
      c += sizeof LimitsMark - 1;
      continue;
    }
    platform::WriteOutput(c, 1);
    if (*c++ == '\n') WriteBlanks(column);
  }
  platform::WriteText("\n");
}

}  // namespace

bool ParseArguments(std::span<const OptionRow> table, int argc, char** argv, CommandLine& line) {
  int at = 1;
  for (; at < argc; ++at) {
    const char* argument = argv[at];
    if (argument[0] != '-' || argument[1] == '\0') break;  // no option: refused below
    if (argument[1] == '-') {
      if (argument[2] == '\0') {  // "--": what follows is no option
        ++at;
        break;
      }
      if (!ReadLongOption(table, argc, argv, at, line)) return false;
    } else if (!ReadShortOptions(table, argc, argv, at, line)) {
      return false;
    }
  }
  if (at < argc) {
    RefuseCommandLine({"unexpected argument '", argv[at], "'"});
    return false;
  }
  return true;
}

void WriteOptionList(std::span<const OptionRow> table) {
  int widest = 0;
  for (const OptionRow& row : table) {
    if (LongFormWidth(row) > widest) widest = LongFormWidth(row);
  }
  const int column = LeadWidth + widest + GapWidth;
  for (const OptionRow& row : table) {
    if (row.letter != '\0') {
      const char shortForm[] = {' ', ' ', '-', row.letter, ',', ' ', '\0'};
      platform::WriteText(shortForm);
    } else {
      WriteBlanks(LeadWidth);
    }
    platform::WriteText("--");
    platform::WriteText(row.name);
    if (row.use == ValueUse::Optional) platform::WriteText("[");
    if (row.use != ValueUse::None) {
      platform::WriteText("=");
      platform::WriteText(row.valueName);
    }
    if (row.use == ValueUse::Optional) platform::WriteText("]");
    WriteBlanks(column - LeadWidth - LongFormWidth(row));
    WriteHelpLines(row, column);
  }
}

void RefuseCommandLine(std::initializer_list<const char*> pieces) {
  platform::WriteErrorText("reversi: ");
  for (const char* piece : pieces) {
    if (piece != nullptr) platform::WriteErrorText(piece);
  }
  platform::WriteErrorText("\n");
  platform::WriteErrorText("Try 'reversi --help'.\n");
}

const char* WholeNumberText(std::uint32_t value, char (&text)[WholeNumberTextSize]) {
  int digits = 1;
  for (std::uint32_t rest = value / DecimalRadix; rest != 0; rest /= DecimalRadix)
    ++digits;
  text[digits] = '\0';
  for (int i = digits - 1; i >= 0; --i, value /= DecimalRadix)
    text[i] = static_cast<char>('0' + value % DecimalRadix);
  return text;
}

}  // namespace reversi::app
