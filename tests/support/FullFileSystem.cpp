#include "support/FullFileSystem.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#include <csignal>

namespace murmela::test {

FullFileSystem::FullFileSystem(const QString& folder) : folder_(QFile::encodeName(folder)) {
  mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") == 0;
}

FullFileSystem::~FullFileSystem() {
  if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
  if (limited_) ::setrlimit(RLIMIT_FSIZE, &previous_);
}

void FullFileSystem::fill() {
  if (!mounted_) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    const rlimit tiny{1, previous_.rlim_max};
    limited_ = ::setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    return;
  }
  const int fd = ::open((folder_ + "/.filler").constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  const QByteArray block(512, 'f');
  while (fd >= 0 && ::write(fd, block.constData(), block.size()) > 0) {
  }
  if (fd >= 0) ::close(fd);
}

}  // namespace murmela::test
