#include "support/BackendTestSupport.h"
#include "data/ReportJson.h"
#include "hosted/HostedChatMessage.h"
#include "hosted/HostedResultMerge.h"
#include "support/ReportSamples.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

JSONValue parseValue(const QByteArray& text) {
  const QJsonDocument document = QJsonDocument::fromJson("[" + text + "]");
  if (!document.isArray()) qFatal("bad JSON in a test row: %s", text.constData());
  return JSONValue::fromJson(document.array().at(0));
}

JSONValue::Object synthesisWith(const QString& key, const QByteArray& value) { return {{key, parseValue(value)}}; }

WrappedReport merged(const WrappedReport& local, JSONValue::Object synthesis,
                     std::optional<JSONValue> firstsSelection = std::nullopt,
                     std::optional<ReportInsightCopy> insightCopy = std::nullopt) {
  return applyingHostedAnalysis(local, {std::move(synthesis), std::move(insightCopy), std::move(firstsSelection)});
}

Date stamp(const char* text) { return *HostedAnalysisTimestamp::parse(QString::fromLatin1(text)); }

QString encoded(const WrappedReport& report) { return QString::fromUtf8(ReportJson::encode(report)); }

// One conflict event as a line, for table comparisons.
QString describe(const ArgumentEvent& event) {
  return QStringLiteral("%1 count=%2 terms=[%3] endedByMe=%4 lastSenderWasMe=%5")
      .arg(HostedAnalysisTimestamp::format(event.date))
      .arg(event.messageCount)
      .arg(event.triggerTerms.join(QLatin1Char('|')))
      .arg(event.endedByMe ? "true" : "false")
      .arg(event.lastSenderWasMe ? "true" : "false");
}

QStringList describe(const QList<ArgumentEvent>& events) {
  QStringList lines;
  for (const ArgumentEvent& event : events) lines.append(describe(event));
  return lines;
}

// The full sample report's first message is 2023-01-01T00:00:00Z.
const QString kFirst = QStringLiteral("2023-01-01T00:00:00Z");

}  // namespace

class HostedResultMergeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void emptyResultLeavesTheReportAsItWas() {
    for (const WrappedReport& local : {fullReport(), minimalReport()})
      QCOMPARE(encoded(merged(local, {})), encoded(local));
  }

  void relationshipTypeAndConfidence_data() {
    QTest::addColumn<QByteArray>("synthesis");
    QTest::addColumn<QString>("type");
    QTest::addColumn<double>("confidence");
    // The local report is romantic at 0.85.
    QTest::newRow("known type") << QByteArray(R"({"relationshipType":"family"})") << "family" << 0.85;
    QTest::newRow("camel case raw value")
        << QByteArray(R"({"relationshipType":"closeFriend"})") << "closeFriend" << 0.85;
    QTest::newRow("capitalised") << QByteArray(R"({"relationshipType":"Family"})") << "romantic" << 0.85;
    QTest::newRow("snake case") << QByteArray(R"({"relationshipType":"close_friend"})") << "romantic" << 0.85;
    QTest::newRow("unknown") << QByteArray(R"({"relationshipType":"friend"})") << "romantic" << 0.85;
    QTest::newRow("type as number") << QByteArray(R"({"relationshipType":2})") << "romantic" << 0.85;
    QTest::newRow("above one, unclamped") << QByteArray(R"({"relationshipConfidence":1.7})") << "romantic" << 1.7;
    QTest::newRow("negative, unclamped") << QByteArray(R"({"relationshipConfidence":-0.25})") << "romantic" << -0.25;
    QTest::newRow("confidence as string") << QByteArray(R"({"relationshipConfidence":"0.9"})") << "romantic" << 0.85;
    QTest::newRow("confidence null") << QByteArray(R"({"relationshipConfidence":null})") << "romantic" << 0.85;
    QTest::newRow("each on its own") << QByteArray(R"({"relationshipType":"Casual","relationshipConfidence":0.4})")
                                     << "romantic" << 0.4;
  }
  void relationshipTypeAndConfidence() {
    QFETCH(QByteArray, synthesis);
    QFETCH(QString, type);
    QFETCH(double, confidence);
    const WrappedReport report = merged(fullReport(), *parseValue(synthesis).objectValue());
    QCOMPARE(rawValue(report.relationshipType), type);
    QCOMPARE(report.relationshipConfidence, confidence);
  }

  void signaturePhrase_data() {
    QTest::addColumn<bool>("localHasPhrase");
    QTest::addColumn<QByteArray>("hosted");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("flavorLine");
    // The full report's own phrase: "love you", 17, "Said like a promise.".
    QTest::newRow("complete") << true
                              << QByteArray(
                                     R"({"phrase":"on my way","evidenceMessageIndexes":[4,9],"reason":"Always late."})")
                              << true << "on my way" << qint64(2) << "Always late.";
    QTest::newRow("padded phrase keeps its spaces") << true << QByteArray(R"({"phrase":"  on my way "})") << true
                                                    << "  on my way " << qint64(17) << "Said like a promise.";
    QTest::newRow("blank phrase") << true << QByteArray(R"({"phrase":" \n\t ","reason":"x"})") << true << "love you"
                                  << qint64(17) << "Said like a promise.";
    QTest::newRow("empty phrase") << true << QByteArray(R"({"phrase":""})") << true << "love you" << qint64(17)
                                  << "Said like a promise.";
    QTest::newRow("phrase as number") << true << QByteArray(R"({"phrase":5})") << true << "love you" << qint64(17)
                                      << "Said like a promise.";
    QTest::newRow("not an object") << true << QByteArray(R"("on my way")") << true << "love you" << qint64(17)
                                   << "Said like a promise.";
    QTest::newRow("evidence elements not inspected")
        << true << QByteArray(R"({"phrase":"x","evidenceMessageIndexes":[1,"a",null],"reason":""})") << true << "x"
        << qint64(3) << "";
    QTest::newRow("evidence not an array") << true << QByteArray(R"({"phrase":"x","evidenceMessageIndexes":5})") << true
                                           << "x" << qint64(17) << "Said like a promise.";
    QTest::newRow("reason not a string") << true << QByteArray(R"({"phrase":"x","reason":3})") << true << "x"
                                         << qint64(17) << "Said like a promise.";
    QTest::newRow("defaults without a local phrase") << false << QByteArray(R"({"phrase":"x"})") << true << "x"
                                                     << qint64(0) << "a recurring bit of private language";
    QTest::newRow("blank stays absent") << false << QByteArray(R"({"phrase":"   "})") << false << "" << qint64(0) << "";
  }
  void signaturePhrase() {
    QFETCH(bool, localHasPhrase);
    QFETCH(QByteArray, hosted);
    QFETCH(bool, present);
    WrappedReport local = fullReport();
    if (!localHasPhrase) local.signaturePhrase.reset();
    const WrappedReport report = merged(local, synthesisWith("signaturePhrase", hosted));
    QCOMPARE(report.signaturePhrase.has_value(), present);
    if (!present) return;
    QTEST(report.signaturePhrase->phrase, "phrase");
    QTEST(report.signaturePhrase->count, "count");
    QTEST(report.signaturePhrase->flavorLine, "flavorLine");
  }

  void conflictEvents_data() {
    QTest::addColumn<QByteArray>("conflictEvents");
    QTest::addColumn<QStringList>("events");
    const QStringList local = {
        "2023-05-25T07:33:20Z count=14 terms=[whatever|fine] endedByMe=true lastSenderWasMe=false"};
    auto event = [](const QString& date, int count, const QString& terms, bool endedByMe = false) {
      return QStringLiteral("%1 count=%2 terms=[%3] endedByMe=%4 lastSenderWasMe=false")
          .arg(date)
          .arg(count)
          .arg(terms)
          .arg(endedByMe ? "true" : "false");
    };

    QTest::newRow("empty array keeps local") << QByteArray("[]") << local;
    QTest::newRow("no objects keeps local") << QByteArray(R"([1,"x",null,[]])") << local;
    QTest::newRow("not an array keeps local") << QByteArray(R"({"title":"x"})") << local;
    QTest::newRow("empty object") << QByteArray("[{}]") << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("objects among others, in order") << QByteArray(R"([1,{"title":"a"},"x",{"title":"b"}])")
                                                    << QStringList{event(kFirst, 1, "a"), event(kFirst, 1, "b")};

    QTest::newRow("end before start") << QByteArray(R"([{"startMessageIndex":10,"endMessageIndex":4}])")
                                      << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("three to seven") << QByteArray(R"([{"startMessageIndex":3,"endMessageIndex":7}])")
                                    << QStringList{event(kFirst, 5, "conflict")};
    QTest::newRow("start only, fraction")
        << QByteArray(R"([{"startMessageIndex":12.9}])") << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("fractions toward zero") << QByteArray(R"([{"startMessageIndex":-2.7,"endMessageIndex":3.9}])")
                                           << QStringList{event(kFirst, 6, "conflict")};
    QTest::newRow("end only counts from zero")
        << QByteArray(R"([{"endMessageIndex":4}])") << QStringList{event(kFirst, 5, "conflict")};
    QTest::newRow("index as string is absent") << QByteArray(R"([{"startMessageIndex":"3","endMessageIndex":7}])")
                                               << QStringList{event(kFirst, 8, "conflict")};
    QTest::newRow("index beyond 64 bits is absent")
        << QByteArray(R"([{"startMessageIndex":1e300,"endMessageIndex":2}])")
        << QStringList{event(kFirst, 3, "conflict")};
    QTest::newRow("overflowing difference") << QByteArray(R"([{"startMessageIndex":-9.2e18,"endMessageIndex":9.2e18}])")
                                            << QStringList{event(kFirst, 1, "conflict")};

    QTest::newRow("repaired in mixed case")
        << QByteArray(R"([{"repairStatus":"RePaIrEd"}])") << QStringList{event(kFirst, 1, "conflict", true)};
    QTest::newRow("partially repaired") << QByteArray(R"([{"repairStatus":"partially repaired"}])")
                                        << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("unrepaired") << QByteArray(R"([{"repairStatus":"unrepaired"}])")
                                << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("repair status not a string")
        << QByteArray(R"([{"repairStatus":true}])") << QStringList{event(kFirst, 1, "conflict")};

    QTest::newRow("title and core issue")
        << QByteArray(R"([{"title":"dishes","coreIssue":"chores"}])") << QStringList{event(kFirst, 1, "dishes|chores")};
    QTest::newRow("empty title left out")
        << QByteArray(R"([{"title":"","coreIssue":"money"}])") << QStringList{event(kFirst, 1, "money")};
    QTest::newRow("empty core issue left out")
        << QByteArray(R"([{"title":"dishes","coreIssue":""}])") << QStringList{event(kFirst, 1, "dishes")};
    QTest::newRow("title missing") << QByteArray(R"([{"coreIssue":"money"}])")
                                   << QStringList{event(kFirst, 1, "conflict|money")};
    QTest::newRow("title not a string") << QByteArray(R"([{"title":5,"coreIssue":6}])")
                                        << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("both empty") << QByteArray(R"([{"title":"","coreIssue":""}])") << QStringList{event(kFirst, 1, "")};

    QTest::newRow("start time stamp") << QByteArray(R"([{"startTimestamp":"2023-03-05T14:22:10Z"}])")
                                      << QStringList{event("2023-03-05T14:22:10Z", 1, "conflict")};
    QTest::newRow("start time stamp with offset") << QByteArray(R"([{"startTimestamp":"2023-03-05T14:22:10+02:00"}])")
                                                  << QStringList{event("2023-03-05T12:22:10Z", 1, "conflict")};
    QTest::newRow("end time stamp when no start") << QByteArray(R"([{"endTimestamp":"2023-03-06T01:00:00Z"}])")
                                                  << QStringList{event("2023-03-06T01:00:00Z", 1, "conflict")};
    QTest::newRow("start not a string falls to end")
        << QByteArray(R"([{"startTimestamp":5,"endTimestamp":"2023-03-06T01:00:00Z"}])")
        << QStringList{event("2023-03-06T01:00:00Z", 1, "conflict")};
    QTest::newRow("start with fractions does not fall to end")
        << QByteArray(R"([{"startTimestamp":"2023-03-05T14:22:10.5Z","endTimestamp":"2023-03-06T01:00:00Z"}])")
        << QStringList{event(kFirst, 1, "conflict")};
    QTest::newRow("start without zone") << QByteArray(R"([{"startTimestamp":"2023-03-05T14:22:10"}])")
                                        << QStringList{event(kFirst, 1, "conflict")};
  }
  void conflictEvents() {
    QFETCH(QByteArray, conflictEvents);
    QFETCH(QStringList, events);
    const WrappedReport report = merged(fullReport(), synthesisWith("conflictEvents", conflictEvents));
    QCOMPARE(describe(report.argumentEvents), events);
  }

  void firsts_data() {
    QTest::addColumn<QByteArray>("selection");  // empty: no selection
    QTest::addColumn<QString>("headline");      // "term @ date: context"
    QTest::addColumn<QStringList>("others");    // "phrase @ date"
    // The full report's own firsts.
    const QString localHeadline = "babe @ 2023-01-06T10:13:20Z: (a Friday. 5:13 AM. 5 days in.)";
    const QStringList localOthers = {"miss you @ 2023-01-18T00:00:00Z"};
    const QStringList hostedOthers = {"coffee date @ 2023-02-01T18:00:00Z"};
    const QByteArray validOthers = R"("otherFirsts":[{"phrase":" coffee date ","timestamp":"2023-02-01T18:00:00Z"}])";

    QTest::newRow("no selection") << QByteArray() << localHeadline << localOthers;
    QTest::newRow("selection not an object") << QByteArray(R"([{"phrase":"x"}])") << localHeadline << localOthers;
    QTest::newRow("both replaced")
        << (R"({"headline":{"phrase":" sunflower ","timestamp":"2023-02-07T02:41:00Z","context":"  at the market "},)" +
            validOthers + "}")
        << "sunflower @ 2023-02-07T02:41:00Z: at the market" << hostedOthers;
    QTest::newRow("headline time stamp with fractions, others replaced")
        << (R"({"headline":{"phrase":"sunflower","timestamp":"2023-02-07T02:41:00.250Z"},)" + validOthers + "}")
        << localHeadline << hostedOthers;
    QTest::newRow("headline replaced, others empty")
        << QByteArray(
               R"({"headline":{"phrase":"sunflower","timestamp":"2023-02-07T02:41:00Z","context":"x"},"otherFirsts":[]})")
        << "sunflower @ 2023-02-07T02:41:00Z: x" << localOthers;
    QTest::newRow("blank headline phrase")
        << QByteArray(R"({"headline":{"phrase":"  ","timestamp":"2023-02-07T02:41:00Z"}})") << localHeadline
        << localOthers;
    QTest::newRow("headline without time stamp")
        << QByteArray(R"({"headline":{"phrase":"sunflower"}})") << localHeadline << localOthers;
    QTest::newRow("headline not an object")
        << QByteArray(R"({"headline":"sunflower"})") << localHeadline << localOthers;
    QTest::newRow("blank context is generated")
        << QByteArray(R"({"headline":{"phrase":"sunflower","timestamp":"2023-02-07T02:41:00Z","context":" \n "}})")
        << "sunflower @ 2023-02-07T02:41:00Z: (a monday. 9:41 PM. 37 days in.)" << localOthers;
    QTest::newRow("context not a string is generated")
        << QByteArray(R"({"headline":{"phrase":"sunflower","timestamp":"2023-02-07T02:41:00Z","context":4}})")
        << "sunflower @ 2023-02-07T02:41:00Z: (a monday. 9:41 PM. 37 days in.)" << localOthers;
    QTest::newRow("other firsts skip unusable elements")
        << QByteArray(R"({"otherFirsts":[3,{"phrase":"  ","timestamp":"2023-02-01T18:00:00Z"},
             {"phrase":"a","timestamp":"2023-02-01T18:00:00.1Z"},{"phrase":"b"},{"phrase":"c","timestamp":"2023-02-02T18:00:00Z"},
             {"phrase":"d","timestamp":"2023-02-03T18:00:00Z"}]})")
        << localHeadline << QStringList{"c @ 2023-02-02T18:00:00Z", "d @ 2023-02-03T18:00:00Z"};
    QTest::newRow("other firsts not an array")
        << QByteArray(R"({"otherFirsts":{"phrase":"c"}})") << localHeadline << localOthers;
  }
  void firsts() {
    QFETCH(QByteArray, selection);
    const std::optional<JSONValue> firstsSelection =
        selection.isEmpty() ? std::nullopt : std::optional<JSONValue>(parseValue(selection));
    const WrappedReport report = merged(fullReport(), {}, firstsSelection);
    QVERIFY(report.firstDistinctiveTerm);
    const FirstDistinctiveTerm& first = *report.firstDistinctiveTerm;
    QTEST(first.term + " @ " + HostedAnalysisTimestamp::format(first.date) + ": " + first.context, "headline");
    QStringList others;
    for (const MeaningfulFirst& first : report.otherFirsts)
      others.append(first.phrase + " @ " + HostedAnalysisTimestamp::format(first.date));
    QTEST(others, "others");
  }

  void generatedContextText_data() {
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("text");
    // The first message is 2022-12-31 19:00 in New York.
    QTest::newRow("later time of day") << "2023-02-07T02:41:00Z"
                                       << "(a monday. 9:41 PM. 37 days in.)";
    QTest::newRow("same time of day") << "2023-02-07T00:00:00Z"
                                      << "(a monday. 7:00 PM. 37 days in.)";
    QTest::newRow("earlier time of day") << "2023-02-06T23:00:00Z"
                                         << "(a monday. 6:00 PM. 36 days in.)";
    QTest::newRow("across the spring change") << "2023-03-19T23:30:00Z"
                                              << "(a sunday. 7:30 PM. 78 days in.)";
    QTest::newRow("first message itself") << kFirst << "(a saturday. 7:00 PM. 0 days in.)";
    QTest::newRow("before the first message") << "2022-12-01T12:00:00Z"
                                              << "(a thursday. 7:00 AM. 0 days in.)";
  }
  void generatedContextText() {
    QFETCH(QString, date);
    QTEST(hostedFirstContext(fullReport(), stamp(date.toLatin1().constData())), "text");
  }

  void insightCopyIsTakenWhenPresent() {
    const ReportInsightCopy hosted{"a", "b", "", "d", "e", "f"};
    QCOMPARE(merged(fullReport(), {}, std::nullopt, hosted).insightCopy->wordDebutResponseInsight, QString(""));
    QCOMPARE(merged(fullReport(), {}, std::nullopt, hosted).insightCopy->heatmapPeakInsight, QString("a"));
    QCOMPARE(merged(fullReport(), {}).insightCopy->heatmapPeakInsight, fullReport().insightCopy->heatmapPeakInsight);
    QVERIFY(!merged(minimalReport(), {}).insightCopy);
  }

  void everyOtherFieldStaysLocal() {
    const JSONValue::Object synthesis = *parseValue(R"({
      "relationshipType":"family","relationshipConfidence":0.5,"summary":"ignored","closerParagraph":"ignored",
      "signaturePhrase":{"phrase":"x","evidenceMessageIndexes":[1],"reason":"r"},
      "conflictEvents":[{"title":"t","startTimestamp":"2023-03-05T14:22:10Z"}]})")
                                             .objectValue();
    const JSONValue selection =
        parseValue(R"({"headline":{"phrase":"h","timestamp":"2023-02-07T02:41:00Z","context":"c"},
      "otherFirsts":[{"phrase":"o","timestamp":"2023-02-01T18:00:00Z"}]})");
    const WrappedReport local = fullReport();
    WrappedReport report = merged(local, synthesis, selection, ReportInsightCopy{"1", "2", "3", "4", "5", "6"});
    QCOMPARE(rawValue(report.relationshipType), QString("family"));
    QCOMPARE(report.argumentEvents.size(), 1);
    QCOMPARE(report.otherFirsts.size(), 1);
    // Put the seven back: what is left must be the local report.
    report.relationshipType = local.relationshipType;
    report.relationshipConfidence = local.relationshipConfidence;
    report.signaturePhrase = local.signaturePhrase;
    report.argumentEvents = local.argumentEvents;
    report.firstDistinctiveTerm = local.firstDistinctiveTerm;
    report.otherFirsts = local.otherFirsts;
    report.insightCopy = local.insightCopy;
    QCOMPARE(encoded(report), encoded(local));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(HostedResultMergeTest)
#include "HostedResultMergeTest.moc"
