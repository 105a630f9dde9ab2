#include "DevAnalysis.h"

#include "DevText.h"
#include "common/FixedDecimal.h"
#include "json/JsonCodec.h"
#include "common/UnicodeText.h"
#include "hosted/HostedChatMessage.h"

#include <QHash>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <set>

namespace murmela::devbackend::DevAnalysis {
namespace {

using Json::ObjectReader;
using Object = JSONValue::Object;
using Array = JSONValue::Array;

const QList<QPair<QString, QStringList>>& relationshipTerms() {
  static const QList<QPair<QString, QStringList>> terms = {
      {QStringLiteral("romantic"),
       {QStringLiteral("love you"), QStringLiteral("miss you"), QStringLiteral("babe"), QStringLiteral("baby"),
        QStringLiteral("honey"), QStringLiteral("darling"), QStringLiteral("sweetheart"), QStringLiteral("kiss"),
        QStringLiteral("kisses"), QStringLiteral("xoxo"), QStringLiteral("date night"), QStringLiteral("my love")}},
      {QStringLiteral("family"),
       {QStringLiteral("mom"), QStringLiteral("mum"), QStringLiteral("dad"), QStringLiteral("mother"),
        QStringLiteral("father"), QStringLiteral("sis"), QStringLiteral("sister"), QStringLiteral("brother"),
        QStringLiteral("grandma"), QStringLiteral("grandpa"), QStringLiteral("aunt"), QStringLiteral("uncle"),
        QStringLiteral("cousin"), QStringLiteral("family"), QStringLiteral("thanksgiving")}},
      {QStringLiteral("closeFriend"),
       {QStringLiteral("dude"), QStringLiteral("bestie"), QStringLiteral("bff"), QStringLiteral("lol"),
        QStringLiteral("lmao"), QStringLiteral("haha"), QStringLiteral("hahaha"), QStringLiteral("bro"),
        QStringLiteral("buddy"), QStringLiteral("mate"), QStringLiteral("hang out"), QStringLiteral("game night")}},
  };
  return terms;
}

const QStringList kRomanticEmoji = {QStringLiteral("\u2764"), QStringLiteral("\U0001F618"),
                                    QStringLiteral("\U0001F60D"), QStringLiteral("\U0001F970")};

const QStringList kConflictMarkers = {
    QStringLiteral("angry"),     QStringLiteral("upset"),        QStringLiteral("mad at"),
    QStringLiteral("annoyed"),   QStringLiteral("annoying"),     QStringLiteral("whatever"),
    QStringLiteral("seriously"), QStringLiteral("fight"),        QStringLiteral("argue"),
    QStringLiteral("arguing"),   QStringLiteral("hate"),         QStringLiteral("leave me alone"),
    QStringLiteral("not okay"),  QStringLiteral("you never"),    QStringLiteral("you always"),
    QStringLiteral("wtf"),       QStringLiteral("ugh"),          QStringLiteral("frustrated"),
    QStringLiteral("hurt"),      QStringLiteral("can't believe")};

const QStringList kRepairTerms = {
    QStringLiteral("sorry"),      QStringLiteral("my bad"),   QStringLiteral("i apologize"),
    QStringLiteral("forgive me"), QStringLiteral("make up"),  QStringLiteral("we're good"),
    QStringLiteral("all good"),   QStringLiteral("love you"), QStringLiteral("i understand")};

const QSet<QString> kPositiveWords = {QStringLiteral("love"),    QStringLiteral("happy"),   QStringLiteral("great"),
                                      QStringLiteral("amazing"), QStringLiteral("awesome"), QStringLiteral("fun"),
                                      QStringLiteral("excited"), QStringLiteral("thanks"),  QStringLiteral("thank"),
                                      QStringLiteral("yay"),     QStringLiteral("proud"),   QStringLiteral("cute"),
                                      QStringLiteral("perfect"), QStringLiteral("best"),    QStringLiteral("glad")};
const QSet<QString> kNegativeWords = {QStringLiteral("sad"),    QStringLiteral("angry"),   QStringLiteral("upset"),
                                      QStringLiteral("hate"),   QStringLiteral("annoyed"), QStringLiteral("tired"),
                                      QStringLiteral("bad"),    QStringLiteral("worst"),   QStringLiteral("terrible"),
                                      QStringLiteral("ugh"),    QStringLiteral("hurt"),    QStringLiteral("stressed"),
                                      QStringLiteral("crying"), QStringLiteral("lonely"),  QStringLiteral("sorry")};

const QStringList kMilestones = {QStringLiteral("i love you"),     QStringLiteral("miss you"),
                                 QStringLiteral("good morning"),   QStringLiteral("good night"),
                                 QStringLiteral("happy birthday"), QStringLiteral("merry christmas"),
                                 QStringLiteral("happy new year"), QStringLiteral("congratulations")};
const QString kFirstPhoto = QStringLiteral("first photo");
constexpr qsizetype kMaxOtherFirsts = 6;
constexpr qsizetype kPhraseCandidatesPerChunk = 25;
constexpr qsizetype kLongestPhraseWords = 5;
constexpr qint64 kConflictGap = 5;    // hits at most this many messages apart form one stretch
constexpr qint64 kRepairWindow = 10;  // messages after a stretch that can still repair it

JSONValue number(double value) { return JSONValue::number(value); }
JSONValue text(const QString& value) { return JSONValue::string(value); }

QStringList termsIn(const StepMessage& message, const QStringList& terms) {
  QStringList found;
  for (const QString& term : terms)
    if (DevText::containsTerm(message.padded, term)) found.append(term);
  return found;
}

bool containsAny(const StepMessage& message, const QStringList& terms) {
  return std::any_of(terms.begin(), terms.end(),
                     [&](const QString& term) { return DevText::containsTerm(message.padded, term); });
}

// Lenient readers for the backend's own intermediate results.
double numberAt(const Object& object, const QString& key, double fallback = 0.0) {
  return object.value(key).numberValue().value_or(fallback);
}
QString stringAt(const Object& object, const QString& key) {
  return object.value(key).stringValue().value_or(QString());
}
Array arrayAt(const Object& object, const QString& key) {
  const JSONValue value = object.value(key);
  return value.arrayValue() ? *value.arrayValue() : Array();
}
Object objectAt(const Object& object, const QString& key) {
  const JSONValue value = object.value(key);
  return value.objectValue() ? *value.objectValue() : Object();
}

// A message index, count or year the backend computes with: a whole number
// within the range a double holds exactly. Anything else (1e300, 2.5) is
// refused, not cast.
qint64 wholeNumber(double value, const QString& path) {
  constexpr double kLargestExact = 9007199254740992.0;  // 2^53
  if (!std::isfinite(value) || value != std::floor(value) || std::fabs(value) > kLargestExact)
    throw Json::DecodingError(path, QStringLiteral("expected a whole number, found %1").arg(value));
  return static_cast<qint64>(value);
}

int wholeYear(double value, const QString& path) {
  const qint64 year = wholeNumber(value, path);
  if (year < -9999 || year > 9999)
    throw Json::DecodingError(path, QStringLiteral("expected a year, found %1").arg(year));
  return static_cast<int>(year);
}

// A sum of counts from the request that no longer is a number (1e308 twice).
void requireFinite(double sum, const QString& path) {
  if (!std::isfinite(sum))
    throw Json::DecodingError(path, QStringLiteral("the counts add up to more than a number holds"));
}

Array indexArray(const std::set<qint64>& indexes) {
  Array array;
  for (const qint64 index : indexes) array.append(number(static_cast<double>(index)));
  return array;
}

// Phrases of two to five words that occur in at least two messages, with the
// messages that hold them; the most frequent first, longer phrases before
// shorter ones of the same count.
Array phraseCandidates(const QList<StepMessage>& messages) {
  QHash<QString, std::set<qint64>> occurrences;
  const QSet<QString>& stop = DevText::stopwords();
  for (const StepMessage& message : messages) {
    const QStringList words = message.words();
    for (qsizetype length = 2; length <= kLongestPhraseWords; ++length) {
      for (qsizetype at = 0; at + length <= words.size(); ++at) {
        const QStringList gram = words.mid(at, length);
        if (std::all_of(gram.begin(), gram.end(), [&](const QString& word) { return stop.contains(word); })) continue;
        occurrences[gram.join(QLatin1Char(' '))].insert(message.index);
      }
    }
  }
  QList<QPair<QString, const std::set<qint64>*>> ranked;
  for (auto it = occurrences.cbegin(); it != occurrences.cend(); ++it)
    if (it.value().size() >= 2) ranked.append({it.key(), &it.value()});
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    if (a.second->size() != b.second->size()) return a.second->size() > b.second->size();
    const qsizetype wordsA = a.first.count(QLatin1Char(' ')), wordsB = b.first.count(QLatin1Char(' '));
    if (wordsA != wordsB) return wordsA > wordsB;
    return UnicodeText::lessByCodePoint(a.first, b.first);
  });
  Array candidates;
  for (qsizetype i = 0; i < std::min<qsizetype>(ranked.size(), kPhraseCandidatesPerChunk); ++i) {
    candidates.append(
        JSONValue::object({{QStringLiteral("phrase"), text(ranked[i].first)},
                           {QStringLiteral("messageIndexes"), JSONValue::array(indexArray(*ranked[i].second))}}));
  }
  return candidates;
}

