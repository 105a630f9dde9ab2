#include "ScreenHarness.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/permissions/PermissionsView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/welcome/WelcomeView.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QApplication>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

// What shows the keyboard focus: the painted button with the ring, or the
// child widget (a field, the list) by its name.
QString ringOn() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return QStringLiteral("(nothing)");
  if (auto* host = focus->findChild<ButtonHost*>(QString(), Qt::FindDirectChildrenOnly)) {
    const std::optional<int> id = host->focused();
    return id && host->showsFocus(*id) ? host->target(*id)->name : QStringLiteral("(no ring)");
  }
  return focus->accessibleName();
}

std::unique_ptr<QWidget> makeScreen(const QString& name, ScreenHarness& harness) {
  AppCoordinator& coordinator = harness.coordinator();
  if (name == QLatin1String("welcome")) return std::make_unique<WelcomeView>(hostsOf(coordinator));
  if (name == QLatin1String("permissions")) return std::make_unique<PermissionsView>(hostsOf(coordinator));
  if (name == QLatin1String("intelligence")) return std::make_unique<IntelligenceView>(hostsOf(coordinator));
  harness.setContacts({{"sam@example.com", "Sam Rivera", 120}, {"+15557777", "", 40}});
  harness.loadContacts();
  if (name == QLatin1String("picker, a run failed"))
    harness.failRun(harness.coordinator().contacts().first(), QStringLiteral("upstream timed out"));
  return std::make_unique<ContactPickerView>(hostsOf(coordinator));
}

}  // namespace

class TabOrderTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // Tab from the screen's arrival visits its controls as they stand on
  // screen, top to bottom and left to right, and comes round to the first.
  void tabFollowsTheScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("welcome") << "welcome"
                             << QStringList{"Agree to Privacy Policy and Terms", "Privacy Policy", "Terms"};
    QTest::newRow("intelligence") << "intelligence"
                                  << QStringList{"Hybrid intelligence", "Cloud intelligence", "Back", "Continue"};
    QTest::newRow("picker") << "picker"
                            << QStringList{"Search contacts or handles", "Sam Rivera", "Back",
                                           "Wrap it up"};  // the list: its selected row
    QTest::newRow("picker, a run failed")
        << "picker, a run failed"
        << QStringList{"Search contacts or handles", "Copy log", "Dismiss", "Back", "Wrap it up"};
  }
  void tabFollowsTheScreen() {
    QFETCH(QString, screen);
    QFETCH(QStringList, seen);
    ScreenHarness harness;
    const std::unique_ptr<QWidget> view = makeScreen(screen, harness);
    view->show();
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));  // the screen takes the keys as it arrives
    QStringList reached;
    if (ringOn() != QLatin1String("(no ring)")) reached.append(ringOn());
    while (reached.size() <= seen.size()) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.append(ringOn());
    }
    QCOMPARE(reached, seen + QStringList{seen.first()});
  }
};

MURMELA_TEST(TabOrderTest)
#include "TabOrderTest.moc"
