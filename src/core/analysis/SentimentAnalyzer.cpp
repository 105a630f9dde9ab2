#include "analysis/SentimentAnalyzer.h"

#include "common/LocalCalendar.h"

#include <algorithm>
#include <map>

namespace murmela {

SentimentAnalyzer::SentimentAnalyzer() : SentimentAnalyzer(defaultPositiveWords(), defaultNegativeWords()) {}

SentimentAnalyzer::SentimentAnalyzer(QStringList positiveWords, QStringList negativeWords)
    : positiveWords_(std::move(positiveWords)),
      negativeWords_(std::move(negativeWords)),
      positive_(makeTermMatchers(positiveWords_)),
      negative_(makeTermMatchers(negativeWords_)) {}

const QStringList& SentimentAnalyzer::defaultPositiveWords() {
  static const QStringList words = {"love", "happy", "proud", "excited", "grateful", "miss", "sweet", "best"};
  return words;
}

const QStringList& SentimentAnalyzer::defaultNegativeWords() {
  static const QStringList words = {"angry", "mad", "hurt", "sad", "upset", "sorry", "fight", "alone", "tired"};
  return words;
}

qint64 SentimentAnalyzer::score(const QString& text) const { return score(PreparedText(text)); }

qint64 SentimentAnalyzer::score(const PreparedText& text) const {
  qint64 value = 0;
  for (const TermMatcher& word : positive_)
    if (word.containedIn(text)) ++value;
  for (const TermMatcher& word : negative_)
    if (word.containedIn(text)) --value;
  return value;
}

QList<MonthlySentiment> SentimentAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

QList<MonthlySentiment> SentimentAnalyzer::analyze(const PreparedConversation& conversation) const {
  struct Month {
    Date start;
    double sum = 0.0;
    qint64 count = 0;
  };
  const LocalCalendar& calendar = conversation.calendar();
  std::map<qint64, Month> months;  // keyed by year * 12 + month - 1
  Month* current = nullptr;
  qint64 currentKey = 0;
  qint64 currentDay = 0;
  QDate day;
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    const Message& message = conversation.message(at);
    // Messages come in date order: the month changes rarely.
    const qint64 julianDay = conversation.julianDay(at);
    if (!current || julianDay != currentDay) {
      currentDay = julianDay;
      day = QDate::fromJulianDay(julianDay);
    }
    const qint64 key = qint64(day.year()) * 12 + day.month() - 1;
    if (!current || key != currentKey) {
      currentKey = key;
      const auto [entry, made] = months.try_emplace(key);
      if (made) {
        // The first moment of the month; a calendar that cannot build it
        // leaves the message's own date.
        const QDateTime start = QDate(day.year(), day.month(), 1).startOfDay(calendar.timeZone());
        entry->second.start = start.isValid() ? Date::fromQDateTime(start) : message.date;
      }
      current = &entry->second;
    }
    current->sum += static_cast<double>(score(conversation.text(at)));
    ++current->count;
  }

  std::vector<Month> ordered;
  ordered.reserve(months.size());
  for (const auto& [key, month] : months) ordered.push_back(month);
  std::stable_sort(ordered.begin(), ordered.end(), [](const Month& a, const Month& b) { return a.start < b.start; });

  QList<MonthlySentiment> result;
  result.reserve(static_cast<qsizetype>(ordered.size()));
  for (const Month& month : ordered) {
    const double mean = month.count > 0 ? month.sum / static_cast<double>(month.count) : 0.0;
    result.append(MonthlySentiment{month.start, std::clamp(mean, -1.0, 1.0)});
  }
  return result;
}

}  // namespace murmela
