#include "ScreenHarness.h"
#include "screens/intelligence/IntelligenceView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/welcome/WelcomeView.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QApplication>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

// Tab from a screen's arrival visits its controls as they stand on screen,
// top to bottom and left to right, and comes round to the first.
class TabOrderTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }
  void tabFollowsTheScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("seen");
    QTest::newRow("welcome") << "welcome"
                             << QStringList{"Agree to Privacy Policy and Terms", "Privacy Policy", "Terms"};
    QTest::newRow("intelligence") << "intelligence"
                                  << QStringList{"Hybrid intelligence", "Cloud intelligence", "Back", "Continue"};
    // The list's stop is its selected row (brought out below the failed run's panel).
    QTest::newRow("picker") << "picker"
                            << QStringList{"Search contacts or handles", "Sam Rivera", "Back", "Wrap it up"};
    QTest::newRow("picker, a run failed")
        << "failed"
        << QStringList{"Search contacts or handles", "Copy log", "Dismiss", "Sam Rivera", "Back", "Wrap it up"};
  }
  void tabFollowsTheScreen() {
    QFETCH(QString, screen);
    QFETCH(QStringList, seen);
    ScreenHarness harness;
    harness.setContacts({{"sam@example.com", "Sam Rivera", 120}});
    harness.loadContacts();
    if (screen == "failed") harness.failRun(harness.coordinator().contacts().first(), QStringLiteral("timed out"));
    std::unique_ptr<QWidget> view;
    if (screen == "welcome")
      view = std::make_unique<WelcomeView>(hostsOf(harness.coordinator()));
    else if (screen == "intelligence")
      view = std::make_unique<IntelligenceView>(hostsOf(harness.coordinator()));
    else
      view = std::make_unique<ContactPickerView>(hostsOf(harness.coordinator()));
    view->show();
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));  // the screen takes the keys as it arrives
    // What shows the focus: a painted button with the ring, or a field by its name.
    const auto ring = [] {
      QWidget* focus = QApplication::focusWidget();
      auto* host = focus ? focus->findChild<ButtonHost*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
      if (!host) return focus ? focus->accessibleName() : QString();
      const std::optional<int> id = host->focused();
      return id && host->showsFocus(*id) ? host->target(*id)->name : QString();
    };
    QStringList reached;
    if (!ring().isEmpty()) reached.append(ring());
    while (reached.size() <= seen.size()) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      reached.append(ring());
    }
    QCOMPARE(reached, seen + QStringList{seen.first()});
  }
};

MURMELA_TEST(TabOrderTest)
#include "TabOrderTest.moc"
