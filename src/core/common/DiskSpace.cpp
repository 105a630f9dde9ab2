#include "common/DiskSpace.h"

#include <QFile>

#include <sys/statvfs.h>

#include <cerrno>
#include <limits>

namespace murmela::DiskSpace {
namespace {

std::optional<qint64> usableBytes(const struct statvfs& info) {
  const unsigned long long blocks = info.f_bavail;
  const unsigned long long blockSize = info.f_frsize ? info.f_frsize : info.f_bsize;
  constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<qint64>::max());
  if (blockSize != 0 && blocks > kMax / blockSize) return std::numeric_limits<qint64>::max();
  return static_cast<qint64>(blocks * blockSize);
}

}  // namespace

std::optional<qint64> freeBytes(const QString& folder) {
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0) return std::nullopt;
  return usableBytes(info);
}

std::optional<qint64> freeBytes(int fd) {
  struct statvfs info {};
  if (::fstatvfs(fd, &info) != 0) return std::nullopt;
  return usableBytes(info);
}

QString megabytes(qint64 bytes, Rounding rounding) {
  constexpr qint64 kMegabyte = 1000 * 1000;
  qint64 whole = bytes / kMegabyte;  // without overflow near the largest qint64
  if (rounding == Rounding::up && bytes % kMegabyte > 0) ++whole;
  return QString::number(whole) + QStringLiteral(" MB");
}

bool isOutOfSpace(int error) { return error == ENOSPC || error == EDQUOT; }

QString notEnoughSpace(const QString& folder, const QString& what, qint64 needed, qint64 free, bool more) {
  return QStringLiteral("Not enough free space in %1: %2 needs %3%4 and %5 are free.")
      .arg(folder, what, megabytes(needed, Rounding::up), more ? QStringLiteral(" more") : QString(),
           megabytes(free, Rounding::down));
}

QString outOfSpace(const QString& folder, int error) {
  if (error == EDQUOT) return QStringLiteral("The disk quota for %1 is used up.").arg(folder);
  return QStringLiteral("No space left in %1.").arg(folder);
}

}  // namespace murmela::DiskSpace
