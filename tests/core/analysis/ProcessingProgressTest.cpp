#include "AnalysisFixtures.h"
#include "analysis/AnalysisStage.h"
#include "analysis/ProcessingProgress.h"
#include "app/ProcessingProgressMapping.h"
#include "hosted/HostedRunEstimates.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <cmath>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::AnalysisStage)
Q_DECLARE_METATYPE(murmela::IntelligenceChoice)

namespace {

bool near(double a, double b) { return std::abs(a - b) < 1e-9; }

}  // namespace

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

  void baseEstimate_data() {
    QTest::addColumn<qint64>("characters");
    QTest::addColumn<IntelligenceChoice>("choice");
    QTest::addColumn<double>("seconds");
    QTest::newRow("nothing, hybrid") << qint64(0) << IntelligenceChoice::hybrid << 24.0;
    QTest::newRow("nothing, cloud") << qint64(0) << IntelligenceChoice::cloud << 16.0;
    QTest::newRow("100,000, hybrid") << qint64(100000) << IntelligenceChoice::hybrid << 13.85 + 13.95 + 8.0;
    QTest::newRow("100,000, cloud") << qint64(100000) << IntelligenceChoice::cloud << 13.95 + 8.0;
    // 57,000 characters: the anonymization is still at its floor, the hosted step is not.
    QTest::newRow("between the floors") << qint64(57500) << IntelligenceChoice::hybrid << 8.0 + 8.02125 + 8.0;
  }
  void baseEstimate() {
    QFETCH(qint64, characters);
    QFETCH(IntelligenceChoice, choice);
    QFETCH(double, seconds);
    const double base = ProcessingProgressMapping::baseEstimateSeconds(characters, choice);
    QVERIFY2(near(base, seconds), qPrintable(QString::number(base, 'g', 17)));
  }

  // The four reports of the pipeline as the CSV road publishes them.
  void csvPipelineTable() {
    const double base = ProcessingProgressMapping::baseEstimateSeconds(100000, IntelligenceChoice::hybrid);
    const QList<ProcessingProgress> reported{{AnalysisStage::aggregating, 0.25, std::nullopt},
                                             {AnalysisStage::analyzingTone, 0.7, std::nullopt},
                                             {AnalysisStage::generatingSummary, 0.92, std::nullopt},
                                             {AnalysisStage::generatingSummary, 1.0, std::nullopt}};
    QList<ProcessingProgress> published;
    for (const ProcessingProgress& progress : reported)
      published.append(ProcessingProgressMapping::csvPipelineProgress(progress, base));
    QCOMPARE(published.size(), 4);
    QCOMPARE(published[0].stage, AnalysisStage::aggregating);
    QCOMPARE(published[0].fraction, 0.25);
    QVERIFY(near(*published[0].estimatedRemainingSeconds, base + 10.0 * 0.2 / 0.45));
    QCOMPARE(QString::number(*published[0].estimatedRemainingSeconds - base, 'f', 2), QStringLiteral("4.44"));
    for (int i = 1; i < 4; ++i) {
      QCOMPARE(published[i].stage, AnalysisStage::aggregating);
      QCOMPARE(published[i].fraction, 0.45);
      QCOMPARE(*published[i].estimatedRemainingSeconds, base);
    }
  }

  void csvEdges_data() {
    QTest::addColumn<AnalysisStage>("stage");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<AnalysisStage>("publishedStage");
    QTest::addColumn<double>("publishedFraction");
    QTest::addColumn<double>("extraSeconds");
    QTest::newRow("reading stays reading")
        << AnalysisStage::readingMessages << 0.1 << AnalysisStage::readingMessages << 0.1 << 10.0 * 0.35 / 0.45;
    QTest::newRow("anonymizing becomes aggregating")
        << AnalysisStage::anonymizing << 0.0 << AnalysisStage::aggregating << 0.0 << 10.0;
    QTest::newRow("below zero") << AnalysisStage::aggregating << -0.5 << AnalysisStage::aggregating << -0.5 << 10.0;
  }
  void csvEdges() {
    QFETCH(AnalysisStage, stage);
    QFETCH(double, fraction);
    QFETCH(AnalysisStage, publishedStage);
    QFETCH(double, publishedFraction);
    QFETCH(double, extraSeconds);
    const ProcessingProgress published = ProcessingProgressMapping::csvPipelineProgress({stage, fraction, 99.0}, 30.0);
    QCOMPARE(published.stage, publishedStage);
    QCOMPARE(published.fraction, publishedFraction);
    QVERIFY(near(*published.estimatedRemainingSeconds, 30.0 + extraSeconds));
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
