#include "common/FileCopy.h"

#include "common/FileDescriptor.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace murmela {
namespace {

bool isWriteFailure(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS; }

// Through a buffer, from where both files stand.
ContentCopy readAndWrite(int source, int target) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t count = ::read(source, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return {errno, false};
    if (count == 0) return {};
    if (const int error = writeAll(target, buffer.data(), count)) return {error, true};
  }
}

}  // namespace

ContentCopy copyFileContents(int source, int target) {
  if (::ioctl(target, FICLONE, source) == 0) return {};
  for (;;) {
    const ssize_t count = ::copy_file_range(source, nullptr, target, nullptr, size_t(1) << 30, 0);
    if (count == 0) return {};
    if (count > 0) continue;
    if (errno == EINTR) continue;
    // Not offered here (another file system, an older kernel, a file it
    // cannot copy), or a failure it does not say the side of: the buffer
    // goes on from where the kernel stopped and names the side that fails.
    if (isWriteFailure(errno)) return {errno, true};
    return readAndWrite(source, target);
  }
}

}  // namespace murmela
