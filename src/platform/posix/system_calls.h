// The system calls that the POSIX OS files make, reached through one table so that a test can put
// a fault in on demand (a short write, a read interrupted by a signal, a disk that fills, a file
// that cannot be opened) where a real one cannot be made at will: a fault-injection seam. The
// table holds the system's own calls unless a test points an entry elsewhere; nothing else in the
// program changes it.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/types.h>

#include <cstddef>

namespace reversi::platform::os::sys {

struct SystemCalls {
  ssize_t (*write)(int fd, const void* bytes, std::size_t count);
  ssize_t (*read)(int fd, void* buffer, std::size_t count);
  int (*open)(const char* path, int flags, mode_t mode);
  int (*ftruncate)(int fd, off_t size);
  int (*ppoll)(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask);
};

// The calls in use; Real holds the system's own, to put back or to call from a faulty stand-in.
extern SystemCalls Calls;
extern const SystemCalls Real;

}  // namespace reversi::platform::os::sys
