#include "common/OwnerLock.h"

#include <signal.h>
#include <sys/types.h>

#include <cerrno>

namespace murmela {
namespace {

bool locksUnavailable(int error) { return error == ENOLCK || error == ENOSYS || error == EOPNOTSUPP; }

}  // namespace

OwnerLock takeOwnerLock(int fd, LockCall lock) {
  int result = 0;
  while ((result = lock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (result == 0) return OwnerLock::held;
  return locksUnavailable(errno) ? OwnerLock::unavailable : OwnerLock::failed;
}

bool isLeftByEndedProcess(int lockFd, std::optional<long long> owner, LockCall lock) {
  if (lockFd >= 0) {
    switch (takeOwnerLock(lockFd, lock)) {
      case OwnerLock::held:
        return true;
      case OwnerLock::failed:
        if (errno == EWOULDBLOCK) return false;  // its maker holds it
        break;
      case OwnerLock::unavailable:
        break;
    }
  }
  return owner && processHasEnded(*owner);
}

bool processHasEnded(long long pid) {
  if (pid <= 0 || pid != static_cast<pid_t>(pid)) return true;  // no process has such an id
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace murmela
