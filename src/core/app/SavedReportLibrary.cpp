#include "app/SavedReportLibrary.h"

#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "common/FileError.h"
#include "common/FileSystem.h"
#include "common/UnicodeText.h"
#include "data/ReportJson.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace murmela {
namespace {

const QString kExtension = QStringLiteral(".json");

bool isAllowed(char32_t codePoint) {
  return codePoint == U'-' || codePoint == U'_' || UnicodeText::isAlphanumeric(codePoint);
}

// Pieces between "-" joined by one "-": runs collapse, both ends are trimmed.
QString collapseDashes(const QString& text) {
  return text.split(QLatin1Char('-'), Qt::SkipEmptyParts).join(QLatin1Char('-'));
}

// The longest run of whole characters from the start that fits in `maxBytes`
// of UTF-8.
QString utf8Prefix(const QString& text, qsizetype maxBytes) {
  qsizetype bytes = 0;
  qsizetype end = 0;
  bool full = false;
  UnicodeText::forEachGrapheme(text, [&](QStringView cluster) {
    if (full) return;
    const qsizetype size = cluster.toUtf8().size();
    if (bytes + size > maxBytes) {
      full = true;
      return;
    }
    bytes += size;
    end += cluster.size();
  });
  return text.left(end);
}

}  // namespace

std::optional<QString> SavedReportLibrary::defaultReportsDir() {
  return AppPaths::inAppFolder(QStringLiteral("reports"));
}

QString SavedReportLibrary::sanitized(const QString& name) {
  QString replaced;
  replaced.reserve(name.size());
  for (qsizetype i = 0; i < name.size();) {
    qsizetype width = 1;
    const char32_t codePoint = UnicodeText::codePointAt(name, i, &width);
    if (isAllowed(codePoint)) {
      replaced += QStringView(name).mid(i, width);
    } else {
      replaced += QLatin1Char('-');
    }
    i += width;
  }
  QString result = collapseDashes(replaced);
  if (result.toUtf8().size() > kMaxNameBytes) result = collapseDashes(utf8Prefix(result, kMaxNameBytes));
  return result.isEmpty() ? QStringLiteral("conversation") : result;
}

QString SavedReportLibrary::fileTimestamp(Date savedAt) {
  const QDateTime local = QDateTime::fromMSecsSinceEpoch(savedAt.toUnixMilliseconds(), Qt::LocalTime);
  return QLocale::c().toString(local, QStringLiteral("yyyyMMdd-HHmmss"));
}

QString SavedReportLibrary::fileName(Date savedAt, const QString& otherName) {
  return fileTimestamp(savedAt) + QLatin1Char('-') + sanitized(otherName) + kExtension;
}

QString SavedReportLibrary::save(const WrappedReport& report, Date savedAt) const {
  const QString name = fileName(savedAt, report.participantNames.them);
  if (!reportsDir_)
    throw FileError(FileError::Kind::writeFailed, name, QStringLiteral("there is no application folder"));
  if (const std::error_code failure = FileSystem::createPrivateFolders(*reportsDir_))
    throw FileError(FileError::Kind::writeFailed, *reportsDir_, FileSystem::describe(failure));

  const QByteArray bytes = ReportJson::encode(report);
  const QString stem = name.chopped(kExtension.size());
  // The name is claimed as the file is put in place: a save of another
  // process in the same second takes the next suffix, never this file.
  return writeNewFileAtomically(*reportsDir_, [&](int attempt) {
    return attempt == 1 ? name : stem + QLatin1Char('-') + QString::number(attempt) + kExtension;
  }, bytes, NewFileAccess::ownerOnly, placement_);
}

QList<PastWrap> SavedReportLibrary::load() const {
  QList<PastWrap> wraps;
  if (!reportsDir_) return wraps;
  const QFileInfoList entries =
      QDir(*reportsDir_).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  for (const QFileInfo& entry : entries) {
    if (entry.suffix().toLower() != QLatin1String("json")) continue;
    try {
      WrappedReport report = ReportJson::decode(readRegularFile(entry.filePath(), kMaxReportBytes));
      const QDateTime modified = entry.lastModified();
      wraps.append(
          {entry.filePath(), std::move(report), modified.isValid() ? Date::fromQDateTime(modified) : kDistantPast});
    } catch (const std::exception&) {
      // Not a report this build can read (another program's file, a truncated
      // write, an older shape, a pipe or a device): it is not listed.
    }
  }
  std::stable_sort(wraps.begin(), wraps.end(),
                   [](const PastWrap& a, const PastWrap& b) { return a.savedAt > b.savedAt; });
  return wraps;
}

}  // namespace murmela
