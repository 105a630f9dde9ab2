// The toasts' queue: each message clears after its own delay.
#include "kit/overlay/ToastManager.h"
#include "support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

using namespace murmela;

class ToastManagerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void toastsClearAfterTheirOwnDelay() {
    QList<std::function<void()>> pending;
    QList<int> delays;
    ToastManager toasts([&](int milliseconds, std::function<void()> fire) {
      delays.append(milliseconds);
      pending.append(std::move(fire));
    });
    QSignalSpy changed(&toasts, &ToastManager::currentChanged);
    QVERIFY(!toasts.current());
    toasts.show(QStringLiteral("Copied image."));
    toasts.show(QStringLiteral("Saved to Downloads."), 3.0);
    QCOMPARE(delays, (QList<int>{2400, 3000}));
    pending[0]();  // the first toast's delay runs out: the newer one stays
    QCOMPARE(toasts.current(), QStringLiteral("Saved to Downloads."));
    pending[1]();
    QVERIFY(!toasts.current());
    QCOMPARE(changed.count(), 3);
  }
};

MURMELA_TEST(ToastManagerTest)
#include "ToastManagerTest.moc"
