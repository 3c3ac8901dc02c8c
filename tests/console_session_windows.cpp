// Test helper, Windows only: plays a session of a program in a real console rather than a pipe and
// checks what a person would see there. It starts itself again in a new console without a window
// (CREATE_NO_WINDOW gives a headless console under Wine); that copy sets the console's code page,
// starts the program on CONIN$ and CONOUT$, types each input line once the prompt ">" shows, and
// reads the screen buffer, the cursor and the title back. The screen just before each clear is
// read too: the copy runs the program as its debugger, with a breakpoint (an int3 written over the
// first byte) where the console's fill call that blanks the buffer begins, so the program stands
// still at every clear while the screen is read. An x86-64 build, like the program's.
//
//   console_session CODEPAGE PROGRAM [INPUT EXPECTED [OPTION...]]
//
// INPUT holds the lines to type; when they run out and the program still asks, Ctrl+Z and Enter
// end its input. EXPECTED is the Linux program's output for the same input: CP932, with the ANSI
// clear in front of every screen. Each screen seen at a prompt, before a clear and at the end must
// be EXPECTED as a CP932 console lays it out (every double-byte character two cells wide, here one
// glyph and one blank cell), with the typed lines echoed after their prompts; the title must be the
// game's. The colours of EXPECTED's SGR sequences must be on the same cells as text attributes
// (ReadConsoleOutputAttribute), every other cell in the attributes the console had at start.
// OPTIONs go to the program. Without INPUT and EXPECTED the program just runs in the console to
// its end, undebugged.
// Exits with the program's exit code, or 1 when a check fails.
#include "platform/windows/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/texts.h"
#include "platform/cp932_columns.h"

