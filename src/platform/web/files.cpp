// The record file, the pause, standard error and the ending in a web page: a page keeps no files,
// so the record file is refused; the pause gives the worker its event loop back; standard error
// goes to the page's terminal; a page is never ended by a signal.
#include <emscripten.h>

#include <cerrno>
#include <cstring>

#include "os.h"

namespace reversi::platform::os {

namespace {

// Standard error goes to the same terminal, unconverted as on a POSIX terminal, and to the
// browser's console for whoever looks there.
EM_JS(void, WriteErrorToTerminal, (const char* bytes, std::size_t count),
      { Module.reversiTerminal.writeError(HEAPU8.slice(bytes, bytes + count)); });

// Tells the page that the program pauses, so that it does not show the COM as thinking meanwhile.
EM_JS(void, TellPause, (), { Module.reversiTerminal.pause(); });

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

File OpenScratchFile(const char*& reason) {
  reason = "a game in a web page keeps no files";
  return NoFile;
}

// Never asked: no record file is ever open in a page.
int AppendLine(File, File, long long, const char*, std::size_t) {
  return ENOSYS;
}

const char* ErrorText(int error) {
  return std::strerror(error);
}

// A page has no signals nor console events, and no record line to keep when it is closed.
void InstallEndingHandlers() {}
bool EndingRequested() {
  return false;
}
void EndAsRequested() {}

// Waits without holding up the worker's event loop, which then takes in the page's messages.
void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  TellPause();
  emscripten_sleep(static_cast<unsigned>(milliseconds));
}

void WriteStderr(const char* bytes, std::size_t count) {
  WriteErrorToTerminal(bytes, count);
}

}  // namespace reversi::platform::os
