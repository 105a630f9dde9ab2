#include "kit/widgets/ButtonHost.h"
#include "support/TestRegistry.h"

#include <QTest>
#include <QWidget>

using namespace murmela;

namespace {

// A close button, the two page tabs of a share sheet, then a plain button.
QList<ButtonTarget> sheetButtons() {
  return {{.id = 0, .rect = {0, 0, 20, 20}, .name = "Close"},
          {.id = 1, .rect = {0, 30, 60, 20}, .role = ButtonRole::tab, .name = "This Slide", .group = "What to share"},
          {.id = 2, .rect = {60, 30, 60, 20}, .role = ButtonRole::tab, .name = "Slideshow", .group = "What to share"},
          {.id = 3, .rect = {0, 60, 60, 20}, .name = "Stories"}};
}

}  // namespace

class TabListKeysTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void arrowsStayAmongTheTabs_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("to");
    QTest::newRow("on to the next tab") << 1 << true << true << 2;
    QTest::newRow("the last tab keeps it") << 2 << true << true << 2;
    QTest::newRow("back to the first") << 2 << false << true << 1;
    QTest::newRow("the first tab keeps it") << 1 << false << true << 1;
    QTest::newRow("not on a tab: left to the caller") << 3 << true << false << 3;
  }
  void arrowsStayAmongTheTabs() {
    QFETCH(int, from);
    QFETCH(bool, forward);
    QWidget sheet;
    ButtonHost host(&sheet, sheetButtons);
    sheet.show();
    sheet.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    QVERIFY(host.focusButton(from));
    QTEST(host.moveFocusAlongTabs(forward), "taken");
    QTEST(host.focused().value_or(-1), "to");
    QVERIFY(host.showsFocus(*host.focused()));
  }
};

MURMELA_TEST(TabListKeysTest)
#include "TabListKeysTest.moc"