namespace {

constexpr wchar_t InnerFlag[] = L"--in-console";
constexpr int TitleCapacity = 256;
constexpr UINT Cp932 = 932;
constexpr wchar_t Prompt = L'>';
constexpr wchar_t EndOfInputKey = 0x1A;  // Ctrl+Z
constexpr SHORT ConsoleWidth = 80;
constexpr SHORT ConsoleHeight = 200;  // tall enough that no session scrolls
constexpr DWORD PollMs = 2;
constexpr DWORD PatienceMs = 30000;  // for one screen under a slow, busy Wine
constexpr DWORD ExitWaitMs = 30000;

// ---- Reporting ---------------------------------------------------------------------------------

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

// Standard output stays a pipe in the console copy too, so the report reaches the caller.
void Report(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

// ---- A screen: its rows without trailing blanks, and the cursor ---------------------------------

struct Screen {
  std::vector<std::wstring> rows;
  int cursorX = 0;
  int cursorY = 0;
  // Every cell whose attributes are not the console's own, as "row,column:attributes", row by row.
  std::vector<std::string> colored;
};

// The text attributes the console had when the program started: the colours of every cell that
// the program did not colour.
WORD ownAttributes = 0;

std::string ColoredCell(std::size_t row, std::size_t column, WORD attributes) {
  char text[32];
  std::snprintf(text, sizeof text, "%zu,%zu:%02X", row, column, static_cast<unsigned>(attributes));
  return text;
}

void TrimRows(Screen& screen) {
  for (std::wstring& row : screen.rows) {
    while (!row.empty() && row.back() == L' ')
      row.pop_back();
  }
  while (!screen.rows.empty() && screen.rows.back().empty())
    screen.rows.pop_back();
}

std::string Describe(const Screen& screen) {
  std::string text;
  for (const std::wstring& row : screen.rows)
    text += "  |" + Utf8(row) + "\n";
  std::string colored;
  for (const std::string& cell : screen.colored)
    colored += " " + cell;
  return text + "  cursor at column " + std::to_string(screen.cursorX) + ", row " +
         std::to_string(screen.cursorY) + "\n  coloured cells:" + colored + "\n";
}

bool SameScreen(const Screen& a, const Screen& b) {
  return a.rows == b.rows && a.cursorX == b.cursorX && a.cursorY == b.cursorY &&
         a.colored == b.colored;
}

// The console's attribute bits of an SGR colour parameter's colour (30..37 and 90..97 for the
// foreground, 40..47 and 100..107 for the background): red, green and blue in the ANSI order.
WORD ColorBits(int index) {
  constexpr WORD Bits[] = {0,
                           FOREGROUND_RED,
                           FOREGROUND_GREEN,
                           FOREGROUND_RED | FOREGROUND_GREEN,
                           FOREGROUND_BLUE,
                           FOREGROUND_RED | FOREGROUND_BLUE,
                           FOREGROUND_GREEN | FOREGROUND_BLUE,
                           FOREGROUND_RED | FOREGROUND_GREEN | FOREGROUND_BLUE};
  return Bits[index];
}

// The attributes after an SGR sequence's parameters `parameters` ("30;42"), from `attributes`.
WORD AfterSgr(WORD attributes, const std::string& parameters) {
  std::istringstream list(parameters.empty() ? "0" : parameters);
  for (std::string item; std::getline(list, item, ';');) {
    const int p = item.empty() ? 0 : std::atoi(item.c_str());
    if (p == 0) attributes = ownAttributes;
    if (p >= 30 && p <= 37)
      attributes = static_cast<WORD>((attributes & ~0x0F) | ColorBits(p - 30));
    if (p >= 90 && p <= 97)
      attributes =
          static_cast<WORD>((attributes & ~0x0F) | ColorBits(p - 90) | FOREGROUND_INTENSITY);
    if (p == 39) attributes = static_cast<WORD>((attributes & ~0x0F) | (ownAttributes & 0x0F));
    if (p >= 40 && p <= 47)
      attributes = static_cast<WORD>((attributes & ~0xF0) | ColorBits(p - 40) << 4);
    if (p >= 100 && p <= 107)
      attributes = static_cast<WORD>((attributes & ~0xF0) |
                                     (ColorBits(p - 100) | FOREGROUND_INTENSITY) << 4);
    if (p == 49) attributes = static_cast<WORD>((attributes & ~0xF0) | (ownAttributes & 0xF0));
  }
  return attributes;
}

// ---- The expected screens, from the Linux program's output --------------------------------------

// Lays text out on a CP932 console of ConsoleWidth columns; the console's own line wrap is not
// needed, since no line of the game is that long.
class Layout {
 public:
  void Clear() {
    screen_ = Screen{};
    cellAttributes_.clear();
  }
  void SetAttributes(WORD attributes) { attributes_ = attributes; }
  void LineEnd() {
    screen_.cursorX = 0;
    ++screen_.cursorY;
  }
  void Put(wchar_t glyph, int cells) {
    auto& rows = screen_.rows;
    if (rows.size() <= static_cast<std::size_t>(screen_.cursorY))
      rows.resize(static_cast<std::size_t>(screen_.cursorY) + 1);
    std::wstring& row = rows[static_cast<std::size_t>(screen_.cursorY)];
    const auto end = static_cast<std::size_t>(screen_.cursorX + cells);
    if (row.size() < end) row.resize(end, L' ');
    row[static_cast<std::size_t>(screen_.cursorX)] = glyph;
    auto& colors = cellAttributes_;
    if (colors.size() < rows.size()) colors.resize(rows.size());
    auto& rowColors = colors[static_cast<std::size_t>(screen_.cursorY)];
    if (rowColors.size() < end) rowColors.resize(end, ownAttributes);
    for (int i = 0; i < cells; ++i)
      rowColors[static_cast<std::size_t>(screen_.cursorX + i)] = attributes_;
    screen_.cursorX += cells;
  }
  void Type(const std::string& line) {
    for (char c : line)
      Put(static_cast<wchar_t>(c), 1);
    LineEnd();
  }
  Screen Snapshot() const {
    Screen copy = screen_;
    for (std::size_t row = 0; row < cellAttributes_.size(); ++row) {
      for (std::size_t column = 0; column < cellAttributes_[row].size(); ++column) {
        if (cellAttributes_[row][column] != ownAttributes)
          copy.colored.push_back(ColoredCell(row, column, cellAttributes_[row][column]));
      }
    }
    TrimRows(copy);
    return copy;
  }

 private:
  Screen screen_;
  std::vector<std::vector<WORD>> cellAttributes_;
  WORD attributes_ = ownAttributes;
};

struct Screens {
  std::vector<Screen> atPrompts;  // at each prompt that reads a typed line, then at the end
  std::vector<Screen> beforeClears;
};

// The screens the Linux program's output makes. A ">" followed by a digit is the COM's move line,
// not a prompt. Once the lines run out, the console echoes the Ctrl+Z that ends the input as "^Z".
Screens ExpectedScreens(const std::string& output, const std::vector<std::string>& typed) {
  static const std::string ClearSequence = "\x1b[H\x1b[2J";
  Screens screens;
  Layout layout;
  WORD attributes = ownAttributes;
  std::size_t nextLine = 0;
  for (std::size_t at = 0; at < output.size();) {
    if (output.compare(at, ClearSequence.size(), ClearSequence) == 0) {
      screens.beforeClears.push_back(layout.Snapshot());
      layout.Clear();
      at += ClearSequence.size();
      continue;
    }
    if (output.compare(at, 2, "\x1b[") == 0) {  // an SGR sequence: colours, no cells
      const auto end = output.find('m', at);
      attributes = AfterSgr(attributes, output.substr(at + 2, end - at - 2));
      layout.SetAttributes(attributes);
      at = end + 1;
      continue;
    }
    const auto byte = static_cast<unsigned char>(output[at]);
    if (byte == '\n') {
      layout.LineEnd();
      ++at;
      continue;
    }
    if (reversi::platform::cp932::IsLeadByte(byte) && at + 1 < output.size()) {
      wchar_t glyph = L'?';
      MultiByteToWideChar(Cp932, 0, output.data() + at, 2, &glyph, 1);
      layout.Put(glyph, 2);
      at += 2;
      continue;
    }
    layout.Put(static_cast<wchar_t>(byte), 1);
    ++at;
    const bool prompt =
        byte == '>' && (at == output.size() || output[at] < '0' || output[at] > '9');
    if (!prompt) continue;
    screens.atPrompts.push_back(layout.Snapshot());
    layout.Type(nextLine < typed.size() ? typed[nextLine] : "^Z");
    ++nextLine;
  }
  screens.atPrompts.push_back(layout.Snapshot());
  return screens;
}

// ---- The live console ---------------------------------------------------------------------------

HANDLE consoleIn = INVALID_HANDLE_VALUE;
HANDLE consoleOut = INVALID_HANDLE_VALUE;

Screen ReadScreen() {
  Screen screen;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(consoleOut, &info)) return screen;
  screen.cursorX = info.dwCursorPosition.X;
  screen.cursorY = info.dwCursorPosition.Y;
  // One read for the whole buffer: it runs on from the end of one row to the start of the next.
  const auto width = static_cast<std::size_t>(info.dwSize.X);
  std::wstring cells(width * static_cast<std::size_t>(info.dwSize.Y), L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(consoleOut, cells.data(), static_cast<DWORD>(cells.size()),
                              COORD{0, 0}, &read);
  for (std::size_t at = 0; at + width <= read; at += width)
    screen.rows.push_back(cells.substr(at, width));
  std::vector<WORD> attributes(cells.size(), ownAttributes);
  ReadConsoleOutputAttribute(consoleOut, attributes.data(), static_cast<DWORD>(attributes.size()),
                             COORD{0, 0}, &read);
  for (std::size_t at = 0; at < read; ++at) {
    if (attributes[at] != ownAttributes)
      screen.colored.push_back(ColoredCell(at / width, at % width, attributes[at]));
  }
  TrimRows(screen);
  return screen;
}

// ---- The screens before each clear, read while the program stands at a breakpoint --------------

// Where the program's clear begins: the console call that fills the buffer with blanks, at the
// same address in every process, since the system's libraries are mapped alike in all of them.
constexpr unsigned char Int3 = 0xCC;
constexpr DWORD TrapFlag = 0x100;  // EFLAGS.TF: stop again after one instruction
bool debugging = false;
HANDLE debuggee = nullptr;
void* clearCall = nullptr;
unsigned char clearCallByte = 0;  // the byte the breakpoint covers
bool breakpointSet = false;
std::vector<Screen> seenBeforeClears;

bool WriteCode(void* address, unsigned char byte) {
  SIZE_T written = 0;
  const bool done = WriteProcessMemory(debuggee, address, &byte, 1, &written) && written == 1;
  FlushInstructionCache(debuggee, address, 1);
  return done;
}

// Puts the breakpoint in, keeping the byte it covers; false when the program's memory refuses.
bool SetBreakpoint() {
  SIZE_T read = 0;
  if (!breakpointSet &&
      (!ReadProcessMemory(debuggee, clearCall, &clearCallByte, 1, &read) || read != 1)) {
    return false;
  }
  breakpointSet = WriteCode(clearCall, Int3);
  return breakpointSet;
}

// Lets the stopped thread run the covered instruction once, then stop again for the breakpoint to
// go back in: the first byte back, the instruction pointer back onto it, the trap flag set.
void StepOverBreakpoint(DWORD threadId) {
  WriteCode(clearCall, clearCallByte);
  HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, threadId);
  if (thread == nullptr) return;
  CONTEXT context{};
  context.ContextFlags = CONTEXT_CONTROL;
  if (GetThreadContext(thread, &context)) {
    context.Rip = reinterpret_cast<DWORD64>(clearCall);
    context.EFlags |= TrapFlag;
    SetThreadContext(thread, &context);
  }
  CloseHandle(thread);
}

// Answers one debug event of the program. The system's own breakpoint, once the program is loaded,
// is where ours goes in; ours stops the program at each clear, and the screen is read then.
void Answer(const DEBUG_EVENT& event) {
  DWORD reply = DBG_CONTINUE;
  switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT:
      if (event.u.CreateProcessInfo.hFile != nullptr) CloseHandle(event.u.CreateProcessInfo.hFile);
      break;
    case LOAD_DLL_DEBUG_EVENT:
      if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
      break;
    case EXCEPTION_DEBUG_EVENT: {
      const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
      if (record.ExceptionCode == EXCEPTION_BREAKPOINT && record.ExceptionAddress == clearCall) {
        seenBeforeClears.push_back(ReadScreen());
        StepOverBreakpoint(event.dwThreadId);
      } else if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !breakpointSet) {
        SetBreakpoint();
      } else if (record.ExceptionCode == EXCEPTION_SINGLE_STEP && breakpointSet) {
        WriteCode(clearCall, Int3);
      } else {
        reply = DBG_EXCEPTION_NOT_HANDLED;  // the program's own
      }
      break;
    }
    default:
      break;
  }
  ContinueDebugEvent(event.dwProcessId, event.dwThreadId, reply);
}

