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

// ---- What an ending from outside does, kept ready for its handler ----------------------------

bool titleKept = false;  // the terminal keeps the title it had: give it back at the end
// The bytes that leave the terminal as it was found after an ending from outside: a fresh line,
// the colour reset when colours travel among the output, then what LeaveConsole writes. Made when
// the terminal state they undo is entered, since the handler can build nothing itself. (A Windows
// console's colours are its attributes, which its OS file puts back itself.)
constexpr std::size_t FarewellCapacity = 32;
char farewell[FarewellCapacity];
std::size_t farewellCount = 0;

os::File recordFile = os::NoFile;  // open from the command line to the end of the process
os::File scratchFile = os::NoFile;
long long spilledBytes = 0;
const char* keptLine = nullptr;
std::size_t keptCount = 0;
int holdDepth = 0;
bool endingPublished = false;  // the OS file has been told, and its handlers are in

void AddToFarewell(const char* text) {
  const std::size_t length = std::strlen(text);
  if (farewellCount + length > FarewellCapacity) return;
  std::memcpy(farewell + farewellCount, text, length);
  farewellCount += length;
}

bool colorsInFarewell = false;

// Makes the farewell anew from what there is to undo.
void RebuildFarewell() {
  farewellCount = 0;
  if (!titleKept && !colorsInFarewell) return;
  AddToFarewell("\n");
  if (colorsInFarewell) AddToFarewell(ColorReset);
  if (titleKept) AddToFarewell(GiveBackTitle);
}

// Tells the OS file what an ending does now; the handlers come with the first thing to do.
void PublishEnding() {
  if (keptLine == nullptr && farewellCount == 0 && !endingPublished) return;
  endingPublished = true;
  const os::EndingWork work = {keptLine == nullptr ? os::NoFile : recordFile,
                               scratchFile,
                               spilledBytes,
                               keptLine,
                               keptCount,
                               farewell,
                               farewellCount};
  os::SetEndingWork(work);
}

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
      if (!titleKept) {
        titleKept = true;
        WriteText(KeepTitle);
        HoldEnding();
        RebuildFarewell();
        PublishEnding();
        AllowEnding();
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
  if (outputSink != nullptr) return;
  // Only where the sequences reach the output as they are: not on a Windows console.
  const bool inOutput = on && !(os::HowScreenIsControlled() == os::ScreenControl::Requests &&
                                os::OutputIsInteractive());
  if (inOutput == colorsInFarewell) return;
  HoldEnding();
  colorsInFarewell = inOutput;
  RebuildFarewell();
  PublishEnding();
  AllowEnding();
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
  HoldEnding();
  if (recordFile != os::NoFile) os::CloseFile(recordFile);
  recordFile = file;
  keptLine = nullptr;
  PublishEnding();
  AllowEnding();
  return true;
}

bool SpillRecordLine(const char* bytes, std::size_t count, const char*& reason) {
  HoldEnding();
  if (scratchFile == os::NoFile) scratchFile = os::OpenScratchFile(reason);
  bool kept = scratchFile != os::NoFile && os::AppendToFile(scratchFile, bytes, count, reason);
  if (kept) spilledBytes += static_cast<long long>(count);
  PublishEnding();
  AllowEnding();
  return kept;
}

bool AppendRecordLine(const char* bytes, std::size_t count, const char*& reason) {
  HoldEnding();
  bool appended = false;
  if (recordFile == os::NoFile) {
    reason = "no record file is open";
  } else {
    const int error = os::AppendLine(recordFile, scratchFile, spilledBytes, bytes, count);
    appended = error == 0;
    if (!appended) reason = os::ErrorText(error);
  }
  if (spilledBytes > 0) os::TruncateFile(scratchFile, 0);
  spilledBytes = 0;
  keptLine = nullptr;
  PublishEnding();
  AllowEnding();
  return appended;
}

void KeepRecordLineAtEnd(const char* bytes, std::size_t count) {
  HoldEnding();
  keptLine = recordFile == os::NoFile ? nullptr : bytes;
  keptCount = count;
  if (keptLine == nullptr && spilledBytes > 0) {  // a line given up: its head goes too
    os::TruncateFile(scratchFile, 0);
    spilledBytes = 0;
  }
  PublishEnding();
  AllowEnding();
}

void HoldEnding() {
  if (holdDepth++ == 0) os::HoldEnding();
}

void AllowEnding() {
  if (holdDepth > 0 && --holdDepth == 0) os::AllowEnding();
}

void CloseRecordFile() {
  HoldEnding();
  if (recordFile != os::NoFile) os::CloseFile(recordFile);
  if (scratchFile != os::NoFile) os::CloseFile(scratchFile);
  recordFile = os::NoFile;
  scratchFile = os::NoFile;
  spilledBytes = 0;
  keptLine = nullptr;
  PublishEnding();
  AllowEnding();
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