// Stretches of at least two messages with conflict markers close together.
Array conflictCandidates(const QList<StepMessage>& messages) {
  struct Hit {
    qsizetype position;
    QStringList markers;
  };
  QList<QList<Hit>> groups;
  for (qsizetype i = 0; i < messages.size(); ++i) {
    const QStringList markers = termsIn(messages[i], kConflictMarkers);
    if (markers.isEmpty()) continue;
    if (groups.isEmpty() || messages[i].index - messages[groups.last().last().position].index > kConflictGap)
      groups.append(QList<Hit>());
    groups.last().append({i, markers});
  }
  Array candidates;
  for (const QList<Hit>& group : groups) {
    if (group.size() < 2) continue;
    const StepMessage& first = messages[group.first().position];
    const StepMessage& last = messages[group.last().position];
    QStringList markers;
    for (const Hit& hit : group)
      for (const QString& marker : hit.markers)
        if (!markers.contains(marker)) markers.append(marker);
    bool repaired = false;
    for (const StepMessage& message : messages)
      if (message.index >= first.index && message.index <= last.index + kRepairWindow &&
          containsAny(message, kRepairTerms))
        repaired = true;
    Array markerValues;
    for (const QString& marker : markers) markerValues.append(text(marker));
    candidates.append(
        JSONValue::object({{QStringLiteral("startMessageIndex"), number(static_cast<double>(first.index))},
                           {QStringLiteral("endMessageIndex"), number(static_cast<double>(last.index))},
                           {QStringLiteral("startTimestamp"), text(first.timestamp)},
                           {QStringLiteral("endTimestamp"), text(last.timestamp)},
                           {QStringLiteral("markers"), JSONValue::array(markerValues)},
                           {QStringLiteral("repaired"), JSONValue::boolean(repaired)}}));
  }
  return candidates;
}

