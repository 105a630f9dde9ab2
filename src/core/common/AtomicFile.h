#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace murmela {

// Who may read a file that a write creates: only its owner (0600, for files
// that hold the user's data), or anyone the umask allows (0666 less it).
enum class NewFileAccess { ownerOnly, umask };

// Writes the whole file atomically: afterwards the file holds exactly
// `bytes`, or it is as it was and FileError(writeFailed) is thrown with the
// system's reason. The bytes go to a partial file beside it, which is synced
// to disk before it is renamed into place; a short write, a failed sync or a
// failed close is a failure, and the partial file is removed. An existing
// file's permissions carry over; a new file gets `access`. A symbolic link at
// the path stays: the file it leads to is written (atomically, beside it).
void writeFileAtomically(const QString& path, const QByteArray& bytes,
                         NewFileAccess access = NewFileAccess::umask);

// How writeNewFileAtomically puts a finished file in place without replacing
// another; the defaults are this system's own. Tests describe other file
// systems with it.
struct NewFilePlacement {
  // As on a file system with neither renameat2 (RENAME_NOREPLACE) nor hard
  // links: the name is claimed with an empty file first.
  bool withoutNoReplaceOrLink = false;
  // …whose rename also refuses an existing target, as some network shares do.
  bool renameNeverReplaces = false;
  // Runs once a name is claimed, before the finished file replaces the claim.
  std::function<void()> afterNameClaim;
};

// The most names writeNewFileAtomically tries before it fails.
inline constexpr int kMaxNameAttempts = 1000;

// Writes `bytes` to a new file in `folder` under the first free name of
// nameFor(1), nameFor(2), … nameFor(kMaxNameAttempts), and returns its path;
// past that it throws FileError(writeFailed) ("File exists"). No existing
// file (one that another process wrote a moment ago included) is ever
// replaced: the finished file is renamed into place with renameat2
// (RENAME_NOREPLACE) or, where the file system lacks that, linked into place;
// where it has neither (FAT, some network shares), the name is first claimed
// by creating an empty file exclusively (O_EXCL), which the finished file then
// replaces, so a reader may see that name empty for a moment; a hidden record
// beside it names the claim's process until the file is in place. Where
// rename does not replace even that claim, the claim goes and a plain rename
// takes the name while it is free. Elsewhere the file appears complete or not
// at all. A failure throws FileError(writeFailed).
QString writeNewFileAtomically(const QString& folder, const std::function<QString(int attempt)>& nameFor,
                               const QByteArray& bytes, NewFileAccess access = NewFileAccess::ownerOnly,
                               const NewFilePlacement& placement = {});

// Removes what writes whose process has ended (killed before its rename)
// left in `folder`: the partial files of writeFileAtomically, named
// ".<name>.partial-<process id>-<8 hex digits>", and the claims of
// writeNewFileAtomically, ".<name>.claim-<process id>-<8 hex digits>", with
// the claimed file when it is still empty, so its name is free again. Those
// of running processes stay.
void removeAbandonedPartialWrites(const QString& folder);

}  // namespace murmela
