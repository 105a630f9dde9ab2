#include "kit/access/FocusRouting.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QWidget>

using namespace murmela;

namespace {

QAccessible::UpdateHandler below = nullptr;
void later(QAccessibleEvent* event) {
  if (below) below(event);
}

}  // namespace

class FocusRoutingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // With nothing installed before it, the routing hands events to Qt's own
  // handling; a handler installed after it stays installed through that, so
  // Qt goes on handing it the events.
  void aHandlerInstalledAfterStillHearsEvents() {
    QWidget widget;
    FocusRouting routing;
    below = QAccessible::installUpdateHandler(later);
    QAccessibleEvent shown(&widget, QAccessible::ObjectShow);
    routing.route(&shown);
    QVERIFY(QAccessible::installUpdateHandler(below) == &later);
  }
};

MURMELA_TEST(FocusRoutingTest)
#include "FocusRoutingTest.moc"