QString percent(double share) { return QString::number(std::llround(share * 100.0)) + QLatin1Char('%'); }

QString counted(qsizetype count, const char* singular, const char* plural) {
  return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? singular : plural);
}

}  // namespace

Object analyzeChunk(const DevStep& step) {
  const ObjectReader payload(JSONValue::toJson(step.request.payload), QStringLiteral("payload"));
  const qint64 chunkIndex = payload.integer(QStringLiteral("chunk_index"));
  const qint64 chunkCount = payload.integer(QStringLiteral("chunk_count"));
  payload.integer(QStringLiteral("start_message_index"));
  payload.integer(QStringLiteral("end_message_index"));
  payload.string(QStringLiteral("start_timestamp"));
  payload.string(QStringLiteral("end_timestamp"));
  QList<StepMessage> read;
  const QList<StepMessage>& messages = step.messagesOf(payload, read);

  QMap<QString, qint64> bySender;
  qint64 photos = 0, positive = 0, negative = 0;
  QMap<QString, qint64> signalCounts;
  for (const auto& [category, terms] : relationshipTerms()) signalCounts.insert(category, 0);
  for (const StepMessage& message : messages) {
    ++bySender[message.sender];
    if (message.hasPhoto) ++photos;
    for (const auto& [category, terms] : relationshipTerms()) {
      bool hit = containsAny(message, terms);
      if (category == QLatin1String("romantic"))
        hit = hit || std::any_of(kRomanticEmoji.begin(), kRomanticEmoji.end(),
                                 [&](const QString& emoji) { return message.text.contains(emoji); });
      if (hit) ++signalCounts[category];
    }
    const QStringList words = message.words();
    if (std::any_of(words.begin(), words.end(), [](const QString& w) { return kPositiveWords.contains(w); }))
      ++positive;
    if (std::any_of(words.begin(), words.end(),
                    [](const QString& w) { return kNegativeWords.contains(w); }))
      ++negative;
  }

  Object senders;
  QStringList senderParts;
  for (auto it = bySender.cbegin(); it != bySender.cend(); ++it) {
    senders.insert(it.key(), number(static_cast<double>(it.value())));
    senderParts.append(QStringLiteral("%1 from %2").arg(it.value()).arg(it.key()));
  }
  Object signalValues;
  for (auto it = signalCounts.cbegin(); it != signalCounts.cend(); ++it)
    signalValues.insert(it.key(), number(static_cast<double>(it.value())));

  const Array phrases = phraseCandidates(messages);
  const Array conflicts = conflictCandidates(messages);
  const qint64 firstIndex = messages.isEmpty() ? 0 : messages.first().index;
  const qint64 lastIndex = messages.isEmpty() ? 0 : messages.last().index;
  QString summary = QStringLiteral("Chunk %1 of %2: %3 messages (#%4 to #%5)")
                        .arg(chunkIndex)
                        .arg(chunkCount)
                        .arg(messages.size())
                        .arg(firstIndex)
                        .arg(lastIndex);
  if (!senderParts.isEmpty()) summary += QStringLiteral(", ") + senderParts.join(QStringLiteral(" and "));
  summary += QStringLiteral("; %1, %2.")
                 .arg(counted(phrases.size(), "recurring phrase", "recurring phrases"),
                      counted(conflicts.size(), "tense stretch", "tense stretches"));

  return {
      {QStringLiteral("chunkIndex"), number(static_cast<double>(chunkIndex))},
      {QStringLiteral("chunkCount"), number(static_cast<double>(chunkCount))},
      {QStringLiteral("messageCount"), number(static_cast<double>(messages.size()))},
      {QStringLiteral("firstMessageIndex"), number(static_cast<double>(firstIndex))},
      {QStringLiteral("lastMessageIndex"), number(static_cast<double>(lastIndex))},
      {QStringLiteral("messagesBySender"), JSONValue::object(senders)},
      {QStringLiteral("photoCount"), number(static_cast<double>(photos))},
      {QStringLiteral("relationshipSignals"), JSONValue::object(signalValues)},
      {QStringLiteral("phraseCandidates"), JSONValue::array(phrases)},
      {QStringLiteral("conflictCandidates"), JSONValue::array(conflicts)},
      {QStringLiteral("tone"),
       JSONValue::object({{QStringLiteral("positive"), number(static_cast<double>(positive))},
                          {QStringLiteral("negative"), number(static_cast<double>(negative))}})},
      {QStringLiteral("summary"), text(summary)},
  };
}

