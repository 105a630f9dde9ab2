#include "AnalysisFixtures.h"
#include "analysis/RelationshipClassifier.h"
#include "common/AnalysisLogger.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// `total` messages: the given texts first, then neutral ones ("sounds good"
// holds no term of any list).
MessageList sampleOf(qsizetype total, const QList<std::pair<QString, qsizetype>>& texts) {
  MessageList messages;
  for (const auto& [text, count] : texts) messages += repeated(text, count);
  while (messages.size() < total) messages.append(message("sounds good", Date(double(messages.size()))));
  return messages;
}

// The classifier's lines of the analysis log, without time stamps.
QStringList classifierLines() {
  QStringList lines;
  for (const QString& line : AnalysisLogger::shared().lines()) {
    const qsizetype at = line.indexOf(QStringLiteral("] Heuristic relationship classifier: "));
    if (at >= 0) lines.append(line.mid(at + 2));
  }
  return lines;
}

}  // namespace

class RelationshipClassifierTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { AnalysisLogger::shared().clearLines(); }

  void classification_data() {
    QTest::addColumn<MessageList>("messages");
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<double>("confidence");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("empty") << MessageList{} << RelationshipType::casual << 0.4
                           << "Heuristic relationship classifier: no messages; type=casual";
    QTest::newRow("ten messages, no term") << sampleOf(10, {}) << RelationshipType::casual << 0.45
                                           << "Heuristic relationship classifier: no strong signals; type=casual";
    // (30 + 40) / 208 is limited up to 0.55.
    QTest::newRow("40/10/0 in 200") << sampleOf(200, {{"babe", 40}, {"bro", 10}}) << RelationshipType::romantic << 0.55
                                    << "Heuristic relationship classifier: success type=romantic confidence=0.55";
    // Romantic and family tie at 12 (casual 8): romantic comes first, margin 1.
    QTest::newRow("12/12 tie") << sampleOf(200, {{"mom", 12}, {"babe", 12}}) << RelationshipType::romantic << 0.55
                               << "Heuristic relationship classifier: success type=romantic confidence=0.55";
    QTest::newRow("10/2 in 20") << sampleOf(20, {{"babe", 10}, {"mom", 2}}) << RelationshipType::romantic << 18.0 / 28.0
                                << "Heuristic relationship classifier: success type=romantic confidence=0.64";
    QTest::newRow("30 in 20 is limited") << sampleOf(20, {{"babe baby kiss", 10}}) << RelationshipType::romantic << 0.95
                                         << "Heuristic relationship classifier: success type=romantic confidence=0.95";
    // 10 / 16 = 0.625 exactly: two decimals the C way give "0.62".
    QTest::newRow("binary tie rounds to even")
        << sampleOf(8, {{"bestie", 5}}) << RelationshipType::closeFriend << 0.625
        << "Heuristic relationship classifier: success type=closeFriend confidence=0.62";
    // Without any term a full sample is casual by its size (200 / 25 = 8).
    QTest::newRow("long and plain") << sampleOf(1000, {}) << RelationshipType::casual << 0.55
                                    << "Heuristic relationship classifier: success type=casual confidence=0.55";
    // Family 8 (two terms a message), casual 1: (7 + 8) / 38, limited up to 0.55.
    QTest::newRow("family wins") << sampleOf(30, {{"how was your day? call me", 4}}) << RelationshipType::family << 0.55
                                 << "Heuristic relationship classifier: success type=family confidence=0.55";
  }
  void classification() {
    QFETCH(MessageList, messages);
    QFETCH(RelationshipType, type);
    QFETCH(double, confidence);
    QFETCH(QString, lastLine);
    const RelationshipClassification result = RelationshipClassifier().classifyWithHeuristics(messages);
    QCOMPARE(result.type, type);
    QCOMPARE(result.confidence, confidence);
    const QStringList lines = classifierLines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("Heuristic relationship classifier: starting"));
    QCOMPARE(lines[1], lastLine);
  }

  void scoreCountsEveryOccurrence_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("romantic");
    QTest::newRow("overlapping terms") << "I love you" << qint64(2);
    QTest::newRow("repeated") << "babe, babe!" << qint64(2);
    QTest::newRow("inside other words") << "babel lily" << qint64(0);
    QTest::newRow("bb and baby") << "bb baby" << qint64(2);
  }
  void scoreCountsEveryOccurrence() {
    QFETCH(QString, text);
    QFETCH(qint64, romantic);
    QCOMPARE(RelationshipClassifier::score({message(text)}, RelationshipClassifier::defaultRomanticTerms()), romantic);
  }

  void sample_data() {
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<QList<qsizetype>>("olderPositions");
    QList<qsizetype> first60;
    for (qsizetype i = 0; i < 60; ++i) first60.append(i);
    QList<qsizetype> every14th;
    for (qsizetype i = 0; i <= 826; i += 14) every14th.append(i);
    QTest::newRow("200 is all") << qsizetype(200) << QList<qsizetype>{};
    // 61 older messages, step 1: position 60 is left out.
    QTest::newRow("201") << qsizetype(201) << first60;
    // 860 older messages, step 14: 0, 14, ... 826.
    QTest::newRow("1000") << qsizetype(1000) << every14th;
  }
  void sample() {
    QFETCH(qsizetype, count);
    QFETCH(QList<qsizetype>, olderPositions);
    MessageList messages;
    for (qsizetype i = 0; i < count; ++i) messages.append(message(QString::number(i), Date(double(i))));
    const MessageList sample = RelationshipClassifier::weightedRecentSample(messages);
    QList<qsizetype> expected = olderPositions;
    const qsizetype recentFrom = olderPositions.isEmpty() ? 0 : count - 140;
    for (qsizetype i = recentFrom; i < count; ++i) expected.append(i);
    QList<qsizetype> positions;
    for (const Message& kept : sample) positions.append(kept.text.toLongLong());
    QCOMPARE(positions, expected);
    QVERIFY(sample.size() <= 200);
  }
};

MURMELA_TEST(RelationshipClassifierTest)
#include "RelationshipClassifierTest.moc"
