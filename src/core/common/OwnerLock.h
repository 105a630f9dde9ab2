#pragma once

#include <optional>

#include <sys/file.h>

namespace murmela {

// What a process makes for itself and a later start sweeps when the process
// died without cleaning up (a private copy of the database, a download's
// staging file, a partial write) is told from what a living process still
// uses in one way: its maker holds an flock on it for as long as it lives
// (the lock goes with the process, a kill -9 included), and the maker's
// process id, in the name, decides where no lock can tell.
//
// The lock call: flock(2) unless a test puts in one that fails as a file
// system without locks does.
using LockCall = int (*)(int fd, int operation);
inline constexpr LockCall kSystemLock = ::flock;

enum class OwnerLock {
  held,         // taken; held until the descriptor closes
  unavailable,  // the file system has no locks (ENOLCK: NFS without its lock
                // daemon; ENOSYS; EOPNOTSUPP): the maker goes on unlocked
  failed,       // anything else (errno says what)
};
// Takes the maker's lock on `fd` without waiting.
OwnerLock takeOwnerLock(int fd, LockCall lock = kSystemLock);

// Whether what a process made was left by one that is gone. `lockFd`: its
// lock file opened for reading, or -1 where there is none (a maker that
// never locks, or died before it made one). A lock that can be taken says
// gone (and stays held on `lockFd`, so the sweep removes under it); one held
// by another says alive. Where the lock cannot tell (no lock file, a file
// system without locks), the process `owner` must have ended; an unknown
// owner never has.
bool isLeftByEndedProcess(int lockFd, std::optional<long long> owner, LockCall lock = kSystemLock);

// Whether no process of that id exists (one killed included); none has an
// id of 0 or less.
bool processHasEnded(long long pid);

}  // namespace murmela
