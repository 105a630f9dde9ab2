#pragma once

#include <QString>

#include <optional>

namespace murmela::DiskSpace {

// The bytes an unprivileged writer can still use on the file system that
// holds `folder` (or the open folder `fd`), at most the largest qint64;
// absent when the system does not say.
std::optional<qint64> freeBytes(const QString& folder);
std::optional<qint64> freeBytes(int fd);

// Whole megabytes (10^6 bytes) and " MB". What is needed rounds up and what
// is free rounds down, so that the two never read as equal when they are not.
enum class Rounding { up, down };
QString megabytes(qint64 bytes, Rounding rounding);

// Whether a failed write ran out of room: the disk (ENOSPC) or the user's
// quota (EDQUOT).
bool isOutOfSpace(int error);

// What a full disk says, in one wording wherever it is said:
// "Not enough free space in <folder>: <what> needs <N> MB[ more] and <M> MB
// are free." for a need known beforehand (`more`: the need is what is still
// to come), …
QString notEnoughSpace(const QString& folder, const QString& what, qint64 needed, qint64 free, bool more = false);
// … and "No space left in <folder>." (or "The disk quota for <folder> is used
// up.") for a write that ran out of room.
QString outOfSpace(const QString& folder, int error);

}  // namespace murmela::DiskSpace
