#pragma once

#include <QByteArray>
#include <QString>

#include <sys/resource.h>

namespace murmela::test {

// A folder on a file system with no room left. As root, a small tmpfs is
// mounted on the folder and fill() takes its last free byte; where mounting is
// not allowed, fill() instead sets a file size limit on this process that
// makes every write past the first byte fail (EFBIG). Unmounted, or the limit
// lifted, when it goes.
class FullFileSystem {
 public:
  explicit FullFileSystem(const QString& folder);
  ~FullFileSystem();
  FullFileSystem(const FullFileSystem&) = delete;
  FullFileSystem& operator=(const FullFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  void fill();

 private:
  QByteArray folder_;
  bool mounted_ = false;
  bool limited_ = false;
  rlimit previous_{};
};

}  // namespace murmela::test
