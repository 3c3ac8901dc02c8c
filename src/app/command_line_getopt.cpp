// The command line parsed by the C library's getopt_long (glibc, MinGW-w64): long options with
// "--name=VALUE" or "--name VALUE", unique abbreviations, "-h", and "--" to end the options. Its
// own messages are switched off so that every complaint reads the same on every system.
#include <getopt.h>

#include <cstring>

#include "app/options.h"

namespace reversi::app {

namespace {

constexpr int OptionCount = sizeof OptionNames / sizeof OptionNames[0];

// '+': stop at the first argument that is no option instead of reordering the arguments, so that
// it can be refused; ':': report a missing value apart from an unknown option.
constexpr char ShortOptions[] = "+:h";

// How many long names begin with the `length` characters of `name`.
int NamesStartingWith(const char* name, std::size_t length) {
  int count = 0;
  for (const OptionName& option : OptionNames) {
    if (std::strncmp(option.name, name, length) == 0) ++count;
  }
  return count;
}

// Says what was wrong with an option that getopt_long refused. `known` is its optopt: 0 for a long
// option that is unknown or ambiguous (`argument` is then that option as typed), the option's id
// for a known long option given a value it does not take, and otherwise the letter of an unknown
// short option.
int RefuseOption(const char* argument, int known) {
  if (known == 0) {
    const char* name = argument + 2;
    const char* end = std::strchr(name, '=');
    const std::size_t length =
        end == nullptr ? std::strlen(name) : static_cast<std::size_t>(end - name);
    const bool ambiguous = length > 0 && NamesStartingWith(name, length) > 1;
    return RefuseCommandLine(
        {ambiguous ? "ambiguous option '" : "unknown option '", argument, "'"});
  }
  if (const char* name = NameOfOption(known); name != nullptr) {
    return RefuseCommandLine({"option '--", name, "' takes no value"});
  }
  const char shortForm[] = {'-', static_cast<char>(known), '\0'};
  return RefuseCommandLine({"unknown option '", shortForm, "'"});
}

}  // namespace

int ReadCommandLine(int argc, char** argv) {
  if (argc <= 1 || argv == nullptr) return StartTheGame;
  option longOptions[OptionCount + 1] = {};
  for (int i = 0; i < OptionCount; ++i) {
    longOptions[i] = {OptionNames[i].name,
                      OptionNames[i].takesValue ? required_argument : no_argument, nullptr,
                      OptionNames[i].id};
  }
  opterr = 0;
  for (;;) {
    const int id = getopt_long(argc, argv, ShortOptions, longOptions, nullptr);
    if (id == -1) break;
    if (id == '?') {
      const int at = optind > argc ? argc : optind;
      return RefuseOption(argv[at - 1], optopt);
    }
    if (id == ':') {
      const char* name = NameOfOption(optopt);
      return RefuseCommandLine({"option '--", name == nullptr ? "?" : name, "' needs a value"});
    }
    if (!ApplyOption(id, optarg)) return ExitBadCommandLine;
  }
  if (optind < argc) return RefuseCommandLine({"unexpected argument '", argv[optind], "'"});
  return FinishCommandLine();
}

}  // namespace reversi::app
