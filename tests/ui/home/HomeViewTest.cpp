// The home screen on a real coordinator over fakes, with saved reports in a
// temporary application folder: the rows, reopening one, the reset behind
// its confirmation, and the "My shares" entry.
#include "HomeTestSupport.h"

#include "app/AppCoordinator.h"
#include "kit/access/AccessibleEvents.h"
#include "app/SavedReportLibrary.h"
#include "common/AppPaths.h"
#include "privacy/PrivacyFilterSetup.h"
#include "screens/home/HomeView.h"
#include "sheets/myshares/MySharesView.h"
#include "shell/ScreenHosts.h"
#include "support/FakeNeighbours.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QWheelEvent>

#include <atomic>
#include <chrono>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

namespace {

Date localTime(const QString& isoLocal) { return Date::fromQDateTime(QDateTime::fromString(isoLocal, Qt::ISODate)); }

// Saves a report for `them` in the application folder, its file dated `savedAt`.
QString saveReport(const QString& them, qint64 messages, Date savedAt) {
  WrappedReport report = minimalReport();
  report.participantNames.them = them;
  report.totalMessages = messages;
  const QString path = SavedReportLibrary().save(report, savedAt);
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(savedAt.toQDateTime(), QFileDevice::FileModificationTime))
    qWarning("could not date %s", qPrintable(path));
  return path;
}

void settle(AppCoordinator& coordinator) {
  QVERIFY(coordinator.waitForBackgroundWork(5s));
  QCoreApplication::processEvents();
}

// Each object readers were told came or went, with the parent it was told under.
struct Told {
  QAccessible::Event type;
  QAccessible::Id object;
  QAccessible::Id parent;
  QString name;
};
QList<Told> told;
void tell(QAccessibleEvent* event) {
  if (event->type() != QAccessible::ObjectCreated && event->type() != QAccessible::ObjectDestroyed) return;
  QAccessibleInterface* object = event->accessibleInterface();
  QAccessibleInterface* parent = object ? object->parent() : nullptr;
  if (parent && !parent->isValid()) parent = nullptr;  // a reader could not name it
  told.append({event->type(), object ? QAccessible::uniqueId(object) : 0, parent ? QAccessible::uniqueId(parent) : 0,
               object ? object->text(QAccessible::Name) : QString()});
}

// The tree under `node` both ways (each child's parent is the node that lists
// it, at its index); the names of the objects of `role` met on the way.
void walkTree(QAccessibleInterface* node, QAccessible::Role role, QStringList& found) {
  for (int index = 0; index < node->childCount(); ++index) {
    QAccessibleInterface* child = node->child(index);
    QVERIFY(child && child->parent() == node && node->indexOfChild(child) == index);
    if (child->role() == role) found.append(child->text(QAccessible::Name));
    walkTree(child, role, found);
  }
}

// The row's frame on screen, as far as it shows.
QRectF rowOnScreen(const HomeView& view, int index) {
  const HomeViewLayout layout = view.screenLayout();
  return layout.rowLayouts[index]
      .frame.translated(0.0, layout.library.top() - view.scroller().offset())
      .intersected(layout.library);
}

}  // namespace

class HomeViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    FontRegistry::registerFonts();
    prepareAppTests();
  }
  void init() {
    harness_ = std::make_unique<CoordinatorHarness>();
    alerts_ = {};
    QDir(*SavedReportLibrary::defaultReportsDir()).removeRecursively();
  }
  void cleanup() { harness_.reset(); }

  void rowsInOrderWithTheirDates_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QList<double>>("hoursAgo");  // report i is for "P<i>" with 10^i messages
    QTest::addColumn<QStringList>("shown");       // name and detail line of each row, top to bottom
    QTest::newRow("empty library") << "2026-01-01T10:00:00" << QList<double>{} << QStringList{};
    QTest::newRow("today, yesterday, other years, newest first")
        << "2026-01-01T10:00:00" << QList<double>{24 * 400, 2, 24 * 35, 11, 24 * 800}
        << QStringList{"you & P1|TODAY \u00B7 10 MSGS", "you & P3|DEC 31, 2025 \u00B7 1,000 MSGS",
                       "you & P2|NOV 27, 2025 \u00B7 100 MSGS", "you & P0|NOV 27, 2024 \u00B7 1 MSGS",
                       "you & P4|OCT 24, 2023 \u00B7 10,000 MSGS"};
    QTest::newRow("just after local midnight")
        << "2026-03-10T00:30:00" << QList<double>{0.25, 1}
        << QStringList{"you & P0|TODAY \u00B7 1 MSGS", "you & P1|MAR 9, 2026 \u00B7 10 MSGS"};
  }
  void rowsInOrderWithTheirDates() {
    QFETCH(QString, now);
    QFETCH(QList<double>, hoursAgo);
    QFETCH(QStringList, shown);
    const Date clock = localTime(now);
    qint64 messages = 1;
    for (qsizetype i = 0; i < hoursAgo.size(); ++i, messages *= 10)
      saveReport(QStringLiteral("P%1").arg(i), messages, clock.addingSeconds(-hoursAgo[i] * 3600.0));

    const std::unique_ptr<HomeView> view = showHome(clock);
    const HomeViewLayout layout = view->screenLayout();
    QStringList rows;
    for (const PastWrapRow::Layout& row : layout.rowLayouts)
      rows.append(row.name.shownText() + QLatin1Char('|') + row.detail.shownText());
    QCOMPARE(rows, shown);
    QCOMPARE(layout.emptyCard.has_value(), shown.isEmpty());
    QVERIFY(!layout.divider.isEmpty());  // "Recent" stays above the empty card too
    QVERIFY(layout.library.top() > layout.divider.bottom() && layout.library.bottom() < layout.myShares.top());
    const QList<QColor> cycle{MurmelaTheme::rose, MurmelaTheme::sageDeep, MurmelaTheme::gold, MurmelaTheme::sage};
    for (qsizetype i = 0; i < layout.rows.size(); ++i) QCOMPARE(layout.rows[i].color, cycle[i % 4]);
  }

  void initials_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("initials");
    QTest::newRow("three words") << "Mary Jane Watson"
                                 << "MJ";
    QTest::newRow("one word between spaces") << " alice "
                                             << "a";
    QTest::newRow("hyphenated") << "Jean-Luc"
                                << "J";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("other white space stays inside") << "Ann\tLee  Smith"
                                                    << "AS";
    QTest::newRow("whole graphemes") << "\U0001F1F5\U0001F1F9 Rui"
                                     << "\U0001F1F5\U0001F1F9R";
  }
  void initials() {
    QFETCH(QString, name);
    QFETCH(QString, initials);
    QCOMPARE(PastWrapRow::initials(name), initials);
  }

  void clickingARowShowsItsDeck_data() {
    QTest::addColumn<int>("reports");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("scrollToEnd");
    QTest::newRow("first") << 1 << 0 << false;
    QTest::newRow("third") << 4 << 2 << false;
    QTest::newRow("last, scrolled into view") << 12 << 11 << true;
  }
  void clickingARowShowsItsDeck() {
    QFETCH(int, reports);
    QFETCH(int, row);
    QFETCH(bool, scrollToEnd);
    const Date now = localTime("2026-01-01T10:00:00");
    for (int i = 0; i < reports; ++i) saveReport(QStringLiteral("P%1").arg(i), 100 + i, now.addingSeconds(-i * 60.0));
    const std::unique_ptr<HomeView> view = showHome(now);
    if (scrollToEnd) {
      QVERIFY(view->scroller().scrolls());
      QWheelEvent wheel(view->screenLayout().library.center(), view->mapToGlobal(QPointF(0, 0)), QPoint(),
                        QPoint(0, -120 * 40), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(view.get(), &wheel);
      QCOMPARE(view->scroller().offset(), view->scroller().maxOffset());
    }
    QVERIFY(!rowOnScreen(*view, row).isEmpty());
    clickAt(*view, rowOnScreen(*view, row));

    const AppScreen& screen = harness_->coordinator->screen();
    QVERIFY(screen.is(AppScreen::Kind::results));
    QCOMPARE(screen.report()->participantNames.them, QStringLiteral("P%1").arg(row));
    QCOMPARE(screen.report()->totalMessages, 100 + row);
  }

  // Through the gear's menu to the confirmation, with the real privacy setup
  // behind the reset: its folders go, saved reports and shares.json stay.
  void resetBehindItsConfirmation_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("reset");
    QTest::newRow("cancel") << "Cancel" << false;
    QTest::newRow("reset") << "Reset App" << true;
  }
  void resetBehindItsConfirmation() {
    QFETCH(QString, answer);
    QFETCH(bool, reset);
    const QDir app(*AppPaths::appFolder());
    QVERIFY(app.mkpath("venv/bin") && app.mkpath("hf-cache/models") && app.mkpath("logs"));
    const QString report = saveReport(QStringLiteral("Maya"), 10, Date::now());
    QFile shares(app.filePath(QStringLiteral("shares.json")));
    QVERIFY(shares.open(QIODevice::WriteOnly) && shares.write(R"({"shares":[]})") > 0);
    shares.close();
    PrivacyFilterSetup setup;
    CoordinatorServices services = harness_->fakes.services();
    services.privacySetup = std::make_shared<PrivacyFilterSetupDriver>(setup);
    harness_->coordinator = std::make_unique<AppCoordinator>(services);
    AppCoordinator& coordinator = *harness_->coordinator;
    coordinator.setHasAcceptedTerms(true);
    coordinator.goHome();
    const std::unique_ptr<HomeView> view = showHome(Date::now());

    clickAt(*view, view->screenLayout().gear);
    QVERIFY(view->settingsMenuOpen());
    clickAt(*view, view->screenLayout().menuItem);
    QVERIFY(!view->settingsMenuOpen());
    QCOMPARE(alerts_.shown.size(), 1);
    QCOMPARE(alerts_.shown.last().request.title, QStringLiteral("Reset Murmela?"));
    QVERIFY(alerts_.shown.last().request.message.contains(QStringLiteral("Saved Murmelas and share links are kept")));
    QVERIFY(view->resetConfirmationVisible());
    QVERIFY(alerts_.answer(answer));

    QVERIFY(!view->resetConfirmationVisible());
    QCOMPARE(coordinator.screen().is(AppScreen::Kind::welcome), reset);
    QCOMPARE(coordinator.hasAcceptedTerms(), !reset);
    QCOMPARE(coordinator.pastWraps().isEmpty(), reset);
    for (const char* folder : {"venv", "hf-cache", "logs"}) QCOMPARE(app.exists(folder), !reset);
    QVERIFY(QFile::exists(report));
    QVERIFY(QFile::exists(shares.fileName()));
    coordinator.goHome();
    QCOMPARE(coordinator.pastWraps().size(), 1);
  }

  // A run whose report could not be saved: the error, also in the analysis
  // log, survives Done and is shown on the home screen until dismissed.
  void failedSaveIsShownAfterDone() {
    harness_->fakes.reader->messages = {textMessage(1, 5)};
    harness_->fakes.reportsDir = harness_->environment.path("reports-is-a-file");
    QVERIFY(QFile(*harness_->fakes.reportsDir).open(QIODevice::WriteOnly));
    AppCoordinator& coordinator = harness_->make();
    coordinator.startProcessing(ContactSummary{QStringLiteral("+15550001"), QStringLiteral("Sam"), 1, {}, {}});
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    const QString error = coordinator.processingError().value_or(QString());
    QVERIFY(error.startsWith(AppCoordinator::kSaveFailedPrefix) && coordinator.analysisLog().contains(error));
    coordinator.goHome();  // Done
    const std::unique_ptr<HomeView> view = showHome(Date::now());
    QVERIFY(alerts_.shown.size() == 1 && alerts_.shown.last().request.title == error);
    QVERIFY(view->errorAlertVisible() && coordinator.processingError() == error);
    QVERIFY(alerts_.answer(QStringLiteral("Dismiss")));
    QVERIFY(!coordinator.processingError() && !view->errorAlertVisible());
  }

  // Return starts a new report; Esc closes the menu; Tab reaches a row below
  // the fold and scrolls it into view.
  void keyboard() {
    const Date now = Date::now();
    for (int i = 0; i < 12; ++i) saveReport(QStringLiteral("P%1").arg(i), 1, now.addingSeconds(-i * 60.0));
    const std::unique_ptr<HomeView> view = showHome(now);
    view->activateWindow();
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());

    view->setSettingsMenuOpen(true);
    QTest::keyClick(view.get(), Qt::Key_Escape);
    QVERIFY(!view->settingsMenuOpen());

    // Gear, New Murmela, then the rows: the eleventh row is out of view until focused.
    const int row = 10;
    QVERIFY(rowOnScreen(*view, row).isEmpty());
    for (int step = 0; step < 2 + row + 1; ++step) QTest::keyClick(view.get(), Qt::Key_Tab);
    QCOMPARE(view->buttonHost().focused(), std::optional<int>(HomeButton::firstRow + row));
    view->repaint();
    QCOMPARE(rowOnScreen(*view, row).height(), view->screenLayout().rowLayouts[row].frame.height());

    QTest::keyClick(view.get(), Qt::Key_Return);  // the focused row
    QVERIFY(harness_->coordinator->screen().is(AppScreen::Kind::results));
    QCOMPARE(harness_->coordinator->screen().report()->participantNames.them, QStringLiteral("P%1").arg(row));
  }

  // Opened, closed and opened again, the settings menu's objects go from the
  // parent they came under, the tree holds both ways, and no button readers
  // cannot see stands for the backdrop that closes the menu.
  void settingsMenuReaderTree() {
    const std::unique_ptr<HomeView> view = showHome(Date::now());
    QAccessibleInterface* screen = QAccessible::queryAccessibleInterface(view.get());
    setAccessibleEventSink(tell);
    view->reader().tellChanges();  // what readers know before the menu opens
    told.clear();
    const auto usual = qScopeGuard([] { setAccessibleEventSink(nullptr); });
    for (const bool open : {true, false, true}) {
      view->setSettingsMenuOpen(open);
      view->reader().tellChanges();
      QStringList menus, buttons;
      walkTree(screen, QAccessible::PopupMenu, menus);
      walkTree(screen, QAccessible::Button, buttons);
      QCOMPARE(menus, open ? QStringList{"Settings"} : QStringList{});
      QCOMPARE(buttons.contains(QStringLiteral("Settings")), !open);
      QVERIFY(!buttons.contains(QStringLiteral("Close menu")));
    }
    QHash<QAccessible::Id, std::pair<QAccessible::Id, QString>> cameUnder;
    QStringList came;
    for (const Told& event : std::as_const(told)) {
      if (event.type == QAccessible::ObjectCreated) {
        cameUnder.insert(event.object, {event.parent, event.name});
        came.append(event.name);
      } else if (const auto known = cameUnder.constFind(event.object); known != cameUnder.cend()) {
        QVERIFY2(known->first == event.parent, qPrintable(known->second + " left from another parent"));
      }
    }
    QCOMPARE(came.count(QStringLiteral("Reset App")), 2);
    QCOMPARE(came.count(QStringLiteral("Close menu")), 0);
  }

  void resetByKeyboardLeavesTheKeysToItsAlert() {
    const std::unique_ptr<HomeView> view = showHome(Date::now());
    view->activateWindow();
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Space, Qt::Key_Space}) QTest::keyClick(view.get(), key);
    QVERIFY(view->resetConfirmationVisible() && !view->buttonHost().showsFocus(HomeButton::gear));
    QVERIFY(alerts_.answer(QStringLiteral("Cancel")) && view->buttonHost().showsFocus(HomeButton::gear));
  }

  void returnStartsANewReport() {
    const std::unique_ptr<HomeView> view = showHome(Date::now());
    QTest::keyClick(view.get(), Qt::Key_Return);
    settle(*harness_->coordinator);
    QVERIFY(harness_->coordinator->screen().is(AppScreen::Kind::intelligence));
  }

  // The count is the last published list's; opening the sheet refreshes once
  // more even though showing the screen has just done so, and the sheet's own
  // appearance refreshes again.
  void mySharesCountAndRefreshes() {
    harness_->fakes.shares.resize(2);
    harness_->fakes.shares[0].shareID = QStringLiteral("a");
    harness_->fakes.shares[1].shareID = QStringLiteral("b");
    CoordinatorServices services = harness_->fakes.services();
    auto reads = std::make_shared<std::atomic<int>>(0);
    services.activeShares = [reads, read = services.activeShares] {
      ++*reads;
      return read();
    };
    harness_->coordinator = std::make_unique<AppCoordinator>(services);
    const std::unique_ptr<HomeView> view = showHome(Date::now());
    QCOMPARE(reads->load(), 1);
    QCOMPARE(view->screenLayout().shareCount.shownText(), QStringLiteral("2"));
    QCOMPARE(view->buttonHost().target(HomeButton::myShares)->description, QStringLiteral("2"));

    clickAt(*view, view->screenLayout().myShares);
    QVERIFY(view->sharesSheetVisible());
    QVERIFY(view->sharesSheet() && view->sharesSheet()->isVisible());
    settle(*harness_->coordinator);
    QCOMPARE(reads->load(), 3);
    QCOMPARE(view->sharesSheet()->rows().size(), 2);
  }

 private:
  std::unique_ptr<HomeView> showHome(Date now) {
    AppCoordinator& coordinator = harness_->coordinator ? *harness_->coordinator : harness_->make();
    auto view = std::make_unique<HomeView>(hostsOf(coordinator));
    view->setClock([now] { return now; });
    view->setAlertPresenter(alerts_.presenter());
    view->show();  // lists the saved reports afresh
    settle(coordinator);
    return view;
  }

  std::unique_ptr<CoordinatorHarness> harness_;
  AlertRecorder alerts_;
};

MURMELA_TEST(HomeViewTest)
#include "HomeViewTest.moc"
