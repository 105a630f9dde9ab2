#pragma once

#include <QByteArray>
#include <QString>

namespace murmela {

// Writes the whole file atomically: afterwards the file holds exactly
// `bytes`, or it is as it was and FileError(writeFailed) is thrown with the
// system's reason. The bytes go to a partial file beside it, which is synced
// to disk before it is renamed into place; a short write, a failed sync or a
// failed close is a failure, and the partial file is removed. An existing
// file's permissions carry over; a link at the path is replaced, not followed.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the partial files of writeFileAtomically in `folder`, named
// ".<name>.partial-<process id>-<8 hex digits>", whose writing process has
// ended (a write killed before its rename); those of running processes stay.
void removeAbandonedPartialWrites(const QString& folder);

}  // namespace murmela
