#include "AnalysisFixtures.h"
#include "analysis/AnalysisStage.h"
#include "analysis/ProcessingProgress.h"
#include "hosted/HostedRunEstimates.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::AnalysisStage)

class ProcessingProgressTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void stageTexts_data() {
    QTest::addColumn<AnalysisStage>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("reading") << AnalysisStage::readingMessages << "Reading messages...";
    QTest::newRow("aggregating") << AnalysisStage::aggregating << "Counting & aggregating...";
    QTest::newRow("anonymizing") << AnalysisStage::anonymizing << "Anonymizing messages...";
    QTest::newRow("tone") << AnalysisStage::analyzingTone << "Analyzing tone...";
    QTest::newRow("summary") << AnalysisStage::generatingSummary << "Generating summary...";
  }
  void stageTexts() {
    QFETCH(AnalysisStage, stage);
    QFETCH(QString, text);
    QCOMPARE(rawValue(stage), text);
    QCOMPARE(analysisStageFromRawValue(text), std::optional<AnalysisStage>(stage));
  }

  void stagesFromOtherTexts() {
    QCOMPARE(allAnalysisStages().size(), 5);
    QCOMPARE(allAnalysisStages().first(), AnalysisStage::readingMessages);
    QVERIFY(!analysisStageFromRawValue(QStringLiteral("reading messages...")));
    QVERIFY(!analysisStageFromRawValue(QStringLiteral("Reading messages\u2026")));
    QVERIFY(!analysisStageFromRawValue(QString()));
  }

  void characterCount() {
    const MessageList messages{message(QStringLiteral("caf\u00e9")), message(QStringLiteral("cafe\u0301")),
                               message(QStringLiteral("👍🏽🇩🇪")), message(QStringLiteral("a\r\nb")),
                               message(QString())};
    QCOMPARE(HostedRunEstimates::characterCount(messages), qint64(4 + 4 + 2 + 3));
  }
};

MURMELA_TEST(ProcessingProgressTest)
#include "ProcessingProgressTest.moc"
