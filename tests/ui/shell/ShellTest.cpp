#include "app/AppCoordinator.h"
#include "data/FakeReportLoader.h"
#include "data/VCardContactStore.h"
#include "deck/MurmelaDeckResultsView.h"
#include "deck/slides/CloserSlide.h"
#include "screens/welcome/WelcomeView.h"
#include "shell/DesktopSettingsPaneOpener.h"
#include "shell/FontLoader.h"
#include "shell/MurmelaRootApp.h"
#include "shell/RootView.h"
#include "support/FakeNeighbours.h"
#include "support/FixtureDatabaseBuilder.h"
#include "support/TestRegistry.h"
#include "testing/QuietDesktop.h"

#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// A Messages database with one conversation partner.
void writeDatabase(const QString& path) {
  FixtureDatabaseBuilder db(path);
  const qint64 sam = db.addHandle(QStringLiteral("+15551234567"));
  const qint64 chat = db.addOneToOneChat(sam);
  db.addMessage(chat, {.text = QStringLiteral("hi"), .date = 700'000'000'000'000'000, .handleId = sam});
  db.addMessage(chat, {.text = QStringLiteral("hey"), .date = 700'000'060'000'000'000, .isFromMe = 1});
  db.close();
}

void deliverDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

AppScreen screenOf(const QString& name, const WrappedReport& report) {
  using Kind = AppScreen::Kind;
  for (Kind kind : {Kind::results, Kind::home, Kind::welcome, Kind::permissions, Kind::intelligence, Kind::hybridSetup,
                    Kind::contactPicker, Kind::processing}) {
    if (rawValue(kind) != name) continue;
    switch (kind) {
      case Kind::results:
        return AppScreen::results(report);
      case Kind::home:
        return AppScreen::home();
      case Kind::welcome:
        return AppScreen::welcome();
      case Kind::permissions:
        return AppScreen::permissions();
      case Kind::intelligence:
        return AppScreen::intelligence();
      case Kind::hybridSetup:
        return AppScreen::hybridSetup();
      case Kind::contactPicker:
        return AppScreen::contactPicker();
      case Kind::processing:
        return AppScreen::processing();
    }
  }
  return AppScreen::welcome();
}

// The class of the screen's widget.
QString shownName(const RootView& view) {
  QWidget* widget = view.screenWidget();
  if (!widget) return QStringLiteral("none");
  const QString name = QString::fromLatin1(widget->metaObject()->className()).remove(QStringLiteral("murmela::"));
  return name;
}

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TestEnvironment> environment_;
  WrappedReport report_;

 private Q_SLOTS:
  void initTestCase() {
    environment_ = std::make_unique<TestEnvironment>();
    prepareAppTests();
    report_ = FakeReportLoader::load(FakeDataFixture::minimal);
  }

  // "-messagesDB" names the database (a leading tilde is the home folder)
  // and leaves the permission screen out; without a value after it the
  // default database stays, and so does the permission screen.
  void launchArgumentsChooseTheDatabase_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("skipsGate");
    QTest::addColumn<bool>("readsTheGivenFile");
    const QString home = QDir::homePath();
    QTest::newRow("tilde path") << QStringList{"murmela", "-messagesDB", "~/x.db"} << true << true;
    QTest::newRow("absolute path") << QStringList{"murmela", "-messagesDB", home + "/x.db"} << true << true;
    QTest::newRow("flag as the last argument") << QStringList{"murmela", "-messagesDB"} << false << false;
    QTest::newRow("no flag") << QStringList{"murmela"} << false << false;
    QTest::newRow("another flag") << QStringList{"murmela", "-fakeDataX", "~/x.db"} << false << false;
  }
  void launchArgumentsChooseTheDatabase() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, skipsGate);
    QFETCH(bool, readsTheGivenFile);
    writeDatabase(QDir::home().filePath(QStringLiteral("x.db")));
    QVERIFY(!QFile::exists(AppCoordinator::defaultMessagesDatabasePath()));

    MurmelaRootApp app(arguments, quietDesktop(QString()));
    QVERIFY(FontLoader::hasRegistered());
    AppCoordinator& coordinator = app.coordinator();
    QCOMPARE(coordinator.skipsPermissionGate(), skipsGate);
    coordinator.loadContacts();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(10)));
    QCoreApplication::sendPostedEvents();
    if (readsTheGivenFile) {
      QCOMPARE(coordinator.contacts().size(), 1);
      QCOMPARE(coordinator.contacts().first().handle, QStringLiteral("+15551234567"));
      QCOMPARE(coordinator.contactLoadingError(), std::nullopt);
    } else {
      QVERIFY(coordinator.contacts().isEmpty());
      QVERIFY(coordinator.contactLoadingError().has_value());
    }
  }

  // The window: its title, a fixed 390 x 780, the icon; once shown the
  // coordinator boots, here into the demo deck that "-fakeData" names.
  void windowBootsOnceShown() {
    MurmelaRootApp app({"murmela", "-fakeData", "friendship"}, quietDesktop(QString()));
    RootView& window = app.window();
    QCOMPARE(window.windowTitle(), QStringLiteral("Murmela"));
    QCOMPARE(window.minimumSize(), QSize(390, 780));
    QCOMPARE(window.maximumSize(), QSize(390, 780));
    QVERIFY(!window.windowIcon().isNull());
    QCOMPARE(shownName(window), QStringLiteral("WelcomeView"));
    app.show();
    QTRY_COMPARE(shownName(window), QStringLiteral("MurmelaDeckResultsView"));
    auto* deck = qobject_cast<MurmelaDeckResultsView*>(window.screenWidget());
    QCOMPARE(deck->report().participantNames.them,
             FakeReportLoader::load(FakeDataFixture::friendship).participantNames.them);
    QCOMPARE(deck->geometry(), QRect(0, 0, 390, 780));
  }

  // One widget per screen: the deck for results, the drawn onboarding
  // screens, and a labelled stand-in for the others.
  void rootViewShowsTheScreen_data() {
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("shown");
    QTest::newRow("results") << "results"
                             << "MurmelaDeckResultsView";
    QTest::newRow("welcome") << "welcome"
                             << "WelcomeView";
    QTest::newRow("permissions") << "permissions"
                                 << "PermissionsView";
    QTest::newRow("intelligence") << "intelligence"
                                  << "IntelligenceView";
    QTest::newRow("hybridSetup") << "hybridSetup"
                                 << "HybridPrivacySetupView";
    QTest::newRow("contactPicker") << "contactPicker"
                                   << "ContactPickerView";
    QTest::newRow("processing") << "processing"
                                << "ProcessingView";
    QTest::newRow("home") << "home"
                          << "HomeView";
  }
  void rootViewShowsTheScreen() {
    QFETCH(QString, screen);
    QFETCH(QString, shown);
    CoordinatorHarness harness;
    AppCoordinator& coordinator = harness.make();
    RootView view(coordinator);
    coordinator.setScreen(screenOf(screen, report_));
    QCOMPARE(shownName(view), shown);
    QCOMPARE(view.screenWidget()->geometry(), QRect(0, 0, 390, 780));
  }

  // The widget is built again when the kind of screen changes, and for every
  // results screen; the old one goes on the next turn of the event loop.
  void rootViewRebuilds_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("sameReport");
    QTest::addColumn<bool>("rebuilt");
    QTest::newRow("home again") << "home"
                                << "home" << false << false;
    QTest::newRow("processing again") << "processing"
                                      << "processing" << false << false;
    QTest::newRow("home to welcome") << "home"
                                     << "welcome" << false << true;
    QTest::newRow("results, the same report again") << "results"
                                                    << "results" << true << true;
    QTest::newRow("results, another report") << "results"
                                             << "results" << false << true;
    QTest::newRow("results to home") << "results"
                                     << "home" << false << true;
  }
  void rootViewRebuilds() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, sameReport);
    QFETCH(bool, rebuilt);
    CoordinatorHarness harness;
    AppCoordinator& coordinator = harness.make();
    RootView view(coordinator);
    const AppScreen firstScreen = screenOf(first, report_);
    coordinator.setScreen(firstScreen);
    QPointer<QWidget> before = view.screenWidget();
    coordinator.setScreen(sameReport ? firstScreen : screenOf(second, report_));
    QCOMPARE(view.screenWidget() != before.data(), rebuilt);
    deliverDeferredDeletes();
    QCOMPARE(before.isNull(), rebuilt);
    QVERIFY(view.screenWidget());
    QVERIFY(view.screenWidget()->isVisibleTo(&view));
  }

  // A screen's own button may change the screen: its widget survives the
  // handler and goes afterwards.
  void screenChangesFromItsOwnHandler_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("press");
    QTest::addColumn<QString>("shownAfter");
    QTest::newRow("welcome, Get Started") << "welcome"
                                          << "Get Started"
                                          << "IntelligenceView";
    QTest::newRow("deck, Done") << "results"
                                << "Done"
                                << "HomeView";
  }
  void screenChangesFromItsOwnHandler() {
    QFETCH(QString, start);
    QFETCH(QString, press);
    QFETCH(QString, shownAfter);
    Motion::OffScope still;
    CoordinatorHarness harness;
    AppCoordinator& coordinator = harness.make();
    coordinator.setHasAcceptedTerms(true);
    RootView view(coordinator);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    coordinator.setScreen(screenOf(start, report_));
    QPointer<QWidget> old = view.screenWidget();

    if (auto* deck = qobject_cast<MurmelaDeckResultsView*>(old.data())) {
      while (deck->currentSlide() < 13) deck->goNext();
      const QPointF done =
          CloserSlide{report_, true, std::nullopt}.layout().button(CloserSlide::Element::done)->layout.frame.center();
      QTest::mouseClick(deck, Qt::LeftButton, {}, done.toPoint());
    } else {
      auto* welcome = qobject_cast<WelcomeView*>(old.data());
      QVERIFY(welcome);
      QTest::mouseClick(welcome, Qt::LeftButton, {}, welcome->layout().getStarted.center().toPoint());
    }
    QCOMPARE(shownName(view), shownAfter);
    QVERIFY(!old.isNull());
    QVERIFY(!old->isVisible());
    deliverDeferredDeletes();
    QVERIFY(old.isNull());
  }

  // The desktop's answers to the two permission panes.
  void settingsPanes_data() {
    QTest::addColumn<QUrl>("pane");
    QTest::addColumn<bool>("noteAnswer");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<int>("notes");
    QTest::addColumn<int>("foldersOpened");
    QTest::newRow("contacts: the address book is asked for again")
        << SettingsPaneOpener::contactsPrivacyPane() << false << 1 << 0 << 0;
    QTest::newRow("full disk access, closed") << SettingsPaneOpener::fullDiskAccessPane() << false << 0 << 1 << 0;
    QTest::newRow("full disk access, open the folder")
        << SettingsPaneOpener::fullDiskAccessPane() << true << 0 << 1 << 1;
    QTest::newRow("another address") << QUrl(QStringLiteral("https://example.com/")) << true << 0 << 0 << 0;
  }
  void settingsPanes() {
    QFETCH(QUrl, pane);
    QFETCH(bool, noteAnswer);
    QFETCH(int, prompts);
    QFETCH(int, notes);
    QFETCH(int, foldersOpened);
    QTemporaryDir book;
    int asked = 0;
    auto contacts = std::make_shared<VCardContactStore>([&](const std::optional<QString>&) {
      ++asked;
      return std::optional<QString>(book.path());
    });
    // An earlier refusal does not stop the question from being asked again.
    contacts->setPrompt([](const std::optional<QString>&) { return std::nullopt; });
    contacts->requestAccess();
    contacts->setPrompt([&](const std::optional<QString>&) {
      ++asked;
      return std::optional<QString>(book.path());
    });

    const QString database = QStringLiteral("/home/someone/Library/Messages/chat.db");
    QList<DesktopSettingsPaneOpener::DatabaseNote> shown;
    QStringList opened;
    int changes = 0;
    DesktopSettingsPaneOpener opener(
        contacts, database,
        [&](const DesktopSettingsPaneOpener::DatabaseNote& note) {
          shown.append(note);
          return noteAnswer;
        },
        [&](const QString& folder) { opened.append(folder); });
    opener.setAfterAddressBookChange([&] { ++changes; });
    opener.openPane(pane);

    QCOMPARE(asked, prompts);
    QCOMPARE(changes, prompts);
    if (prompts) QCOMPARE(contacts->addressBook(), std::optional<QString>(book.path()));
    QCOMPARE(shown.size(), notes);
    QCOMPARE(opened.size(), foldersOpened);
    if (foldersOpened) QCOMPARE(opened.first(), QStringLiteral("/home/someone/Library/Messages"));
    if (notes) {
      const QString& text = shown.first().text;
      for (const QString& part : {database, QStringLiteral("chat.db-wal"), QStringLiteral("chat.db-shm"),
                                  QStringLiteral("writable"), QStringLiteral("-messagesDB <path>")}) {
        QVERIFY2(text.contains(part), qPrintable(part));
      }
    }
  }
};

MURMELA_TEST(ShellTest)
#include "ShellTest.moc"
