#pragma once

#include <QFile>

#include <sys/mount.h>
#include <sys/resource.h>
#include <csignal>

namespace murmela::test {

// A folder on a file system with no room left: as root, a small tmpfs is
// mounted on it and fill() takes its last byte; where mounting is not
// allowed, fill() sets a file size limit on this process instead, so every
// write past the first byte fails (EFBIG). Undone when it goes.
class FullFileSystem {
 public:
  explicit FullFileSystem(const QString& folder)
      : folder_(folder), mounted_(::mount("tmpfs", qPrintable(folder), "tmpfs", 0, "size=64k,mode=0700") == 0) {}
  ~FullFileSystem() {
    if (mounted_) ::umount2(qPrintable(folder_), MNT_DETACH);
    if (!mounted_ && previous_.rlim_max) ::setrlimit(RLIMIT_FSIZE, &previous_);
  }
  void fill() {
    QFile filler(folder_ + "/.filler");
    while (mounted_ && (filler.isOpen() || filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) &&
           filler.write("f", 1) == 1) {
    }
    if (mounted_ || ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::getrlimit(RLIMIT_FSIZE, &previous_) != 0) return;
    const rlimit tiny{1, previous_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &tiny);
  }

 private:
  QString folder_;
  bool mounted_;
  rlimit previous_{};
};

}  // namespace murmela::test
