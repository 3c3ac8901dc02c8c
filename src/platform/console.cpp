// The console layer's buffers and test seams, the same on every platform. The operating system is
// reached only through os.h, which never calls back here.
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
OutputSink errorSink = nullptr;

constexpr std::size_t InputCapacity = 4096;
char inputBuffer[InputCapacity];
std::size_t inputNext = 0;
std::size_t inputEnd = 0;
bool inputEnded = false;

bool inputRedirected = false;
const char* redirectedBytes = nullptr;
std::size_t redirectedCount = 0;
std::size_t redirectedNext = 0;

bool colorsInUse = false;

bool clockFixed = false;
std::uint32_t fixedSeconds = 0;

constexpr char TitleStart[] = "\x1b]0;";  // OSC 0: set the window (and icon) title
constexpr char TitleEnd[] = "\x07";
// xterm's title stack: CSI 22;0t keeps the window and icon titles, CSI 23;0t gives them back.
constexpr char KeepTitle[] = "\x1b[22;0t";
constexpr char GiveBackTitle[] = "\x1b[23;0t";

bool titleKept = false;  // the terminal keeps the title it had: give it back at the end

os::File recordFile = os::NoFile;  // open from the command line to the end of the process
os::File scratchFile = os::NoFile;
long long savedHeadBytes = 0;  // of the record line being made, kept in the scratch file

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

bool OutputFailed(const char*& reason) {
  FlushOutput();
  if (outputSink != nullptr) return false;
  const int error = os::StdoutError();
  if (error == 0) return false;
  reason = os::ErrorText(error);
  return true;
}

int ReadInputByte() {
  // An ending signal ends the input: the game then finishes as at the input's end.
  if (inputEnded || (!inputRedirected && os::EndingRequested())) {
    inputEnded = true;
    return EndOfInput;
  }
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
      if (!titleKept) {
        titleKept = true;
        WriteText(KeepTitle);
      }
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

void LeaveConsole() {
  if (titleKept && outputSink == nullptr) {
    WriteText(GiveBackTitle);
    titleKept = false;
  }
  FlushOutput();
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

bool OutputIsInteractive() {
  return outputSink == nullptr && os::OutputIsInteractive();
}

void UseColors(bool on) {
  colorsInUse = on;
}

bool ColorsInUse() {
  return colorsInUse;
}

void ResetColors() {
  if (colorsInUse) WriteOutput(ColorReset, sizeof ColorReset - 1);
}

// The C++ library's clock reads the same on every platform, so no OS file needs one of its own.
std::uint32_t CalendarSeconds() {
  return clockFixed ? fixedSeconds : static_cast<std::uint32_t>(std::time(nullptr));
}

void RedirectOutput(OutputSink sink) {
  FlushOutput();
  outputSink = sink;
}

void RedirectErrors(OutputSink sink) {
  errorSink = sink;
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

bool OpenRecordFile(const char* path, const char*& reason) {
  const os::File file = os::OpenForAppending(path, reason);
  if (file == os::NoFile) return false;
  if (recordFile != os::NoFile) os::CloseFile(recordFile);
  recordFile = file;
  return true;
}

bool SaveLineHead(const char* bytes, std::size_t count, const char*& reason) {
  if (scratchFile == os::NoFile) scratchFile = os::OpenScratchFile(reason);
  const bool saved =
      scratchFile != os::NoFile && os::AppendToFile(scratchFile, bytes, count, reason);
  if (saved) savedHeadBytes += static_cast<long long>(count);
  return saved;
}

void ForgetLineHead() {
  if (savedHeadBytes > 0) os::TruncateFile(scratchFile, 0);
  savedHeadBytes = 0;
}

bool AppendRecordLine(const char* bytes, std::size_t count, const char*& reason) {
  bool appended = false;
  if (recordFile == os::NoFile) {
    reason = "no record file is open";
  } else {
    const int error = os::AppendLine(recordFile, scratchFile, savedHeadBytes, bytes, count);
    appended = error == 0;
    if (!appended) reason = os::ErrorText(error);
  }
  ForgetLineHead();
  return appended;
}

void CloseRecordFile() {
  if (recordFile != os::NoFile) os::CloseFile(recordFile);
  if (scratchFile != os::NoFile) os::CloseFile(scratchFile);
  recordFile = os::NoFile;
  scratchFile = os::NoFile;
  savedHeadBytes = 0;
}

void StartConsole() {
  os::InstallEndingHandlers();
}

bool EndingRequested() {
  return os::EndingRequested();
}

void EndAsRequested() {
  FlushOutput();
  os::EndAsRequested();
}

void SleepMilliseconds(int milliseconds) {
  os::SleepMilliseconds(milliseconds);
}

void WriteErrorText(const char* text) {
  if (errorSink != nullptr) {
    errorSink(text, std::strlen(text));
    return;
  }
  os::WriteStderr(text, std::strlen(text));
}

void ResetConsoleState() {
  outputUsed = 0;
  inputNext = 0;
  inputEnd = 0;
  inputEnded = false;
  redirectedNext = 0;
  colorsInUse = false;
}

}  // namespace reversi::platform
