// Faults of the system that cannot be had on demand, put in below the POSIX OS files through
// their system-call table: short writes, reads interrupted by a signal, a disk that fills in the
// middle of a line; and the record line driven to its buffer's edges. Each case names what the
// fault is and what must survive it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "game/game.h"
#include "harness.h"
#include "platform/console.h"
#include "platform/os.h"
#include "platform/posix/system_calls.h"

namespace reversi {
namespace {

namespace sys = platform::os::sys;

// ---- The stand-ins and what they were asked --------------------------------------------------

std::string toStdout;      // what reached standard output
std::size_t mostPerWrite;  // a write takes at most this many bytes (a short write)
long budget;               // bytes that still fit on the "disk"; negative: no limit
int interruptionsLeft;     // reads that fail with EINTR before one succeeds
std::string readable;      // what standard input holds

ssize_t FaultyWrite(int fd, const void* bytes, std::size_t count) {
  if (count > mostPerWrite) count = mostPerWrite;
  if (budget >= 0) {
    if (budget == 0) {
      errno = ENOSPC;
      return -1;
    }
    if (static_cast<long>(count) > budget) count = static_cast<std::size_t>(budget);
    budget -= static_cast<long>(count);
  }
  if (fd == STDOUT_FILENO) {
    toStdout.append(static_cast<const char*>(bytes), count);
    return static_cast<ssize_t>(count);
  }
  return sys::Real.write(fd, bytes, count);
}

ssize_t FaultyRead(int fd, void* buffer, std::size_t count) {
  if (interruptionsLeft > 0) {
    --interruptionsLeft;
    errno = EINTR;
    return -1;
  }
  if (fd != STDIN_FILENO) return sys::Real.read(fd, buffer, count);
  const std::size_t given = count < readable.size() ? count : readable.size();
  std::memcpy(buffer, readable.data(), given);
  readable.erase(0, given);
  return static_cast<ssize_t>(given);
}

// Standard input is always ready: the reads above decide what it holds.
int ReadyPoll(pollfd* fds, nfds_t, const timespec*, const sigset_t*) {
  fds[0].revents = POLLIN;
  return 1;
}

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    toStdout.clear();
    mostPerWrite = SIZE_MAX;
    budget = -1;
    interruptionsLeft = 0;
    readable.clear();
    sys::Calls.write = FaultyWrite;
    sys::Calls.read = FaultyRead;
    sys::Calls.ppoll = ReadyPoll;
  }
  void TearDown() override {
    sys::Calls = sys::Real;
    platform::CloseRecordFile();
    std::remove(path.c_str());
  }
  std::string path = ::testing::TempDir() + "reversi-faults-" + std::to_string(getpid());

