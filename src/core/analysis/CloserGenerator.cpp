#include "analysis/CloserGenerator.h"

#include "analysis/GenerativeAnalyzer.h"
#include "common/LocaleFormat.h"

#include <algorithm>

namespace murmela {
namespace {

struct Template {
  const char* middle;   // ends before the streak number
  const char* closing;  // follows the streak number
};

Template templateFor(RelationshipType type) {
  switch (type) {
    case RelationshipType::romantic:
      return {
          " became a private archive of ordinary days, repairs, returns, and all the tiny ways love learned to "
          "speak. The longest streak lasted ",
          " days, but the real pattern is simpler: again and again, one of you reached out, and the other came "
          "back."};
    case RelationshipType::closeFriend:
      return {
          " reads like a toast to the two of you: running jokes, emergency debriefs, small rescues, and plans "
          "that turned into lore. The longest streak lasted ",
          " days, but the real story is the habit of choosing each other on regular days."};
    case RelationshipType::family:
      return {
          " became a record of care: check-ins, reminders, logistics, gratitude, and the quiet proof that "
          "someone was paying attention. The longest streak lasted ",
          " days, but the real thread is steadier than any streak."};
    case RelationshipType::casual:
      break;
  }
  return {
      " shows what accumulated slowly: plans, updates, timing, context, and a shared record that became more "
      "specific with every exchange. The longest streak lasted ",
      " days, but the interesting part is what the conversation built over time."};
}

}  // namespace

QString CloserGenerator::generate(const QString& contactName, RelationshipType relationshipType, qint64 totalMessages,
                                  Date firstDate, Date lastDate, qint64 longestStreakDays) const {
  if (std::optional<QString> paragraph = GenerativeAnalyzer::closerParagraph(
          contactName, relationshipType, totalMessages, firstDate, lastDate, longestStreakDays))
    return *paragraph;
  return templateParagraph(contactName, relationshipType, totalMessages, firstDate, lastDate, longestStreakDays);
}

QString CloserGenerator::templateParagraph(const QString& contactName, RelationshipType relationshipType,
                                           qint64 totalMessages, Date firstDate, Date lastDate,
                                           qint64 longestStreakDays, const QTimeZone& zone, const QLocale& locale) {
  const qint64 years = spanInYears(firstDate, lastDate, zone);
  const QString total = LocaleFormat::groupedInteger(totalMessages, locale);
  const Template parts = templateFor(relationshipType);
  return QStringLiteral("Across ") + total + QStringLiteral(" messages and ") + QString::number(years) +
         QStringLiteral(" years, this thread with ") + contactName + QString::fromUtf8(parts.middle) +
         QString::number(longestStreakDays) + QString::fromUtf8(parts.closing);
}

qint64 CloserGenerator::spanInYears(Date firstDate, Date lastDate, const QTimeZone& zone) {
  return std::max<qint64>(LocaleFormat::wholeYearsBetween(firstDate, lastDate, zone), 1);
}

}  // namespace murmela
