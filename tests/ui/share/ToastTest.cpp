#include "ShareFakes.h"
#include "share/ToastOverlay.h"
#include "sheets/ShareSheetView.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QWidget>

using namespace murmela;
using namespace murmela::test;

class ToastTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void onlyTheNewestDelayClears_data() {
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("fired");  // which shows' delays run out, in order
    QTest::addColumn<QString>("expected");  // empty: no toast
    QTest::newRow("a newer toast replaces the older at once") << QStringList{"A", "B"} << QList<int>{} << "B";
    QTest::newRow("the older delay leaves the newer text") << QStringList{"A", "B"} << QList<int>{0} << "B";
    QTest::newRow("the newest delay clears it") << QStringList{"A", "B"} << QList<int>{0, 1} << "";
    QTest::newRow("the same text again restarts the delay") << QStringList{"A", "A"} << QList<int>{0} << "A";
  }
  void onlyTheNewestDelayClears() {
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, fired);
    QFETCH(QString, expected);
    QList<std::function<void()>> delays;
    QList<int> milliseconds;
    ToastManager toasts([&](int ms, std::function<void()> fire) {
      milliseconds.append(ms);
      delays.append(std::move(fire));
    });
    for (const QString& text : shown) toasts.show(text);
    for (const int index : fired) delays[index]();
    QCOMPARE(toasts.current().value_or(QString()), expected);
    QCOMPARE(milliseconds, QList<int>(shown.size(), 2400));
  }

  void aZeroDurationClearsOnTheNextTurn() {
    ToastManager toasts;
    toasts.show(QStringLiteral("gone"), 0.0);
    QCOMPARE(toasts.current(), QStringLiteral("gone"));
    QTRY_VERIFY(!toasts.current());
  }

  void overlaySitsAboveTheBottomAndTakesNoClicks() {
    QWidget host;
    host.resize(390, 780);
    auto toasts = heldToasts();
    double now = 0.0;
    auto* overlay = new ToastOverlay(
        *toasts, [&now] { return now; }, &host);
    host.show();
    toasts->show(QStringLiteral("Slide copied to clipboard."));

    const ToastOverlay::Layout layout =
        ToastOverlay::layout(QStringLiteral("Slide copied to clipboard."), QRectF(host.rect()));
    QCOMPARE(layout.capsule.bottom(), 780.0 - 90.0);
    QCOMPARE(layout.capsule.center().x(), 195.0);
    // The text sits inside the capsule with room on every side.
    QVERIFY(layout.capsule.adjusted(8, 8, -8, -8)
                .contains(QRectF(layout.textOrigin, QSizeF(layout.text.width(), layout.text.height()))));
    const ToastOverlay::Layout wrapped =
        ToastOverlay::layout(QString(QStringLiteral("Save failed: ")).repeated(12), QRectF(host.rect()));
    QVERIFY(wrapped.text.lines.size() > 1);
    QVERIFY(wrapped.capsule.width() <= 390.0);
    QCOMPARE(wrapped.capsule.bottom(), 780.0 - 90.0);

    // Clicks go through to what lies beneath, and the toast stays above a sheet opened later.
    QCOMPARE(host.childAt(layout.capsule.center().toPoint()), nullptr);
    ShareSheetView sheet(SlideShareContext{WrappedReport{}, 0, std::nullopt}, *toasts, {}, {}, &host);
    QCOMPARE(host.children().last(), overlay);

    // In from below by one ease-out transition, out the same way.
    QCOMPARE(overlay->shownAmount(), 0.0);
    now = 0.125;
    QVERIFY(overlay->shownAmount() > 0.5 && overlay->shownAmount() < 1.0);
    now = 0.25;
    QCOMPARE(overlay->shownAmount(), 1.0);
    toasts->show(QStringLiteral("Saved to a.png."));  // a new text while shown: no new entrance
    QCOMPARE(overlay->shownAmount(), 1.0);
    QCOMPARE(overlay->lastText(), QStringLiteral("Saved to a.png."));
  }
};

MURMELA_TEST(ToastTest)
#include "ToastTest.moc"
