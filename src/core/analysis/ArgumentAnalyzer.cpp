#include "analysis/ArgumentAnalyzer.h"

#include "analysis/ApologyAnalyzer.h"
#include "analysis/GenerativeAnalyzer.h"
#include "common/AnalysisLogger.h"
#include "common/LocalCalendar.h"

#include <QHash>

#include <algorithm>

namespace murmela {
namespace {

bool byDate(const ArgumentEvent& a, const ArgumentEvent& b) { return a.date < b.date; }

// One local day of the conversation.
struct Day {
  qint64 julianDay = 0;
  std::vector<qsizetype> messages;  // positions, in conversation order
  qint64 conflicts = 0;
  std::vector<bool> matchedTerms;  // by conflict term: matched by one of the day's messages
};

}  // namespace

ArgumentAnalyzer::ArgumentAnalyzer() : ArgumentAnalyzer(defaultConflictTerms()) {}

ArgumentAnalyzer::ArgumentAnalyzer(QStringList conflictTerms)
    : conflictTerms_(std::move(conflictTerms)), matchers_(makeTermMatchers(conflictTerms_)) {}

const QStringList& ArgumentAnalyzer::defaultConflictTerms() {
  static const QStringList terms = {"angry", "upset", "hurt", "fight", "sorry", "my bad", "wrong", "fault", "unfair"};
  return terms;
}

bool ArgumentAnalyzer::isConflictMessage(const PreparedText& text) const {
  for (const TermMatcher& matcher : matchers_)
    if (matcher.containedIn(text)) return true;
  return containsApology(text);
}

QList<ArgumentAnalyzer::Candidate> ArgumentAnalyzer::candidateEvents(const MessageList& messages) const {
  return candidateEvents(PreparedConversation(messages));
}

QList<ArgumentAnalyzer::Candidate> ArgumentAnalyzer::candidateEvents(const PreparedConversation& conversation) const {
  const MessageList& messages = conversation.messages();
  const LocalCalendar& calendar = conversation.calendar();
  std::vector<Day> days;
  QHash<qint64, size_t> dayIndex;  // Julian day -> position in `days`
  for (qsizetype at = 0; at < messages.size(); ++at) {
    const qint64 julianDay = conversation.julianDay(at);
    // Messages come in date order: the day usually is the last one seen.
    size_t index;
    if (!days.empty() && days.back().julianDay == julianDay) {
      index = days.size() - 1;
    } else {
      const auto found = dayIndex.constFind(julianDay);
      if (found != dayIndex.constEnd()) {
        index = *found;
      } else {
        index = days.size();
        dayIndex.insert(julianDay, index);
        days.push_back(Day{julianDay, {}, 0, std::vector<bool>(matchers_.size(), false)});
      }
    }
    Day& day = days[index];
    day.messages.push_back(at);
    const PreparedText& text = conversation.text(at);
    bool conflict = false;
    for (size_t term = 0; term < matchers_.size(); ++term) {
      if (!matchers_[term].containedIn(text)) continue;
      conflict = true;
      day.matchedTerms[term] = true;
    }
    if (conflict || containsApology(text)) ++day.conflicts;
  }
  // Days in calendar order: equal candidates keep the earlier day first.
  std::sort(days.begin(), days.end(), [](const Day& a, const Day& b) { return a.julianDay < b.julianDay; });
  const auto byTime = [&](qsizetype a, qsizetype b) { return messages[a].date < messages[b].date; };

  std::vector<Day*> qualifying;
  for (Day& day : days) {
    const auto count = static_cast<qint64>(day.messages.size());
    if (day.conflicts >= 2) {
      qualifying.push_back(&day);
    } else if (day.conflicts == 1 && count >= kBusyDayMessages) {
      std::stable_sort(day.messages.begin(), day.messages.end(), byTime);
      qint64 switches = 0;
      for (size_t i = 1; i < day.messages.size(); ++i)
        if (messages[day.messages[i]].isFromMe != messages[day.messages[i - 1]].isFromMe) ++switches;
      if (switches >= kBusyDaySwitches) qualifying.push_back(&day);
    }
  }
  const auto window = [](const Day* day) { return std::min<size_t>(day->messages.size(), kWindowLimit); };
  std::stable_sort(qualifying.begin(), qualifying.end(), [&](const Day* a, const Day* b) {
    if (a->conflicts != b->conflicts) return a->conflicts > b->conflicts;
    return window(a) > window(b);
  });
  if (qualifying.size() > static_cast<size_t>(kCandidateLimit)) qualifying.resize(kCandidateLimit);

  QList<Candidate> candidates;
  for (Day* day : qualifying) {
    std::stable_sort(day->messages.begin(), day->messages.end(), byTime);
    QStringList triggerTerms;
    for (size_t term = 0; term < matchers_.size(); ++term)
      if (day->matchedTerms[term]) triggerTerms.append(conflictTerms_[static_cast<qsizetype>(term)]);
    const bool lastFromMe = messages[day->messages.back()].isFromMe;
    Candidate candidate;
    candidate.date = calendar.startOfDay(QDate::fromJulianDay(day->julianDay));
    candidate.messages.reserve(static_cast<qsizetype>(window(day)));
    for (size_t i = 0; i < window(day); ++i) candidate.messages.append(messages[day->messages[i]]);
    candidate.conflictMessageCount = day->conflicts;
    candidate.fallbackEvent =
        ArgumentEvent{candidate.date, static_cast<qint64>(day->messages.size()), lastFromMe, triggerTerms, lastFromMe};
    candidates.append(std::move(candidate));
  }
  return candidates;
}

QList<ArgumentEvent> ArgumentAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

QList<ArgumentEvent> ArgumentAnalyzer::analyze(const PreparedConversation& conversation) const {
  const QList<Candidate> candidates = candidateEvents(conversation);
  if (candidates.isEmpty()) {
    AnalysisLogger::log(QStringLiteral("Argument analyzer: no candidate windows"));
    return {};
  }
  AnalysisLogger::log(QStringLiteral("Argument analyzer: narrowed to ") + QString::number(candidates.size()) +
                      QStringLiteral(" candidate windows"));

  QList<GenerativeAnalyzer::ArgumentCandidate> judged;
  for (const Candidate& candidate : candidates)
    judged.append(GenerativeAnalyzer::ArgumentCandidate{candidate.date, candidate.messages, candidate.fallbackEvent});
  QList<ArgumentEvent> events = GenerativeAnalyzer::argumentEvents(judged);
  if (!events.isEmpty()) {
    AnalysisLogger::log(QStringLiteral("AFM argument analyzer: accepted ") + QString::number(events.size()) +
                        QStringLiteral(" events"));
    std::stable_sort(events.begin(), events.end(), byDate);
    return events;
  }

  for (const Candidate& candidate : candidates)
    if (candidate.conflictMessageCount >= kHeuristicMinimumConflicts) events.append(candidate.fallbackEvent);
  AnalysisLogger::log(QStringLiteral("Heuristic argument analyzer: accepted ") + QString::number(events.size()) +
                      QStringLiteral(" events"));
  std::stable_sort(events.begin(), events.end(), byDate);
  return events;
}

}  // namespace murmela
