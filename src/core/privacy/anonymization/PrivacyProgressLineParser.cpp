#include "privacy/anonymization/PrivacyProgressLineParser.h"

#include <QMutexLocker>

namespace murmela {

QList<PrivacyProgressUpdate> PrivacyProgressLineParser::append(QStringView text) {
  QList<PrivacyProgressUpdate> updates;
  if (text.isEmpty()) return updates;
  const QMutexLocker locker(&lock_);
  // Only the new text can hold a line feed that was not seen before.
  qsizetype searchFrom = pending_.size();
  pending_.append(text);
  qsizetype lineStart = 0;
  for (qsizetype end = pending_.indexOf(QLatin1Char('\n'), searchFrom); end >= 0;
       end = pending_.indexOf(QLatin1Char('\n'), lineStart)) {
    if (auto update = PrivacyProgressUpdate::fromLine(QStringView(pending_).mid(lineStart, end - lineStart)))
      updates.append(*update);
    lineStart = end + 1;
  }
  pending_.remove(0, lineStart);
  return updates;
}

QString PrivacyProgressLineParser::pending() const {
  const QMutexLocker locker(&lock_);
  return pending_;
}

}  // namespace murmela
