#include "data/ReportJson.h"

#include "common/Iso8601.h"

#include <QJsonArray>
#include <QRegularExpression>

namespace murmela::ReportJson {
namespace {

using Json::ObjectReader;

QJsonValue date(Date value) { return Iso8601::format(value); }

QJsonObject personInt(const PersonIntBreakdown& value) { return {{"me", value.me}, {"them", value.them}}; }
QJsonObject personDouble(const PersonDoubleBreakdown& value) { return {{"me", value.me}, {"them", value.them}}; }

QJsonArray phraseStats(const QList<PhraseStat>& stats) {
  QJsonArray array;
  for (const PhraseStat& stat : stats) array.append(QJsonObject{{"phrase", stat.phrase}, {"count", stat.count}});
  return array;
}

QJsonObject personPhrases(const PersonPhraseBreakdown& value) {
  return {{"me", phraseStats(value.me)}, {"them", phraseStats(value.them)}};
}

template <typename T, typename F>
QJsonArray arrayOf(const QList<T>& list, F&& convert) {
  QJsonArray array;
  for (const T& element : list) array.append(convert(element));
  return array;
}

// Reading helpers for the nested records.

template <typename F>
auto objects(const QJsonArray& array, const QString& path, F&& decode) {
  return Json::mapArray(array, path, [&](const QJsonValue& value, const QString& at) {
    return decode(ObjectReader(Json::toObject(value, at), at));
  });
}

PersonIntBreakdown readPersonInt(const ObjectReader& r) { return {r.integer("me"), r.integer("them")}; }
PersonDoubleBreakdown readPersonDouble(const ObjectReader& r) { return {r.number("me"), r.number("them")}; }

PhraseStat readPhraseStat(const ObjectReader& r) { return {r.string("phrase"), r.integer("count")}; }

PersonPhraseBreakdown readPersonPhrases(const ObjectReader& r) {
  return {objects(r.array("me"), r.pathOf("me"), readPhraseStat),
          objects(r.array("them"), r.pathOf("them"), readPhraseStat)};
}

}  // namespace

QJsonObject toJson(const ReportInsightCopy& copy) {
  return {{"heatmapPeakInsight", copy.heatmapPeakInsight},
          {"yearShapeInsight", copy.yearShapeInsight},
          {"wordDebutResponseInsight", copy.wordDebutResponseInsight},
          {"argumentInsight", copy.argumentInsight},
          {"positiveSentimentPeakInsight", copy.positiveSentimentPeakInsight},
          {"responseTimeShiftInsight", copy.responseTimeShiftInsight}};
}

QJsonObject toJson(const WrappedReport& report) {
  QJsonObject o;
  o.insert("participantNames", QJsonObject{{"me", report.participantNames.me}, {"them", report.participantNames.them}});
  o.insert("relationshipType", rawValue(report.relationshipType));
  o.insert("relationshipConfidence", report.relationshipConfidence);
  o.insert("totalMessages", report.totalMessages);
  o.insert("totalDays", report.totalDays);
  o.insert("activeDays", report.activeDays);
  o.insert("firstMessageDate", date(report.firstMessageDate));
  o.insert("lastMessageDate", date(report.lastMessageDate));

  QJsonObject byYear;
  for (auto it = report.messagesByYear.cbegin(); it != report.messagesByYear.cend(); ++it)
    byYear.insert(QString::number(it.key()), it.value());
  o.insert("messagesByYear", byYear);

  QJsonArray heatmap;
  for (const QList<qint64>& row : report.messagesByHourByDayOfWeek)
    heatmap.append(arrayOf(row, [](qint64 count) { return QJsonValue(count); }));
  o.insert("messagesByHourByDayOfWeek", heatmap);

  o.insert("topEmojis", arrayOf(report.topEmojis, [](const CountedString& e) {
             return QJsonObject{{"value", e.value}, {"count", e.count}};
           }));
  o.insert("totalEmojiCount", report.totalEmojiCount);
  if (report.signaturePhrase) {
    const SignaturePhrase& s = *report.signaturePhrase;
    o.insert("signaturePhrase", QJsonObject{{"phrase", s.phrase}, {"count", s.count}, {"flavorLine", s.flavorLine}});
  }
  o.insert("messagesPerPerson", personInt(report.messagesPerPerson));
  o.insert("photosShared", report.photosShared);
  o.insert("topPhrasesPerPerson", personPhrases(report.topPhrasesPerPerson));
  o.insert("dialectTermsPerPerson", personPhrases(report.dialectTermsPerPerson));
  if (report.firstDistinctiveTerm) {
    const FirstDistinctiveTerm& f = *report.firstDistinctiveTerm;
    o.insert("firstDistinctiveTerm", QJsonObject{{"term", f.term}, {"date", date(f.date)}, {"context", f.context}});
  }
  o.insert("otherFirsts", arrayOf(report.otherFirsts, [](const MeaningfulFirst& f) {
             return QJsonObject{{"phrase", f.phrase}, {"date", date(f.date)}};
           }));
  o.insert("apologyCount", personInt(report.apologyCount));
  o.insert("initiationRate", personDouble(report.initiationRate));
  o.insert("initiationCount", personInt(report.initiationCount));
  o.insert("responseTimeByYear", arrayOf(report.responseTimeByYear, [](const YearlyResponseTime& y) {
             return QJsonObject{{"year", y.year}, {"me", y.me}, {"them", y.them}};
           }));
  if (report.longestReplyGap) {
    const ReplyGap& g = *report.longestReplyGap;
    o.insert("longestReplyGap", QJsonObject{{"responderWasMe", g.responderWasMe},
                                            {"interval", g.interval},
                                            {"previousMessageDate", date(g.previousMessageDate)},
                                            {"replyDate", date(g.replyDate)}});
  }
  o.insert("longestStreak",
           QJsonObject{{"days", report.longestStreak.days}, {"endDate", date(report.longestStreak.endDate)}});
  o.insert("longestSilence",
           QJsonObject{{"days", report.longestSilence.days}, {"startDate", date(report.longestSilence.startDate)}});
  o.insert("sentimentByMonth", arrayOf(report.sentimentByMonth, [](const MonthlySentiment& m) {
             return QJsonObject{{"month", date(m.month)}, {"score", m.score}};
           }));
  o.insert("argumentEvents", arrayOf(report.argumentEvents, [](const ArgumentEvent& a) {
             return QJsonObject{{"date", date(a.date)},
                                {"messageCount", a.messageCount},
                                {"lastSenderWasMe", a.lastSenderWasMe},
                                {"triggerTerms", QJsonArray::fromStringList(a.triggerTerms)},
                                {"endedByMe", a.endedByMe}};
           }));
  if (report.insightCopy) o.insert("insightCopy", toJson(*report.insightCopy));
  o.insert("closerParagraph", report.closerParagraph);
  return o;
}

QByteArray encode(const WrappedReport& report, Json::Layout layout) { return Json::write(toJson(report), layout); }

ReportInsightCopy insightCopyFromJson(const ObjectReader& r) {
  return {r.string("heatmapPeakInsight"),           r.string("yearShapeInsight"),
          r.string("wordDebutResponseInsight"),     r.string("argumentInsight"),
          r.string("positiveSentimentPeakInsight"), r.string("responseTimeShiftInsight")};
}

WrappedReport fromJson(const QJsonObject& object) {
  const ObjectReader r(object, QStringLiteral("report"));
  WrappedReport report;

  const ObjectReader names = r.object("participantNames");
  report.participantNames = {names.string("me"), names.string("them")};

  const QString type = r.string("relationshipType");
  const std::optional<RelationshipType> parsedType = relationshipTypeFromRawValue(type);
  if (!parsedType)
    throw Json::DecodingError(r.pathOf("relationshipType"),
                              QStringLiteral("unknown relationship type \"%1\"").arg(type));
  report.relationshipType = *parsedType;
  report.relationshipConfidence = r.number("relationshipConfidence");
  report.totalMessages = r.integer("totalMessages");
  report.totalDays = r.integer("totalDays");
  report.activeDays = r.integer("activeDays");
  report.firstMessageDate = r.date("firstMessageDate");
  report.lastMessageDate = r.date("lastMessageDate");

  const ObjectReader byYear = r.object("messagesByYear");
  for (auto it = byYear.object().begin(); it != byYear.object().end(); ++it) {
    // Anchored at the true end ("$" would let "2025\n" through), and the
    // number read only from what matched.
    static const QRegularExpression digits(QRegularExpression::anchoredPattern(QStringLiteral("-?[0-9]+")));
    bool ok = false;
    const qint64 year = digits.match(it.key()).hasMatch() ? it.key().toLongLong(&ok) : 0;
    if (!ok) throw Json::DecodingError(byYear.pathOf(it.key()), QStringLiteral("year member is not a decimal integer"));
    // "2025" and "02025" name one year: keeping either would drop a count.
    if (report.messagesByYear.contains(year))
      throw Json::DecodingError(byYear.pathOf(it.key()), QStringLiteral("the year %1 is named twice").arg(year));
    report.messagesByYear.insert(year, Json::toInteger(it.value(), byYear.pathOf(it.key())));
  }

  report.messagesByHourByDayOfWeek =
      Json::mapArray(r.array("messagesByHourByDayOfWeek"), r.pathOf("messagesByHourByDayOfWeek"),
                     [](const QJsonValue& row, const QString& at) {
                       return Json::mapArray(Json::toArray(row, at), at, Json::toInteger);
                     });
  report.topEmojis = objects(r.array("topEmojis"), r.pathOf("topEmojis"), [](const ObjectReader& e) {
    return CountedString{e.string("value"), e.integer("count")};
  });
  report.totalEmojiCount = r.integer("totalEmojiCount");
  if (const auto s = r.optionalObject("signaturePhrase"))
    report.signaturePhrase = SignaturePhrase{s->string("phrase"), s->integer("count"), s->string("flavorLine")};
  report.messagesPerPerson = readPersonInt(r.object("messagesPerPerson"));
  report.photosShared = r.integer("photosShared");
  report.topPhrasesPerPerson = readPersonPhrases(r.object("topPhrasesPerPerson"));
  report.dialectTermsPerPerson = readPersonPhrases(r.object("dialectTermsPerPerson"));
  if (const auto f = r.optionalObject("firstDistinctiveTerm"))
    report.firstDistinctiveTerm = FirstDistinctiveTerm{f->string("term"), f->date("date"), f->string("context")};
  report.otherFirsts = objects(r.array("otherFirsts"), r.pathOf("otherFirsts"), [](const ObjectReader& f) {
    return MeaningfulFirst{f.string("phrase"), f.date("date")};
  });
  report.apologyCount = readPersonInt(r.object("apologyCount"));
  report.initiationRate = readPersonDouble(r.object("initiationRate"));
  report.initiationCount = readPersonInt(r.object("initiationCount"));
  report.responseTimeByYear =
      objects(r.array("responseTimeByYear"), r.pathOf("responseTimeByYear"), [](const ObjectReader& y) {
        return YearlyResponseTime{y.integer("year"), y.number("me"), y.number("them")};
      });
  if (const auto g = r.optionalObject("longestReplyGap"))
    report.longestReplyGap = ReplyGap{g->boolean("responderWasMe"), g->number("interval"),
                                      g->date("previousMessageDate"), g->date("replyDate")};
  const ObjectReader streak = r.object("longestStreak");
  report.longestStreak = {streak.integer("days"), streak.date("endDate")};
  const ObjectReader silence = r.object("longestSilence");
  report.longestSilence = {silence.integer("days"), silence.date("startDate")};
  report.sentimentByMonth =
      objects(r.array("sentimentByMonth"), r.pathOf("sentimentByMonth"), [](const ObjectReader& m) {
        return MonthlySentiment{m.date("month"), m.number("score")};
      });
  report.argumentEvents = objects(r.array("argumentEvents"), r.pathOf("argumentEvents"), [](const ObjectReader& a) {
    ArgumentEvent event;
    event.date = a.date("date");
    event.messageCount = a.integer("messageCount");
    event.lastSenderWasMe = a.boolean("lastSenderWasMe");
    event.triggerTerms = Json::mapArray(a.array("triggerTerms"), a.pathOf("triggerTerms"), Json::toString);
    event.endedByMe = a.boolean("endedByMe");
    return event;
  });
  if (const auto c = r.optionalObject("insightCopy")) report.insightCopy = insightCopyFromJson(*c);
  report.closerParagraph = r.string("closerParagraph");
  return report;
}

WrappedReport decode(const QByteArray& bytes) { return fromJson(Json::parseObject(bytes, QStringLiteral("report"))); }

}  // namespace murmela::ReportJson