// Waits about `ms`, answering the program's debug events meanwhile when it is being debugged.
void Pause(DWORD ms) {
  if (!debugging) {
    Sleep(ms);
    return;
  }
  const ULONGLONG until = GetTickCount64() + ms;
  for (ULONGLONG now = GetTickCount64(); now < until; now = GetTickCount64()) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, static_cast<DWORD>(until - now))) return;
    Answer(event);
  }
}

// ---- Watching the prompt ------------------------------------------------------------------------

COORD Cursor() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(consoleOut, &info)) return COORD{-1, -1};
  return info.dwCursorPosition;
}

// True when the cursor stands right after a ">", the same on two looks in a row.
bool PromptShows(COORD& where) {
  const COORD first = Cursor();
  if (first.X < 1) return false;
  wchar_t left = 0;
  DWORD read = 0;
  ReadConsoleOutputCharacterW(consoleOut, &left, 1, COORD{static_cast<SHORT>(first.X - 1), first.Y},
                              &read);
  if (read != 1 || left != Prompt) return false;
  Pause(PollMs);
  const COORD second = Cursor();
  where = second;
  return second.X == first.X && second.Y == first.Y;
}

bool Running(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

// Waits for a prompt while the program runs; false when it ended or never asked.
bool WaitForPrompt(HANDLE process, COORD& where) {
  const ULONGLONG deadline = GetTickCount64() + PatienceMs;
  while (Running(process) && GetTickCount64() < deadline) {
    if (PromptShows(where)) return true;
    Pause(PollMs);
  }
  return false;
}

// Waits until the cursor has left `where`: the console has taken the typed line and echoed it.
void WaitForEcho(HANDLE process, COORD where) {
  const ULONGLONG deadline = GetTickCount64() + PatienceMs;
  while (Running(process) && GetTickCount64() < deadline) {
    const COORD now = Cursor();
    if (now.X != where.X || now.Y != where.Y) return;
    Pause(PollMs);
  }
}

INPUT_RECORD Key(wchar_t character, WORD virtualKey, DWORD controls, bool down) {
  INPUT_RECORD record{};
  record.EventType = KEY_EVENT;
  record.Event.KeyEvent.bKeyDown = down ? TRUE : FALSE;
  record.Event.KeyEvent.wRepeatCount = 1;
  record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
  record.Event.KeyEvent.wVirtualScanCode = static_cast<WORD>(MapVirtualKeyW(virtualKey, 0));
  record.Event.KeyEvent.uChar.UnicodeChar = character;
  record.Event.KeyEvent.dwControlKeyState = controls;
  return record;
}

void PressKey(std::vector<INPUT_RECORD>& keys, wchar_t character, WORD virtualKey, DWORD controls) {
  keys.push_back(Key(character, virtualKey, controls, true));
  keys.push_back(Key(character, virtualKey, controls, false));
}

// Types a line and Enter, or Ctrl+Z and Enter when `line` is null.
void TypeLine(const std::string* line) {
  std::vector<INPUT_RECORD> keys;
  if (line == nullptr) {
    PressKey(keys, EndOfInputKey, 'Z', LEFT_CTRL_PRESSED);
  } else {
    for (char c : *line) {
      const SHORT scan = VkKeyScanW(static_cast<wchar_t>(c));
      const WORD virtualKey = scan == -1 ? 0 : static_cast<WORD>(scan & 0xFF);
      PressKey(keys, static_cast<wchar_t>(c), virtualKey, 0);
    }
  }
  PressKey(keys, L'\r', VK_RETURN, 0);
  DWORD written = 0;
  WriteConsoleInputW(consoleIn, keys.data(), static_cast<DWORD>(keys.size()), &written);
}

HANDLE OpenConsole(const wchar_t* name) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, OPEN_EXISTING, 0, nullptr);
}

