// Runs a built program as a child process with a script on its standard input and collects what
// it writes, under a time limit. POSIX only: the end-to-end tests of the real binary use it.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace reversi::testing {

// Where the child's standard output goes.
enum class OutputTarget {
  Pipe,      // captured and returned
  DevNull,   // /dev/null
  DevFull,   // /dev/full: every write fails with "no space"
  Closed,    // file descriptor 1 closed: every write fails
  Terminal,  // a pseudo-terminal in raw mode (no line-end translation), captured and returned
};

struct ChildOptions {
  OutputTarget output = OutputTarget::Pipe;
  std::chrono::milliseconds timeout{10000};
  // Standard input from /dev/null instead of the script.
  bool inputFromDevNull = false;
  // When not empty, the script is held back until the output so far ends with these bytes: the
  // program must have shown them before it waits for input.
  std::string holdInputUntil;
  // When set, standard input is produced by this instead of the script, chunk by chunk as the
  // child reads: it fills up to `capacity` bytes and returns how many; 0 ends the input. Lets a
  // test stream far more input than it could hold.
  std::function<std::size_t(char* buffer, std::size_t capacity)> inputGenerator;
  // The command-line arguments after the program's name.
  std::vector<std::string> arguments;
  // When not empty, standard error goes to this file (truncated first) instead of the test's own.
  std::string errorFile;
  // When set, the child is sent `signal` once the whole script has been written and this says yes
  // to the output so far; standard input then stays open until the child has gone, so that the
  // signal, not the input's end, ends it.
  int signal = 0;
  std::function<bool(const std::string& output)> signalWhen;
};

struct ChildResult {
  bool started = false;  // false when pipes, a terminal or the process could not be had
  std::string output;
  int exitCode = -1;    // valid when exited is true
  int signal = 0;       // the signal that ended the child, if any
  bool exited = false;  // ended by exit() or a return from main
  bool timedOut = false;
  long maxRssKiB = 0;  // the child's peak resident set size
  // The program's own peak resident set size (VmHWM), as last sampled while it ran; 0 when it
  // ended before a sample. Unlike maxRssKiB it leaves out the pages of the forked test process
  // that the child held before it became the program.
  long programPeakKiB = 0;
};

// Starts `program` (with options.arguments, an empty environment), writes `input` (or the
// generator's stream) to its standard input and closes it, and waits until the child ends or the
// timeout kills it.
ChildResult RunProgram(const std::string& program, std::string_view input,
                       const ChildOptions& options = {});

}  // namespace reversi::testing
