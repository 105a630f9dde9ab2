#pragma once

#include "common/Date.h"
#include "data/RelationshipType.h"

#include <QLocale>
#include <QString>
#include <QTimeZone>

namespace murmela {

// The report's closing paragraph: the generative step's paragraph when it
// gives one, otherwise a fixed template for the relationship type filled with
// the message total (grouped in the current locale), the span in whole years
// (at least 1), the contact name and the longest streak.
class CloserGenerator {
 public:
  QString generate(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages, Date firstDate,
                   Date lastDate, qint64 longestStreakDays) const;

  // The template alone. The zone's calendar counts the years and the locale
  // groups the total: the user's own unless given (the demo reports pin both).
  static QString templateParagraph(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages,
                                   Date firstDate, Date lastDate, qint64 longestStreakDays,
                                   const QTimeZone& zone = QTimeZone::systemTimeZone(),
                                   const QLocale& locale = QLocale());

  // The span the paragraph names: whole calendar years from the first to the
  // last date in the zone, at least 1.
  static qint64 spanInYears(Date firstDate, Date lastDate, const QTimeZone& zone = QTimeZone::systemTimeZone());
};

}  // namespace murmela
