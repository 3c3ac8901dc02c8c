// Reading a file front to back with the standard C library, the same on every platform: the one
// file the game reads is read once, before the first game, so a buffered stream is all it needs.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/console.h"

namespace reversi::platform {

namespace {

std::FILE* fileToRead = nullptr;

}  // namespace

bool OpenFileToRead(const char* path, const char*& reason) {
  CloseFileToRead();
  errno = 0;
  fileToRead = std::fopen(path, "rb");
  if (fileToRead == nullptr) {
    reason = errno != 0 ? std::strerror(errno) : "cannot be opened";
    return false;
  }
  return true;
}

long ReadFromFile(char* buffer, std::size_t capacity, const char*& reason) {
  if (fileToRead == nullptr) {
    reason = "no file is open";
    return -1;
  }
  errno = 0;
  const std::size_t count = std::fread(buffer, 1, capacity, fileToRead);
  if (count == 0 && std::ferror(fileToRead) != 0) {
    reason = errno != 0 ? std::strerror(errno) : "cannot be read";
    return -1;
  }
  return static_cast<long>(count);
}

void CloseFileToRead() {
  if (fileToRead != nullptr) std::fclose(fileToRead);
  fileToRead = nullptr;
}

}  // namespace reversi::platform
