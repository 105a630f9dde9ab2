#pragma once

#include "app/PastWrap.h"
#include "common/AtomicFile.h"
#include "common/Date.h"
#include "data/WrappedReport.h"

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// The reports a processing run generated, one JSON file each in the folder
// "reports" of the application folder. The folder is the state: nothing is
// kept in memory, and no file is ever removed or moved.
class SavedReportLibrary {
 public:
  // The listed date of a file whose modification time cannot be read (the
  // year 1 in the reference calendar), so it sorts last.
  static constexpr Date kDistantPast = Date(-63114076800.0);
  // How much of a partner's name a file name keeps, in UTF-8 bytes: a name
  // far past that would push the file name over the file system's 255 bytes.
  static constexpr qsizetype kMaxNameBytes = 150;
  // The largest file read as a report: a thousand times the largest real one.
  static constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;

  // The folder "reports" of the application folder; none without one.
  static std::optional<QString> defaultReportsDir();

  // `placement`: how a save puts its file in place (tests describe other
  // file systems with it).
  explicit SavedReportLibrary(std::optional<QString> reportsDir = defaultReportsDir(),
                              NewFilePlacement placement = {})
      : reportsDir_(std::move(reportsDir)), placement_(std::move(placement)) {}

  const std::optional<QString>& reportsDir() const { return reportsDir_; }

  // Every readable report of the folder, newest first; files with the same
  // date keep their order by name. Hidden entries, entries whose extension is
  // not "json" in any case, and files that do not decode are left out. Never
  // fails: a missing or unlistable folder gives an empty list.
  QList<PastWrap> load() const;

  // Writes the report to a new file named after `savedAt` and the other
  // participant (see fileName), creating the folder when needed. A name that
  // is already taken gets "-2", "-3", … before ".json", so a save never
  // replaces another report. The file appears complete or not at all.
  // Returns its path. Throws FileError or Json::EncodingError.
  QString save(const WrappedReport& report, Date savedAt) const;

  // "yyyyMMdd-HHmmss" of `savedAt` in the system's time zone.
  static QString fileTimestamp(Date savedAt);
  // The file timestamp, "-", the sanitized name and ".json".
  static QString fileName(Date savedAt, const QString& otherName);
  // Letters, marks, numbers, "-" and "_" stay; every other code point becomes
  // "-"; runs of "-" collapse into one and are trimmed at both ends. The result
  // is cut to kMaxNameBytes at a character boundary; "conversation" when
  // nothing is left.
  static QString sanitized(const QString& name);

 private:
  std::optional<QString> reportsDir_;
  NewFilePlacement placement_;
};

}  // namespace murmela
