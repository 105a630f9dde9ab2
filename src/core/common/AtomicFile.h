#pragma once

#include <QByteArray>
#include <QString>

namespace murmela {

// Writes the whole file atomically: afterwards the file holds exactly
// `bytes`, or it is as it was and FileError(writeFailed) is thrown with the
// system's reason. The bytes go to a partial file beside it (see
// isPartialWrite), which is synced to disk before it is renamed into place; a
// short write, a failed sync or a failed close is a failure, and the partial
// file is removed. An existing file's permissions carry over.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// Whether a file name is that of a partial file of writeFileAtomically:
// ".<name>.partial-<process id>-<random>".
bool isPartialWrite(const QString& fileName);
// Removes the partial files in `folder` whose writing process has ended (a
// write killed before its rename); those of running processes stay.
void removeAbandonedPartialWrites(const QString& folder);

}  // namespace murmela