  // Makes the record file with `content` and opens it as the record.
  void OpenRecord(const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    const char* reason = "";
    ASSERT_TRUE(platform::OpenRecordFile(path.c_str(), reason)) << reason;
  }
  std::string Record() const {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
};

// ---- Standard output and input ------------------------------------------------------------------

TEST_F(FaultTest, ShortWritesStillDeliverEveryByte) {
  std::string text;
  for (int i = 0; i < 1000; ++i)
    text += "row " + std::to_string(i) + "\n";
  for (std::size_t most : {1, 2, 7, 4096}) {
    toStdout.clear();
    mostPerWrite = most;
    platform::os::WriteStdout(text.data(), text.size());
    EXPECT_EQ(toStdout, text) << "writes of at most " << most << " bytes";
  }
}

TEST_F(FaultTest, InterruptedReadsAreRetried) {
  readable = "34\n";
  interruptionsLeft = 3;
  char buffer[16];
  EXPECT_EQ(platform::os::ReadStdin(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer, 3), "34\n");
  EXPECT_EQ(platform::os::ReadStdin(buffer, sizeof buffer), 0) << "then the input ends";
}

// ---- The record file
// ------------------------------------------------------------------------------

struct AppendCase {
  const char* what;
  const char* before;   // the file's content first
  const char* spilled;  // the line's head, sent ahead
  const char* line;     // the rest of the line
  std::size_t most;     // bytes per write at most
  long room;            // bytes the disk takes; negative: all
  bool appended;
  const char* after;  // the file's content then
};

TEST_F(FaultTest, ARecordLineGoesInWholeOrNotAtAll) {
  const AppendCase cases[] = {
      {"short writes", "kept\n", "", "d3c5 3-3\n", 1, -1, true, "kept\nd3c5 3-3\n"},
      {"short writes after a spilled head", "", "PAPAPA", " 2-2\n", 2, -1, true, "PAPAPA 2-2\n"},
      {"disk full at once, empty file", "", "", "d3c5 3-3\n", 4096, 0, false, ""},
      {"disk full in the line, empty file", "", "", "d3c5 3-3\n", 4096, 3, false, ""},
      {"disk full in the line", "kept\n", "", "d3c5 3-3\n", 4096, 3, false, "kept\n"},
      {"disk full in the head, empty file", "", "PAPAPA", " 2-2\n", 1, 4, false, ""},
      {"disk full after the head", "kept\n", "PAPAPA", " 2-2\n", 4096, 6, false, "kept\n"},
      {"room for exactly the line", "kept\n", "PA", " 2-2\n", 4096, 7, true, "kept\nPA 2-2\n"},
  };
  for (const AppendCase& c : cases) {
    SCOPED_TRACE(c.what);
    OpenRecord(c.before);
    const char* reason = "";
    if (*c.spilled != '\0') {
      ASSERT_TRUE(platform::SaveLineHead(c.spilled, std::strlen(c.spilled), reason)) << reason;
    }
    mostPerWrite = c.most;
    budget = c.room;
    reason = "";
    EXPECT_EQ(platform::AppendRecordLine(c.line, std::strlen(c.line), reason), c.appended);
    EXPECT_STREQ(reason, c.appended ? "" : "No space left on device");
    mostPerWrite = SIZE_MAX;
    budget = -1;
    EXPECT_EQ(Record(), c.after);
    // Whatever happened, the next line starts afresh, without the head of the one before.
    EXPECT_TRUE(platform::AppendRecordLine("f5 4-1\n", 7, reason)) << reason;
    EXPECT_EQ(Record(), std::string(c.after) + "f5 4-1\n");
    platform::CloseRecordFile();
  }
}

TEST_F(FaultTest, AnInterruptedReadOfTheSpilledHeadIsRetried) {
  OpenRecord("");
  const char* reason = "";
  ASSERT_TRUE(platform::SaveLineHead("PAPA", 4, reason)) << reason;
  interruptionsLeft = 2;
  EXPECT_TRUE(platform::AppendRecordLine(" 2-2\n", 5, reason)) << reason;
  EXPECT_EQ(Record(), "PAPA 2-2\n");
}

// Two people who skip every turn: the line's moves fill the buffer just under, exactly at and just
// over its capacity (4096 bytes, of which 16 are kept for the counts), and the line must come out
// whole each time: in a finished game and in one whose input ends.
TEST_F(FaultTest, RecordLinesAtTheBuffersEdges) {
  constexpr int MovesThatFill = (4096 - 16) / 2;
  for (int skips : {MovesThatFill - 1, MovesThatFill, MovesThatFill + 1, 2 * MovesThatFill,
                    2 * MovesThatFill + 1}) {
    for (bool finished : {true, false}) {
      SCOPED_TRACE(std::to_string(skips) +
                   (finished ? " skips, broken off" : " skips, input ends"));
      testing::ResetProcessState();
      OpenRecord("kept\n");
      GameSettings.recording = true;
      GameSettings.recordName = path.c_str();
      std::string input = "0\n";
      std::string expected = "kept\n";
      for (int i = 0; i < skips; ++i) {
        input += "0\n";
        expected += "PA";
      }
      expected += " 2-2\n";
      if (finished) input += "99\n99\n";
      platform::FixClock(testing::DefaultClock);
      testing::FeedInput(input);
      EXPECT_EQ(RunGame(), 0);
      EXPECT_TRUE(Record() == expected) << Record().size() << " bytes, not " << expected.size();
      platform::CloseRecordFile();
    }
  }
  testing::ResetProcessState();
}

}  // namespace
}  // namespace reversi
