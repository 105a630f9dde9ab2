#pragma once

#include "common/Date.h"
#include "data/RelationshipType.h"

#include <QString>

namespace murmela {

// The report's closing paragraph: the generative step's paragraph when it
// gives one, otherwise a fixed template for the relationship type filled with
// the message total (grouped in the current locale), the span in whole years
// (at least 1), the contact name and the longest streak.
class CloserGenerator {
 public:
  QString generate(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages, Date firstDate,
                   Date lastDate, qint64 longestStreakDays) const;

  static QString templateParagraph(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages,
                                   Date firstDate, Date lastDate, qint64 longestStreakDays);
};

}  // namespace murmela
