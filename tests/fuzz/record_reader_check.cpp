// The reader of --resume on any bytes: lines of any length, any byte in them, no line end at the
// end. A file it accepts must give a game that the opening plays out to a side to move.
#include "record_reader_check.h"

#include "fuzz_file.h"
#include "game/game.h"

namespace reversi::testing {

const char* CheckRecordReader(const std::uint8_t* bytes, std::size_t size) {
  const char* path = WriteFuzzFile("record-reader", bytes, size);
  if (path == nullptr) return nullptr;  // nowhere to write: nothing to check
  ResetProgramState();
  const ResumeCheck check = ResumeFrom(path);
  const char* failure = nullptr;
  switch (check.verdict) {
    case ResumeVerdict::Ready:
    case ResumeVerdict::NoGame:
    case ResumeVerdict::TooLong:
    case ResumeVerdict::Finished:
      break;
    case ResumeVerdict::NotARecordLine:
      if (check.lineNumber < 1) failure = "a bad line without its number";
      break;
    case ResumeVerdict::CannotRead:
      failure = "a file just written cannot be read";
      break;
    default:
      failure = "no verdict of the reader's";
  }
  if (size == 0 && check.verdict != ResumeVerdict::NoGame) failure = "an empty file holds a game";
  ResetProgramState();
  return failure;
}

}  // namespace reversi::testing
