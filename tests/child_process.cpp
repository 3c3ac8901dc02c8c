#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace reversi::testing {

namespace {

constexpr std::size_t ReadChunk = 65536;

void SetNonBlocking(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// A pseudo-terminal whose terminal side is in raw mode, so the bytes arrive as written. Returns the
// controlling side (read by the parent) and the terminal side (the child's standard output), or
// false when the system has none to give.
bool OpenRawTerminal(int& controller, int& terminal) {
  controller = posix_openpt(O_RDWR | O_NOCTTY);
  if (controller < 0) return false;
  if (grantpt(controller) != 0 || unlockpt(controller) != 0) {
    close(controller);
    return false;
  }
  terminal = open(ptsname(controller), O_RDWR | O_NOCTTY);
  if (terminal < 0) {
    close(controller);
    return false;
  }
  termios mode{};
  tcgetattr(terminal, &mode);
  cfmakeraw(&mode);
  tcsetattr(terminal, TCSANOW, &mode);
  return true;
}

// In the child: puts the chosen files on descriptors 0 and 1, then runs the program.
[[noreturn]] void BecomeProgram(const std::string& program, int inputRead, int outputWrite,
                                const ChildOptions& options) {
  if (options.inputFromDevNull) {
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
  } else {
    dup2(inputRead, STDIN_FILENO);
  }
  switch (options.output) {
    case OutputTarget::Pipe:
    case OutputTarget::Terminal:
      dup2(outputWrite, STDOUT_FILENO);
      break;
    case OutputTarget::DevNull:
      dup2(open("/dev/null", O_WRONLY), STDOUT_FILENO);
      break;
    case OutputTarget::DevFull:
      dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
      break;
    case OutputTarget::Closed:
      close(STDOUT_FILENO);
      break;
  }
  if (!options.errorFile.empty()) {
    dup2(open(options.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
  }
  for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd)
    close(fd);
  signal(SIGPIPE, SIG_DFL);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : options.arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  char* const envp[] = {nullptr};
  execve(program.c_str(), argv.data(), envp);
  _exit(127);
}

// The VmHWM line of /proc/<pid>/status, in KiB; 0 when the process is gone or has none.
long HighWaterMarkKiB(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/status";
  FILE* status = std::fopen(path.c_str(), "r");
  if (status == nullptr) return 0;
  long kib = 0;
  char line[256];
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  }
  std::fclose(status);
  return kib;
}

}  // namespace

ChildResult RunProgram(const std::string& program, std::string_view input,
                       const ChildOptions& options) {
  ChildResult result;
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0) return result;
  if (options.output == OutputTarget::Terminal) {
    // The terminal side is opened before the fork and inherited, so it is never without an open
    // end while the child runs; the parent reads the controlling side until the child has gone.
    if (!OpenRawTerminal(fromChild[0], fromChild[1])) return result;
  } else if (pipe(fromChild) != 0) {
    return result;
  }
  // The parent must survive a child that stops reading its input.
  signal(SIGPIPE, SIG_IGN);

  const pid_t pid = fork();
  if (pid == 0) BecomeProgram(program, toChild[0], fromChild[1], options);
  close(toChild[0]);
  close(fromChild[1]);
  if (pid < 0) {
    close(toChild[1]);
    close(fromChild[0]);
    return result;
  }
  result.started = true;
  SetNonBlocking(toChild[1]);
  SetNonBlocking(fromChild[0]);

  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  // The bytes still to be written: the script, or the generator's latest chunk.
  char generated[ReadChunk];
  std::string_view pending = input;
  const bool generating = static_cast<bool>(options.inputGenerator);
  if (generating) pending = {};
  int inputFd = toChild[1];
  int outputFd = fromChild[0];
  bool inputReleased = options.holdInputUntil.empty();
  if (options.inputFromDevNull || (input.empty() && !generating && inputReleased)) {
    close(inputFd);
    inputFd = -1;
  }
  char chunk[ReadChunk];
  const bool signalling = options.signal != 0 && static_cast<bool>(options.signalWhen);
  bool signalled = false;
  bool scriptWritten = false;  // kept open for the signal
  while (outputFd >= 0 || (inputFd >= 0 && !scriptWritten)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    pollfd fds[2] = {{outputFd, POLLIN, 0},
                     {inputReleased && !scriptWritten ? inputFd : -1, POLLOUT, 0}};
    // While a signal waits for its moment, the output is looked at again at least every 50 ms.
    const int wait = signalling && !signalled ? std::min(50, static_cast<int>(left.count()))
                                              : static_cast<int>(left.count());
    if (poll(fds, 2, wait) < 0 && errno != EINTR) break;
    // The latest sample wins: the first ones may still see the forked copy of this process.
    if (const long kib = HighWaterMarkKiB(pid); kib > 0) result.programPeakKiB = kib;
    if (outputFd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const ssize_t got = read(outputFd, chunk, sizeof chunk);
      if (got > 0) {
        result.output.append(chunk, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EAGAIN) {
        close(outputFd);  // a terminal's controlling side reports EIO once the child has gone
        outputFd = -1;
      }
      if (!inputReleased && result.output.ends_with(options.holdInputUntil)) {
        inputReleased = true;
        if (input.empty() && !generating && inputFd >= 0) {
          close(inputFd);
          inputFd = -1;
        }
      }
    }
    if (signalling && !signalled && scriptWritten && options.signalWhen(result.output)) {
      kill(pid, options.signal);
      signalled = true;
    }
    if (outputFd < 0 && !inputReleased && inputFd >= 0) {
      close(inputFd);  // the child has gone without showing what the script waits for
      inputFd = -1;
    }
    if (inputFd >= 0 && (fds[1].revents & (POLLOUT | POLLHUP | POLLERR)) != 0) {
      if (pending.empty() && generating) {
        pending = {generated, options.inputGenerator(generated, sizeof generated)};
      }
      bool finished = pending.empty();  // the script is written, or the generator is done
      if (!finished) {
        const ssize_t wrote = write(inputFd, pending.data(), pending.size());
        if (wrote > 0) {
          pending.remove_prefix(static_cast<std::size_t>(wrote));
        } else if (errno != EAGAIN) {
          finished = true;  // the child closed its input
        }
        finished = finished || (pending.empty() && !generating);
      }
      if (finished && signalling && !signalled) {
        scriptWritten = true;
      } else if (finished) {
        close(inputFd);
        inputFd = -1;
      }
    }
  }
  if (inputFd >= 0) close(inputFd);
  if (outputFd >= 0) close(outputFd);

  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  result.maxRssKiB = usage.ru_maxrss;
  if (WIFEXITED(status)) {
    result.exited = true;
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

}  // namespace reversi::testing
