#include "ShareFakes.h"
#include "kit/overlay/ToastOverlay.h"
#include "sheets/share/ShareSheetView.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QWidget>

using namespace murmela;
using namespace murmela::test;

class ToastTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // The default delay and an older delay leaving a newer toast are checked with the deck's chrome.
  void aNewerToastReplacesAtOnceAndTheSameTextRestartsTheDelay() {
    QList<std::function<void()>> delays;
    ToastManager toasts([&](int, std::function<void()> fire) { delays.append(std::move(fire)); });
    toasts.show(QStringLiteral("A"));
    toasts.show(QStringLiteral("B"));
    QCOMPARE(toasts.current(), QStringLiteral("B"));
    toasts.show(QStringLiteral("B"));
    delays[1]();
    QCOMPARE(toasts.current(), QStringLiteral("B"));
    delays[2]();
    QVERIFY(!toasts.current());
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

    // Centred 90 points above the bottom, as the deck's toast test checks; a long text wraps and grows upwards.
    const ToastOverlay::Layout layout =
        ToastOverlay::layout(QStringLiteral("Slide copied to clipboard."), QRectF(host.rect()));
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

    // Once in place (the easing itself is checked with the deck), a new text makes no new entrance.
    now = 0.25;
    QCOMPARE(overlay->shownAmount(), 1.0);
    toasts->show(QStringLiteral("Saved to a.png."));
    QCOMPARE(overlay->shownAmount(), 1.0);
    QCOMPARE(overlay->lastText(), QStringLiteral("Saved to a.png."));
  }
};

MURMELA_TEST(ToastTest)
#include "ToastTest.moc"