// Starts `commandLine` with the given standard handles and creation flags; false on failure.
bool Start(std::wstring commandLine, HANDLE in, HANDLE out, HANDLE err, DWORD flags,
           PROCESS_INFORMATION& process) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        nullptr, &startup, &process) != 0;
}

std::wstring Quoted(const std::wstring& argument) {
  return L"\"" + argument + L"\"";
}

std::string Narrow(const wchar_t* wide) {
  return Utf8(std::wstring(wide));
}

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream stream(text);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Reports every screen that differs from the one expected; returns the number of failures.
int CompareScreens(const char* when, const std::vector<Screen>& seen,
                   const std::vector<Screen>& expected) {
  int failures = 0;
  if (seen.size() != expected.size()) {
    Report(std::string("FAIL: ") + std::to_string(seen.size()) + " screens seen " + when + ", " +
           std::to_string(expected.size()) + " expected\n");
    ++failures;
  }
  for (std::size_t i = 0; i < seen.size() && i < expected.size(); ++i) {
    if (SameScreen(seen[i], expected[i])) continue;
    Report("FAIL: screen " + std::to_string(i + 1) + " " + when + " differs\nexpected:\n" +
           Describe(expected[i]) + "seen:\n" + Describe(seen[i]));
    ++failures;
  }
  return failures;
}

