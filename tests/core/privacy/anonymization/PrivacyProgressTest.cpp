#include "privacy/anonymization/HybridAnonymization.h"
#include "privacy/anonymization/PrivacyProgressLineParser.h"
#include "privacy/anonymization/PrivacyProgressUpdate.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

using Updates = QList<PrivacyProgressUpdate>;
Q_DECLARE_METATYPE(PrivacyProgressUpdate)

namespace murmela {
inline char* toString(const PrivacyProgressUpdate& update) {
  return qstrdup(QByteArray::number(update.completed) + '/' + QByteArray::number(update.total));
}
}  // namespace murmela

// The script's progress lines: which lines count, how they are found in the
// output as it arrives, and where they put the processing bar.
class PrivacyProgressTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void lines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("completed");
    QTest::addColumn<qint64>("total");
    QTest::newRow("plain") << R"({"type": "murmela_privacy_progress", "completed": 120, "total": 800})" << true
                           << qint64(120) << qint64(800);
    QTest::newRow("spaces around") << "  \t{\"type\":\"murmela_privacy_progress\",\"completed\":1,\"total\":2}  "
                                   << true << qint64(1) << qint64(2);
    QTest::newRow("other keys ignored")
        << R"({"total": 9, "extra": [1], "type": "murmela_privacy_progress", "completed": 0})" << true << qint64(0)
        << qint64(9);
    QTest::newRow("whole float") << R"({"type": "murmela_privacy_progress", "completed": 3.0, "total": -1})" << true
                                 << qint64(3) << qint64(-1);
    QTest::newRow("fraction") << R"({"type": "murmela_privacy_progress", "completed": 2.5, "total": 8})" << false
                              << qint64(0) << qint64(0);
    QTest::newRow("other type") << R"({"type": "murmela_privacy_status", "completed": 1, "total": 8})" << false
                                << qint64(0) << qint64(0);
    QTest::newRow("type not a string") << R"({"type": 1, "completed": 1, "total": 8})" << false << qint64(0)
                                       << qint64(0);
    QTest::newRow("count as text") << R"({"type": "murmela_privacy_progress", "completed": "1", "total": 8})" << false
                                   << qint64(0) << qint64(0);
    QTest::newRow("total missing") << R"({"type": "murmela_privacy_progress", "completed": 1})" << false << qint64(0)
                                   << qint64(0);
    QTest::newRow("array") << R"([{"type": "murmela_privacy_progress", "completed": 1, "total": 8}])" << false
                           << qint64(0) << qint64(0);
    QTest::newRow("ordinary output") << "Loading weights..." << false << qint64(0) << qint64(0);
    QTest::newRow("cut off") << R"({"type": "murmela_privacy_progress", "completed": 1)" << false << qint64(0)
                             << qint64(0);
  }

  void lines() {
    QFETCH(QString, line);
    QFETCH(bool, accepted);
    const std::optional<PrivacyProgressUpdate> update = PrivacyProgressUpdate::fromLine(line);
    QCOMPARE(update.has_value(), accepted);
    if (accepted) {
      QFETCH(qint64, completed);
      QFETCH(qint64, total);
      QCOMPARE(*update, (PrivacyProgressUpdate{completed, total}));
    }
  }

  void linesAcrossReads() {
    const QString first = R"({"type": "murmela_privacy_progress", "completed": 1, "total": 4})";
    const QString second = R"({"type": "murmela_privacy_progress", "completed": 2, "total": 4})";
    PrivacyProgressLineParser parser;
    // A line split across two reads counts once its line feed arrives.
    QCOMPARE(parser.append(first.left(20)), Updates{});
    QCOMPARE(parser.append(first.mid(20)), Updates{});
    QCOMPARE(parser.append(u"\n"), (Updates{{1, 4}}));
    // Two lines in one read, with ordinary output between, in order.
    QCOMPARE(parser.append(first + "\nloading model\n" + second + "\n"), (Updates{{1, 4}, {2, 4}}));
    // A carriage return before the line feed is trimmed with the line.
    QCOMPARE(parser.append(second + "\r\n"), (Updates{{2, 4}}));
    // The end of a line and the whole next one in one read.
    QCOMPARE(parser.append(second.left(10)), Updates{});
    QCOMPARE(parser.append(second.mid(10) + "\n" + first + "\n" + second.left(5)), (Updates{{2, 4}, {1, 4}}));
    QCOMPARE(parser.pending(), second.left(5));
    // A last line without a line feed is never taken.
    PrivacyProgressLineParser unfinished;
    QCOMPARE(unfinished.append(first), Updates{});
    QCOMPARE(unfinished.pending(), first);
  }

  void mapping_data() {
    QTest::addColumn<qint64>("completed");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<double>("remaining");
    // Anonymization estimate 20 s, analysis estimate 30 s.
    QTest::newRow("nothing of nothing") << qint64(0) << qint64(0) << 0.46 << 58.0;
    QTest::newRow("negative total") << qint64(5) << qint64(-1) << 0.46 << 58.0;
    QTest::newRow("negative count") << qint64(-5) << qint64(10) << 0.46 << 58.0;
    QTest::newRow("half") << qint64(400) << qint64(800) << 0.565 << 48.0;
    QTest::newRow("all") << qint64(800) << qint64(800) << 0.67 << 38.0;
    QTest::newRow("more than all") << qint64(900) << qint64(800) << 0.67 << 38.0;
  }

  void mapping() {
    QFETCH(qint64, completed);
    QFETCH(qint64, total);
    QFETCH(double, fraction);
    QFETCH(double, remaining);
    const HybridAnonymizationProgress progress = HybridAnonymization::progressFor({completed, total}, 20.0, 30.0);
    QCOMPARE(progress.fraction, fraction);
    QCOMPARE(progress.estimatedRemainingSeconds, remaining);
  }
};

MURMELA_TEST(PrivacyProgressTest)
#include "PrivacyProgressTest.moc"
