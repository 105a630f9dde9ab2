#include "sharing/ShareFileNames.h"

#include <QStringList>

namespace murmela::ShareFileNames {
namespace {

const QString kPrefix = QStringLiteral("murmela-");

bool allowed(char32_t scalar) {
  if (scalar == U'-' || scalar == U'_') return true;
  switch (QChar::category(scalar)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
      return true;
    default:
      return false;
  }
}

QString twoDigits(int number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); }

}  // namespace

QString safeFilename(const QString& name) {
  QString mapped;
  for (const char32_t scalar : name.toUcs4()) {
    if (allowed(scalar)) {
      mapped += QString::fromUcs4(&scalar, 1);
    } else {
      mapped += QLatin1Char('-');
    }
  }
  const QString joined = mapped.split(QLatin1Char('-'), Qt::SkipEmptyParts).join(QLatin1Char('-'));
  return joined.isEmpty() ? QStringLiteral("conversation") : joined;
}

QString singleSlideFileName(const QString& participantName, int index) {
  QString name = participantName;
  return kPrefix + name.replace(QLatin1Char('/'), QLatin1Char('-')) + QStringLiteral("-slide-") + twoDigits(index + 1) +
         QStringLiteral(".png");
}

QString slideshowFolderName(const QString& participantName) {
  return kPrefix + safeFilename(participantName) + QStringLiteral("-slideshow");
}

QString slideshowFileName(const QString& participantName, int number) {
  return kPrefix + safeFilename(participantName) + QLatin1Char('-') + twoDigits(number) + QStringLiteral(".png");
}

QString withPngSuffix(const QString& path) {
  if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) return path;
  return path + QStringLiteral(".png");
}

}  // namespace murmela::ShareFileNames
