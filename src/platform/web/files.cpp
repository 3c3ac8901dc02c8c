// The record file, the pause and standard error in a web page: a page keeps no files, so the
// record file is refused; the pause hands the page its event loop back; standard error goes to
// the page's terminal.
#include <emscripten.h>

#include "os.h"

namespace reversi::platform::os {

namespace {

// Standard error goes to the same terminal, unconverted as on a POSIX terminal, and to the
// browser's console for whoever looks there.
EM_JS(void, WriteErrorToTerminal, (const char* bytes, std::size_t count),
      { Module.reversiTerminal.writeError(HEAPU8.slice(bytes, bytes + count)); });

}  // namespace

// The page keeps no files: a record file is refused when it is asked for, with this reason, so
// none is ever open for the rest.
File OpenForAppending(const char*, const char*& reason) {
  reason = "a game in a web page keeps no files";
  return NoFile;
}

void CloseFile(File) {}

bool AppendToFile(File, const char*, std::size_t, const char*& reason) {
  reason = "a game in a web page keeps no files";
  return false;
}

long long FileSize(File) {
  return -1;
}

void TruncateFile(File, long long) {}

// Gives the page back its event loop while waiting, so that it draws what was written.
void SleepMilliseconds(int milliseconds) {
  if (milliseconds > 0) emscripten_sleep(static_cast<unsigned>(milliseconds));
}

void WriteStderr(const char* bytes, std::size_t count) {
  WriteErrorToTerminal(bytes, count);
}

}  // namespace reversi::platform::os