// Closes a handle when it goes out of scope.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

 private:
  HANDLE handle_;
};

// Waits up to ExitWaitMs for the program to end; false when it has not.
bool WaitForExit(HANDLE process) {
  const ULONGLONG deadline = GetTickCount64() + ExitWaitMs;
  while (Running(process) && GetTickCount64() < deadline)
    Pause(PollMs);
  return !Running(process);
}

// The copy inside the console: plays the session and checks it.
int PlayInConsole(int argc, wchar_t** argv) {
  const UINT codePage = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
  const std::wstring program = argv[3];
  const bool checked = argc >= 6;
  if (!SetConsoleOutputCP(codePage) || !SetConsoleCP(codePage)) {
    Report("FAIL: cannot set the console to code page " + Narrow(argv[2]) + "\n");
    return 1;
  }
  consoleIn = OpenConsole(L"CONIN$");
  consoleOut = OpenConsole(L"CONOUT$");
  const OwnedHandle closeIn(consoleIn);
  const OwnedHandle closeOut(consoleOut);
  if (consoleIn == INVALID_HANDLE_VALUE || consoleOut == INVALID_HANDLE_VALUE) {
    Report("FAIL: no console\n");
    return 1;
  }
  SetConsoleScreenBufferSize(consoleOut, COORD{ConsoleWidth, ConsoleHeight});
  CONSOLE_SCREEN_BUFFER_INFO start;
  if (GetConsoleScreenBufferInfo(consoleOut, &start)) ownAttributes = start.wAttributes;
  HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  SetHandleInformation(errors, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

  // A checked session runs the program as a debuggee, to stop it at each clear.
  clearCall = reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "FillConsoleOutputCharacterW"));
  debugging = checked && clearCall != nullptr;
  if (checked && !debugging) {
    Report("FAIL: no console fill call to stop at\n");
    return 1;
  }
  std::wstring commandLine = Quoted(program);
  for (int i = 6; i < argc; ++i)
    commandLine += L" " + Quoted(argv[i]);
  PROCESS_INFORMATION child{};
  if (!Start(commandLine, consoleIn, consoleOut, errors, debugging ? DEBUG_ONLY_THIS_PROCESS : 0,
             child)) {
    Report("FAIL: cannot start " + Utf8(program) + "\n");
    return 1;
  }
  const OwnedHandle closeProcess(child.hProcess);
  const OwnedHandle closeThread(child.hThread);
  debuggee = child.hProcess;
  const std::vector<std::string> lines =
      checked ? Lines(ReadWholeFile(argv[4])) : std::vector<std::string>{};
  std::vector<Screen> seen;
  std::size_t typed = 0;
  bool endedInput = false;
  COORD where{};
  while (checked && WaitForPrompt(child.hProcess, where)) {
    seen.push_back(ReadScreen());
    if (typed < lines.size()) {
      TypeLine(&lines[typed++]);
    } else if (!endedInput) {
      TypeLine(nullptr);
      endedInput = true;
    } else {
      break;  // asks again after its input ended
    }
    WaitForEcho(child.hProcess, where);
  }
  const bool exited = WaitForExit(child.hProcess);
  DWORD exitCode = 1;
  GetExitCodeProcess(child.hProcess, &exitCode);
  if (!exited) {
    TerminateProcess(child.hProcess, 1);
    Report("FAIL: the program did not end\n");
    return 1;
  }
  if (!checked) return static_cast<int>(exitCode);

  seen.push_back(ReadScreen());
  const Screens expected = ExpectedScreens(ReadWholeFile(argv[5]), lines);
  int failures = CompareScreens("at a prompt or the end", seen, expected.atPrompts) +
                 CompareScreens("before a clear", seenBeforeClears, expected.beforeClears);
  if (!breakpointSet) {
    Report("FAIL: no breakpoint at the console fill call\n");
    ++failures;
  }
  wchar_t title[TitleCapacity] = {};
  GetConsoleTitleW(title, TitleCapacity);
  wchar_t gameTitle[TitleCapacity] = {};
  MultiByteToWideChar(Cp932, 0, reversi::texts::japanese::Title, -1, gameTitle, TitleCapacity);
  if (std::wstring(title) != gameTitle) {
    Report("FAIL: title \"" + Utf8(title) + "\", expected \"" + Utf8(gameTitle) + "\"\n");
    ++failures;
  }
  if (exitCode != 0) {
    Report("FAIL: exit code " + std::to_string(exitCode) + "\n");
    ++failures;
  }
  if (failures == 0)
    Report(std::to_string(seen.size()) + " screens at prompts, " +
           std::to_string(seenBeforeClears.size()) + " before clears" +
           (endedInput ? ", input ended by Ctrl+Z" : "") + "\n");
  return failures == 0 ? 0 : 1;
}

// The first copy: starts the second one in a console of its own and passes its result on.
int StartInConsole(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = Quoted(self) + L" " + InnerFlag;
  for (int i = 1; i < argc; ++i)
    commandLine += L" " + Quoted(argv[i]);
  for (DWORD handle : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
    SetHandleInformation(GetStdHandle(handle), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  PROCESS_INFORMATION inner{};
  if (!Start(commandLine, nullptr, GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE),
             CREATE_NO_WINDOW, inner)) {
    std::fprintf(stderr, "cannot start a console\n");
    return 1;
  }
  const OwnedHandle closeProcess(inner.hProcess);
  const OwnedHandle closeThread(inner.hThread);
  WaitForSingleObject(inner.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(inner.hProcess, &exitCode);
  return static_cast<int>(exitCode);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == InnerFlag)
    return argc >= 4 ? PlayInConsole(argc, argv) : 1;
  if (argc != 3 && argc < 5) {
    std::fprintf(stderr, "usage: console_session CODEPAGE PROGRAM [INPUT EXPECTED [OPTION...]]\n");
    return 2;
  }
  return StartInConsole(argc, argv);
}
