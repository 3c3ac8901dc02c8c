// Proves that the program uses no heap memory while it runs: this executable replaces the C
// library's allocator (by defining malloc and its relatives, which the dynamic linker then prefers
// over glibc's) and the global operator new with counting wrappers, then runs a whole session of
// the real program in-process, with standard input and output as the program itself has them:
// input from a pipe, output to /dev/null, once plain and once with the options (the searching COM
// among them). Any allocation during the games fails the test.
// Needs glibc (the wrappers hand the work to its __libc_* entry points); not built with the
// sanitizers, which bring an allocator of their own.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>

#include "app/options.h"
#include "game/game.h"
#include "platform/console.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

// Allocations (not frees) since the start of the process.
std::size_t allocations = 0;

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  ++allocations;
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
  ++allocations;
  return __libc_realloc(block, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  ++allocations;
  return __libc_memalign(alignment, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
  ++allocations;
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  ++allocations;
  *result = __libc_memalign(alignment, size);
  return *result == nullptr ? ENOMEM : 0;
}

void free(void* block) {
  __libc_free(block);
}

}  // extern "C"

void* operator new(std::size_t size) {
  ++allocations;
  void* block = __libc_malloc(size == 0 ? 1 : size);
  if (block == nullptr) std::abort();  // the program has no exceptions to report it with
  return block;
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* block) noexcept {
  __libc_free(block);
}
void operator delete[](void* block) noexcept {
  __libc_free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  __libc_free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  __libc_free(block);
}

namespace {

// A session that reaches every part of the program: COM-vs-COM games, a new game, a human game
// with a refused entry, a square where nothing can be placed, a move and a break-off, and the
// shut-down. With taking back on, the 98s take a turn back, find nothing to take back, and go back
// into a game from its result screen; without it they are refused.
constexpr char Session[] =
    "3\n0\n3\n0\n3\n98\n0\n"
    "1\nabc\n11\n99999999999\n34\n98\n98\n34\n99\n98\n99\n0\n"
    "2\n0\n99\n0\n"
    "3\n99\n";

bool Fail(const char* why) {
  std::fprintf(stderr, "allocation test: %s\n", why);
  return false;
}

// Makes standard input a pipe holding the session and standard output /dev/null, for the whole
// process, as a shell would for `reversi < session > /dev/null`.
bool RedirectStandardStreams() {
  int ends[2];
  if (pipe(ends) != 0) return Fail("no pipe");
  const ssize_t length = static_cast<ssize_t>(sizeof Session - 1);
  if (write(ends[1], Session, sizeof Session - 1) != length) return Fail("pipe too small");
  close(ends[1]);
  const int sink = open("/dev/null", O_WRONLY);
  if (sink < 0) return Fail("no /dev/null");
  if (dup2(ends[0], STDIN_FILENO) < 0 || dup2(sink, STDOUT_FILENO) < 0) return Fail("no dup2");
  close(ends[0]);
  close(sink);
  return true;
}

// The counters must see what they are meant to see, or a pass would prove nothing.
bool CountersWork() {
  const std::size_t before = allocations;
  // Volatile, so that the compiler cannot drop an allocation that nothing reads.
  void* volatile block = std::malloc(1);
  int* volatile number = new int(1);
  const bool seen = allocations == before + 2;
  delete number;
  std::free(block);
  return seen ? true : Fail("the counting allocator is not in use");
}

}  // namespace

int main() {
  if (!CountersWork() || !RedirectStandardStreams()) return 1;
  std::size_t before = allocations;
  int exitCode = reversi::RunGame();
  std::size_t during = allocations - before;
  // The same session again with every option that adds to a game, read as main reads them; the
  // count starts at the first game, since reading the command line may allocate.
  char program[] = "reversi";
  char english[] = "--english";
  char hints[] = "--hints";
  char lastMove[] = "--last-move";
  char seed[] = "--seed=7";
  char delay[] = "--delay=0";
  char record[] = "--record=/dev/null";
  char undo[] = "--undo";
  char from[] = "--from=f5d6";  // every game starts after these two moves
  // The searching COM at its highest level: the middle-game search, the exact end-game search and
  // the transposition table all live in static storage.
  char level[] = "--level=5";
  char ascii[] = "--ascii";
  char color[] = "--color=always";
  char* arguments[] = {program, english, hints, lastMove, seed,  delay,  record,
                       undo,    from,    level, ascii,    color, nullptr};
  if (exitCode == 0 && RedirectStandardStreams()) {
    reversi::platform::ResetConsoleState();
    reversi::ResetKeyboardState();
    const int count = static_cast<int>(std::size(arguments)) - 1;
    exitCode =
        reversi::app::ReadCommandLine(count, arguments) == reversi::app::StartTheGame ? 0 : 1;
    before = allocations;
    if (exitCode == 0) exitCode = reversi::RunGame();
    during += allocations - before;
  }
  if (exitCode != 0) {
    Fail("the session did not end with exit code 0");
    return 1;
  }
  if (during != 0) {
    std::fprintf(stderr, "allocation test: %zu heap allocations during the session\n", during);
    return 1;
  }
  std::fprintf(stderr, "allocation test: no heap allocations during the session\n");
  return 0;
}
