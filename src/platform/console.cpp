// The console layer's buffers and test seams, the same on every platform. The operating system
// itself is reached only through os.h, which never calls back here: the escape sequences of a
// terminal's title and clear are built here and written like any other output.
#include "platform/console.h"

#include <cstring>
#include <ctime>

#include "os.h"

namespace reversi::platform {

namespace {

// Large enough for a whole board screen, so a COM-vs-COM game costs few system calls.
constexpr std::size_t OutputCapacity = 8192;
char outputBuffer[OutputCapacity];
std::size_t outputUsed = 0;
OutputSink outputSink = nullptr;

constexpr std::size_t InputCapacity = 4096;
char inputBuffer[InputCapacity];
std::size_t inputNext = 0;
std::size_t inputEnd = 0;
bool inputEnded = false;

bool inputRedirected = false;
const char* redirectedBytes = nullptr;
std::size_t redirectedCount = 0;
std::size_t redirectedNext = 0;

bool clockFixed = false;
std::uint32_t fixedSeconds = 0;

constexpr char TitleStart[] = "\x1b]0;";  // OSC 0: set the window (and icon) title
constexpr char TitleEnd[] = "\x07";

}  // namespace

void WriteOutput(const char* bytes, std::size_t count) {
  if (outputSink != nullptr) {
    outputSink(bytes, count);
    return;
  }
  if (count > OutputCapacity - outputUsed) FlushOutput();
  if (count >= OutputCapacity) {
    os::WriteStdout(bytes, count);
    return;
  }
  std::memcpy(outputBuffer + outputUsed, bytes, count);
  outputUsed += count;
}

void WriteNumber(int value, int minWidth) {
  // The number is formatted with its padding into a buffer of the longest number's size; padding
  // beyond that (no screen asks for it) goes ahead of it blank by blank.
  for (; minWidth > MaxNumberLength; --minWidth)
    WriteOutput(" ", 1);
  char text[MaxNumberLength];
  WriteOutput(text, static_cast<std::size_t>(FormatNumber(value, minWidth, text)));
}

void FlushOutput() {
  if (outputUsed == 0) return;
  os::WriteStdout(outputBuffer, outputUsed);
  outputUsed = 0;
}

int ReadInputByte() {
  if (inputEnded) return EndOfInput;
  if (inputRedirected) {
    if (redirectedNext < redirectedCount) {
      return static_cast<unsigned char>(redirectedBytes[redirectedNext++]);
    }
    inputEnded = true;
    return EndOfInput;
  }
  if (inputNext == inputEnd) {
    FlushOutput();  // whatever asks for this input must be visible first
    const long got = os::ReadStdin(inputBuffer, InputCapacity);
    if (got <= 0) {
      inputEnded = true;
      return EndOfInput;
    }
    inputNext = 0;
    inputEnd = static_cast<std::size_t>(got);
  }
  return static_cast<unsigned char>(inputBuffer[inputNext++]);
}

void SetConsoleTitle(const char* cp932Title) {
  if (outputSink != nullptr) return;
  switch (os::HowScreenIsControlled()) {
    case os::ScreenControl::TitleAndClearInOutput:
      WriteText(TitleStart);
      WriteText(cp932Title);
      WriteText(TitleEnd);
      return;
    case os::ScreenControl::ClearInOutput:
      return;  // a pipe or a file has no window to title
    case os::ScreenControl::Requests:
      os::SetTitle(cp932Title);
      return;
  }
}

void ClearScreen() {
  if (outputSink != nullptr) {
    outputSink(ClearSequence, sizeof ClearSequence - 1);
    return;
  }
  if (os::HowScreenIsControlled() != os::ScreenControl::Requests) {
    WriteOutput(ClearSequence, sizeof ClearSequence - 1);
    return;
  }
  // The clear works on the console itself, or is done by another program (the command processor
  // into a pipe), so what was written before it must have reached the console first.
  FlushOutput();
  os::BlankConsoleWindow();
}

// The C++ library's clock reads the same on every platform, so no OS file needs one of its own.
std::uint32_t CalendarSeconds() {
  return clockFixed ? fixedSeconds : static_cast<std::uint32_t>(std::time(nullptr));
}

void RedirectOutput(OutputSink sink) {
  FlushOutput();
  outputSink = sink;
}

void RedirectInput(const char* bytes, std::size_t count) {
  inputRedirected = true;
  redirectedBytes = bytes;
  redirectedCount = count;
  redirectedNext = 0;
  inputEnded = false;
}

void RestoreStandardInput() {
  inputRedirected = false;
  redirectedBytes = nullptr;
  redirectedCount = 0;
  redirectedNext = 0;
  inputEnded = false;
}

void FixClock(std::uint32_t seconds) {
  clockFixed = true;
  fixedSeconds = seconds;
}

void UseRealClock() {
  clockFixed = false;
}

namespace {

// Open from the command line to the end of the process: ResetConsoleState leaves it as it is.
os::File recordFile = os::NoFile;

}  // namespace

bool OpenRecordFile(const char* path, const char*& reason) {
  const os::File file = os::OpenForAppending(path, reason);
  if (file == os::NoFile) return false;
  if (recordFile != os::NoFile) os::CloseFile(recordFile);
  recordFile = file;
  return true;
}

bool AppendToRecordFile(const char* bytes, std::size_t count, const char*& reason) {
  if (recordFile == os::NoFile) {
    reason = "no record file is open";
    return false;
  }
  return os::AppendToFile(recordFile, bytes, count, reason);
}

long long RecordFileSize() {
  return recordFile == os::NoFile ? -1 : os::FileSize(recordFile);
}

void TruncateRecordFile(long long size) {
  if (recordFile != os::NoFile) os::TruncateFile(recordFile, size);
}

void SleepMilliseconds(int milliseconds) {
  os::SleepMilliseconds(milliseconds);
}

void WriteErrorText(const char* text) {
  os::WriteStderr(text, std::strlen(text));
}

void ResetConsoleState() {
  outputUsed = 0;
  inputNext = 0;
  inputEnd = 0;
  inputEnded = false;
  redirectedNext = 0;
}

}  // namespace reversi::platform
