// What makes a walk fail or click elsewhere: the toasts it counts as errors,
// the Qt messages it keeps, and where it finds a label.
#include "WalkSteps.h"

#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QPainter>
#include <QTest>

#include <thread>

using namespace murmela;
using namespace murmela::test;

class WalkDriverTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  void toastsThatFailAWalk_data() {
    QTest::addColumn<QString>("toast");
    QTest::addColumn<bool>("success");
    QTest::newRow("slideshow saved") << "Saved 14 slides to Downloads." << true;
    QTest::newRow("one slide saved") << "Saved to murmela-sam-03.png." << true;
    QTest::newRow("image copied") << "Image copied. Paste into your post (\u2318V)." << true;
    QTest::newRow("generating a link") << "Generating link..." << true;
    QTest::newRow("slideshow failed") << "Slideshow save failed: The slides could not be written." << false;
    QTest::newRow("no Downloads") << "Could not find Downloads folder." << false;
    QTest::newRow("a link error") << "Couldn't reach the share service." << false;
  }
  void toastsThatFailAWalk() {
    QFETCH(QString, toast);
    QTEST(isSuccessToast(toast), "success");
  }

  // Warnings and worse fail a walk, from any thread; debug lines do not.
  void warningsFailAWalk() {
    QTest::ignoreMessage(QtDebugMsg, "just saying");
    QTest::ignoreMessage(QtWarningMsg, "careful");
    QTest::ignoreMessage(QtCriticalMsg, "from a worker");
    const QString failure = failureWithWarnings([] {
      qDebug("just saying");
      qWarning("careful");
      std::thread([] { qCritical("from a worker"); }).join();
      return QStringLiteral("stuck");
    });
    QCOMPARE(failure, QStringLiteral("stuck\nQt printed:\ncareful\nfrom a worker"));
    QCOMPARE(failureWithWarnings([] { return QString(); }), QString());
  }

  // The exact text before one that begins with it, in any case; two
  // candidates or none are refused.
  void labelsAreFoundWherePainted_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("row");  // of the text found; -1: refused
    QTest::newRow("exact before a prefix") << "Done" << 1;
    QTest::newRow("prefix of a longer title") << "Start wrapping" << 2;
    QTest::newRow("capitals") << "get started" << 3;
    QTest::newRow("two texts begin with it") << "Re" << -1;
    QTest::newRow("not painted") << "Share" << -1;
  }
  void labelsAreFoundWherePainted() {
    QFETCH(QString, label);
    QFETCH(int, row);
    const QStringList texts{"Done and dusted", "Done", "Start wrapping \u2192", "GET STARTED", "Revoke", "Reset App"};
    const WalkDriver::Painting painting = [&texts](QPainter& painter) {
      for (qsizetype i = 0; i < texts.size(); ++i) painter.drawText(QPointF(10, 30 + 40 * i), texts[i]);
    };
    if (row < 0) {
      QVERIFY_THROWS_EXCEPTION(WalkFailure, WalkDriver::labelRect(painting, QSize(390, 780), label));
      return;
    }
    const QRectF found = WalkDriver::labelRect(painting, QSize(390, 780), label);
    QVERIFY2(found.top() < 30 + 40 * row && found.bottom() > 30 + 40 * row - 12, qPrintable(label));
  }
};

MURMELA_TEST(WalkDriverTest)
#include "WalkDriverTest.moc"