Object synthesize(const DevStep& step) {
  const AnalysisStepRequest& request = step.request;
  const ObjectReader payload(JSONValue::toJson(request.payload), QStringLiteral("payload"));
  const QString key = QStringLiteral("chunk_results");
  const QList<Object> chunkResults =
      Json::mapArray(payload.array(key), payload.pathOf(key), [](const QJsonValue& value, const QString& path) {
        return JSONValue::objectFromJson(Json::toObject(value, path));
      });

  QMap<QString, double> signalTotals;
  QMap<QString, std::set<qint64>> phrases;
  struct Conflict {
    qint64 start = 0, end = 0;
    QString startTimestamp, endTimestamp;
    QStringList markers;
    bool repaired = false;
  };
  QList<Conflict> conflicts;
  double positive = 0, negative = 0;
  qint64 lastIndex = 0;
  for (qsizetype chunk = 0; chunk < chunkResults.size(); ++chunk) {
    const Object& result = chunkResults[chunk];
    const QString at = payload.pathOf(key) + QStringLiteral("[%1]").arg(chunk);
    const Object chunkSignals = objectAt(result, QStringLiteral("relationshipSignals"));
    for (auto it = chunkSignals.cbegin(); it != chunkSignals.cend(); ++it)
      signalTotals[it.key()] += it.value().numberValue().value_or(0.0);
    for (const JSONValue& candidate : arrayAt(result, QStringLiteral("phraseCandidates"))) {
      const Object* object = candidate.objectValue();
      if (!object || stringAt(*object, QStringLiteral("phrase")).isEmpty()) continue;
      std::set<qint64>& indexes = phrases[stringAt(*object, QStringLiteral("phrase"))];
      for (const JSONValue& index : arrayAt(*object, QStringLiteral("messageIndexes")))
        if (const std::optional<double> value = index.numberValue())
          indexes.insert(wholeNumber(*value, at + QStringLiteral(".phraseCandidates.messageIndexes")));
    }
    for (const JSONValue& candidate : arrayAt(result, QStringLiteral("conflictCandidates"))) {
      const Object* object = candidate.objectValue();
      if (!object) continue;
      Conflict conflict;
      conflict.start = wholeNumber(numberAt(*object, QStringLiteral("startMessageIndex")),
                                   at + QStringLiteral(".conflictCandidates.startMessageIndex"));
      conflict.end = wholeNumber(numberAt(*object, QStringLiteral("endMessageIndex")),
                                 at + QStringLiteral(".conflictCandidates.endMessageIndex"));
      conflict.startTimestamp = stringAt(*object, QStringLiteral("startTimestamp"));
      conflict.endTimestamp = stringAt(*object, QStringLiteral("endTimestamp"));
      for (const JSONValue& marker : arrayAt(*object, QStringLiteral("markers")))
        if (marker.stringValue()) conflict.markers.append(*marker.stringValue());
      conflict.repaired = object->value(QStringLiteral("repaired")).boolValue().value_or(false);
      conflicts.append(conflict);
    }
    const Object tone = objectAt(result, QStringLiteral("tone"));
    positive += numberAt(tone, QStringLiteral("positive"));
    negative += numberAt(tone, QStringLiteral("negative"));
    requireFinite(positive + negative, at + QStringLiteral(".tone"));
    lastIndex = std::max(lastIndex, wholeNumber(numberAt(result, QStringLiteral("lastMessageIndex")),
                                                at + QStringLiteral(".lastMessageIndex")));
  }

  // Relationship: the category with the most signal messages (romantic, then
  // family, then close friend on a tie); casual when the signals are thin.
  double total = 0;
  for (const double value : signalTotals) total += value;
  requireFinite(total, payload.pathOf(key) + QStringLiteral(".relationshipSignals"));
  QString type = QStringLiteral("casual");
  double confidence = 0.55;
  double top = 0;
  for (const QString& category :
       {QStringLiteral("romantic"), QStringLiteral("family"), QStringLiteral("closeFriend")}) {
    if (signalTotals.value(category) > top) {
      top = signalTotals.value(category);
      type = category;
    }
  }
  if (total < 3) {
    type = QStringLiteral("casual");
  } else {
    confidence = std::round(std::min(0.95, 0.5 + 0.45 * top / total) * 100.0) / 100.0;
  }

  Object synthesis;
  synthesis.insert(QStringLiteral("relationshipType"), text(type));
  synthesis.insert(QStringLiteral("relationshipConfidence"), number(confidence));
  Object signalValues;
  for (auto it = signalTotals.cbegin(); it != signalTotals.cend(); ++it)
    signalValues.insert(it.key(), number(it.value()));
  synthesis.insert(QStringLiteral("relationshipSignals"), JSONValue::object(signalValues));

  // Signature phrase: the phrase found in the most messages.
  const QString* bestPhrase = nullptr;
  const std::set<qint64>* bestIndexes = nullptr;
  for (auto it = phrases.cbegin(); it != phrases.cend(); ++it) {
    const bool better = !bestPhrase || it.value().size() > bestIndexes->size() ||
                        (it.value().size() == bestIndexes->size() &&
                         it.key().count(QLatin1Char(' ')) > bestPhrase->count(QLatin1Char(' ')));
    if (better) {
      bestPhrase = &it.key();
      bestIndexes = &it.value();
    }
  }
  if (bestPhrase && bestIndexes->size() >= 2) {
    synthesis.insert(
        QStringLiteral("signaturePhrase"),
        JSONValue::object(
            {{QStringLiteral("phrase"), text(*bestPhrase)},
             {QStringLiteral("evidenceMessageIndexes"), JSONValue::array(indexArray(*bestIndexes))},
             {QStringLiteral("reason"),
              text(QStringLiteral("a line you two keep coming back to, %1 times so far").arg(bestIndexes->size()))}}));
  }

  // Conflict events: overlapping candidates (chunks overlap) become one.
  std::sort(conflicts.begin(), conflicts.end(), [](const Conflict& a, const Conflict& b) { return a.start < b.start; });
  QList<Conflict> merged;
  for (const Conflict& conflict : conflicts) {
    if (!merged.isEmpty() && conflict.start <= merged.last().end + kConflictGap) {
      Conflict& last = merged.last();
      if (conflict.end > last.end) {
        last.end = conflict.end;
        last.endTimestamp = conflict.endTimestamp;
      }
      for (const QString& marker : conflict.markers)
        if (!last.markers.contains(marker)) last.markers.append(marker);
      last.repaired = last.repaired || conflict.repaired;
    } else {
      merged.append(conflict);
    }
  }
  Array events;
  qint64 repairedCount = 0;
  for (const Conflict& conflict : merged) {
    if (conflict.repaired) ++repairedCount;
    events.append(JSONValue::object({
        {QStringLiteral("title"), text(conflict.end - conflict.start + 1 >= 8 ? QStringLiteral("heated exchange")
                                                                              : QStringLiteral("small disagreement"))},
        {QStringLiteral("coreIssue"), text(conflict.markers.value(0))},
        {QStringLiteral("repairStatus"),
         text(conflict.repaired ? QStringLiteral("repaired") : QStringLiteral("unresolved"))},
        {QStringLiteral("startMessageIndex"), number(static_cast<double>(conflict.start))},
        {QStringLiteral("endMessageIndex"), number(static_cast<double>(conflict.end))},
        {QStringLiteral("startTimestamp"), text(conflict.startTimestamp)},
        {QStringLiteral("endTimestamp"), text(conflict.endTimestamp)},
    }));
  }
  synthesis.insert(QStringLiteral("conflictEvents"), JSONValue::array(events));
  synthesis.insert(QStringLiteral("tone"), JSONValue::object({{QStringLiteral("positive"), number(positive)},
                                                              {QStringLiteral("negative"), number(negative)}}));
  synthesis.insert(QStringLiteral("messageCount"), number(static_cast<double>(lastIndex)));
  synthesis.insert(QStringLiteral("chunkCount"), number(static_cast<double>(chunkResults.size())));
  synthesis.insert(QStringLiteral("summary"),
                   text(QStringLiteral("%1 and %2 read as %3 (%4 sure) over %5, with %6, %7 of them repaired.")
                            .arg(request.participants.me, request.participants.them, type, percent(confidence),
                                 counted(static_cast<qsizetype>(lastIndex), "message", "messages"),
                                 counted(merged.size(), "tense stretch", "tense stretches"))
                            .arg(repairedCount)));
  return synthesis;
}

