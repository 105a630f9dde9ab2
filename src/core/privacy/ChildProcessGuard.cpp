#include "privacy/ChildProcessGuard.h"

#include <QProcess>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace murmela::ChildProcessGuard {

void killWithParent([[maybe_unused]] QProcess& process) {
#ifdef Q_OS_LINUX
  const pid_t parent = ::getpid();
  // Runs in the child between fork and exec: system calls only.
  process.setChildProcessModifier([parent] {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);  // the parent is already gone
  });
#endif
}

}  // namespace murmela::ChildProcessGuard