Object insightCopy(const DevStep& step) {
  const AnalysisStepRequest& request = step.request;
  const ObjectReader payload(JSONValue::toJson(request.payload), QStringLiteral("payload"));
  QList<StepMessage> read;
  const QList<StepMessage>& messages = step.messagesOf(payload, read);
  const Object synthesis = JSONValue::objectFromJson(payload.object(QStringLiteral("synthesis")).object());
  const Object metrics = JSONValue::objectFromJson(payload.object(QStringLiteral("client_metrics")).object());
  const HostedParticipants& names = request.participants;

  // Firsts: the signature phrase's debut as the headline, then the first time
  // each milestone was said (and the first photo).
  Object firsts;
  std::optional<qsizetype> debut;
  const Object signature = objectAt(synthesis, QStringLiteral("signaturePhrase"));
  const QString phrase = stringAt(signature, QStringLiteral("phrase"));
  if (!phrase.isEmpty()) {
    for (qsizetype i = 0; i < messages.size() && !debut; ++i)
      if (DevText::containsTerm(messages[i].padded, phrase)) debut = i;
  }
  if (debut) {
    const StepMessage& message = messages[*debut];
    firsts.insert(QStringLiteral("headline"),
                  JSONValue::object({{QStringLiteral("phrase"), text(phrase)},
                                     {QStringLiteral("timestamp"), text(message.timestamp)},
                                     {QStringLiteral("context"), text(DevText::excerpt(message.text, 100))},
                                     {QStringLiteral("messageIndex"), number(static_cast<double>(message.index))}}));
  }
  QList<QPair<const StepMessage*, QString>> milestones;
  for (const QString& milestone : kMilestones) {
    for (const StepMessage& message : messages) {
      if (DevText::containsTerm(message.padded, milestone)) {
        milestones.append({&message, milestone});
        break;
      }
    }
  }
  for (const StepMessage& message : messages) {
    if (message.hasPhoto) {
      milestones.append({&message, kFirstPhoto});
      break;
    }
  }
  std::stable_sort(milestones.begin(), milestones.end(),
                   [](const auto& a, const auto& b) { return a.first->index < b.first->index; });
  Array otherFirsts;
  for (qsizetype i = 0; i < std::min(milestones.size(), kMaxOtherFirsts); ++i) {
    otherFirsts.append(
        JSONValue::object({{QStringLiteral("phrase"), text(milestones[i].second)},
                           {QStringLiteral("timestamp"), text(milestones[i].first->timestamp)},
                           {QStringLiteral("messageIndex"), number(static_cast<double>(milestones[i].first->index))}}));
  }
  firsts.insert(QStringLiteral("otherFirsts"), JSONValue::array(otherFirsts));

  // The six sentences.
  const Object peak = objectAt(metrics, QStringLiteral("heatmapPeak"));
  const qint64 peakCount = wholeNumber(numberAt(peak, QStringLiteral("messageCount")),
                                       QStringLiteral("payload.client_metrics.heatmapPeak.messageCount"));
  const QString heatmap = peakCount > 0 ? QStringLiteral("%1s, %2, are your time: %3 messages landed in that window.")
                                              .arg(stringAt(peak, QStringLiteral("weekdayName")),
                                                   stringAt(peak, QStringLiteral("windowLabel")))
                                              .arg(peakCount)
                                        : QStringLiteral("No hour stands out: you two talk whenever it suits you.");

  QMap<int, qint64> byYear;  // UTC years of the messages sent
  for (const StepMessage& message : messages) ++byYear[message.date.toQDateTime().date().year()];
  QString yearShape;
  if (!byYear.isEmpty()) {
    auto busiest = byYear.cbegin();
    for (auto it = byYear.cbegin(); it != byYear.cend(); ++it)
      if (it.value() > busiest.value()) busiest = it;
    const int year = metrics.contains(QStringLiteral("peakYear"))
                         ? wholeYear(numberAt(metrics, QStringLiteral("peakYear")),
                                     QStringLiteral("payload.client_metrics.peakYear"))
                         : busiest.key();
    yearShape = byYear.size() == 1
                    ? QStringLiteral("Everything happened in %1: all %2 messages in one concentrated chapter.")
                          .arg(year)
                          .arg(messages.size())
                    : QStringLiteral("%1 was your busiest year, with %2 of your %3 messages.")
                          .arg(year)
                          .arg(byYear.value(year))
                          .arg(messages.size());
  }

  QString wordDebut;
  if (debut) {
    const StepMessage& said = messages[*debut];
    const StepMessage* reply = nullptr;
    for (qsizetype i = *debut + 1; i < messages.size() && i <= *debut + 20 && !reply; ++i)
      if (messages[i].sender != said.sender) reply = &messages[i];
    wordDebut =
        reply ? QStringLiteral("When %1 first said \"%2\" on %3, %4 answered within %5.")
                    .arg(said.sender, phrase, DevText::dayText(said.date), reply->sender,
                         DevText::duration(reply->date.secondsSince(said.date)))
              : QStringLiteral("\"%1\" first showed up on %2 and never left.").arg(phrase, DevText::dayText(said.date));
  }

  const Array events = arrayAt(synthesis, QStringLiteral("conflictEvents"));
  qsizetype repaired = 0;
  for (const JSONValue& event : events)
    if (event.objectValue() &&
        stringAt(*event.objectValue(), QStringLiteral("repairStatus")) == QLatin1String("repaired"))
      ++repaired;
  const QString argument =
      events.isEmpty() ? QStringLiteral("No real fights on record: %1 and %2 keep it calm.").arg(names.me, names.them)
                       : QStringLiteral("%1 tense %2 on record, and %3 of them ended with a repair.")
                             .arg(events.size())
                             .arg(events.size() == 1 ? QStringLiteral("moment") : QStringLiteral("moments"))
                             .arg(repaired);

  QString sentiment = QStringLiteral("Good moods were spread evenly across your time together.");
  const Object sunniest = objectAt(metrics, QStringLiteral("positiveSentimentPeak"));
  if (const std::optional<Date> month = HostedAnalysisTimestamp::parse(stringAt(sunniest, QStringLiteral("month")))) {
    // The month starts at local midnight; mid-month names it in any zone.
    sentiment =
        QStringLiteral("%1 was your sunniest month.").arg(DevText::monthText(month->addingSeconds(14 * 86400.0)));
  }

  QString responseShift;
  QList<QPair<qint64, double>> replies;  // year -> their median reply time
  for (const JSONValue& year : arrayAt(metrics, QStringLiteral("responseTimeByYear"))) {
    if (const Object* object = year.objectValue(); object && numberAt(*object, QStringLiteral("them")) > 0)
      replies.append({wholeNumber(numberAt(*object, QStringLiteral("year")),
                                  QStringLiteral("payload.client_metrics.responseTimeByYear.year")),
                      numberAt(*object, QStringLiteral("them"))});
  }
  if (replies.size() >= 2) {
    responseShift = QStringLiteral("%1's replies went from %2 in %3 to %4 in %5.")
                        .arg(names.them, DevText::duration(replies.first().second))
                        .arg(replies.first().first)
                        .arg(DevText::duration(replies.last().second))
                        .arg(replies.last().first);
  } else if (replies.size() == 1) {
    responseShift =
        QStringLiteral("%1 usually answers within %2.").arg(names.them, DevText::duration(replies.first().second));
  }

  return {
      {QStringLiteral("heatmapPeakInsight"), text(heatmap)},
      {QStringLiteral("yearShapeInsight"), text(yearShape)},
      {QStringLiteral("wordDebutResponseInsight"), text(wordDebut)},
      {QStringLiteral("argumentInsight"), text(argument)},
      {QStringLiteral("positiveSentimentPeakInsight"), text(sentiment)},
      {QStringLiteral("responseTimeShiftInsight"), text(responseShift)},
      {QStringLiteral("firstsSelection"), JSONValue::object(firsts)},
  };
}

}  // namespace murmela::devbackend::DevAnalysis
