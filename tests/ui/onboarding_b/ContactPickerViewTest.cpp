// The contact picker and its name sheet on a real coordinator over fakes:
// the loading, error, empty and list states, the failed-run box, the search,
// the selection, and what every button asks of the coordinator.
#include "ScreenHarness.h"

#include "kit/controls/PlainTextField.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "screens/picker/FailedRunPanel.h"
#include "sheets/ConfirmContactNameSheet.h"
#include "sheets/ScrollingPlainText.h"
#include "shell/ScreenHosts.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>

using namespace murmela;
using namespace murmela::test;

namespace {

const QList<TestContact> kContacts = {
    {QStringLiteral("+15550101"), QStringLiteral("Mary-Jane Watson"), 48213},
    {QStringLiteral("sam@example.com"), QStringLiteral("Sam Rivera"), 1200},
    {QStringLiteral("+15557777"), QString(), 80},
};

QString squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

// The labels under `node` that a reader shows (not hidden) and that label
// nothing: a reader entering `node` reads each of them.
QStringList unrelatedLabels(QAccessibleInterface* node) {
  QStringList labels;
  for (int index = 0; index < node->childCount(); ++index) {
    QAccessibleInterface* child = node->child(index);
    if (!child || child->state().invisible) continue;
    if (child->role() == QAccessible::StaticText && child->relations().isEmpty())
      labels.append(child->text(QAccessible::Name));
    labels += unrelatedLabels(child);
  }
  return labels;
}

QStringList handles(const QList<ContactSummary>& contacts) {
  QStringList result;
  for (const ContactSummary& contact : contacts) result.append(contact.handle);
  return result;
}

// A picker that has appeared, over a coordinator that loaded `contacts`.
struct Picker {
  explicit Picker(const QList<TestContact>& contacts, bool loadFails = false, bool preload = true) {
    harness.setContacts(contacts);
    harness.failContactLoads(loadFails);
    if (preload) harness.loadContacts();
    view = std::make_unique<ContactPickerView>(hostsOf(harness.coordinator()));
    view->show();
    harness.loadContacts();  // whatever the appearance started has ended
  }
  ScreenHarness harness;
  std::unique_ptr<ContactPickerView> view;
};

}  // namespace

class ContactPickerViewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    FontRegistry::registerFonts();
  }

  void states_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("wrapEnabled");
    QTest::addColumn<qreal>("listTop");
    QTest::addColumn<bool>("retry");
    QTest::addColumn<bool>("failedRun");
    QTest::newRow("loading") << "loading" << 0 << false << 268.0 << false << false;
    QTest::newRow("load failed") << "load failed" << 0 << false << 326.0 << true << false;
    QTest::newRow("no conversations") << "empty" << 0 << false << 268.0 << false << false;
    QTest::newRow("list") << "list" << 3 << true << 268.0 << false << false;
    QTest::newRow("failed run") << "failed run" << 3 << true << 326.0 << false << true;
  }
  void states() {
    QFETCH(QString, state);
    QFETCH(bool, failedRun);
    ScreenHarness harness;
    if (state == QLatin1String("loading")) {
      harness.setContacts(kContacts);  // not loaded yet: the screen has not appeared
    } else if (state == QLatin1String("load failed")) {
      harness.failContactLoads(true);
      harness.setContacts(kContacts);
      harness.loadContacts();
    } else if (state != QLatin1String("empty")) {
      harness.setContacts(kContacts);
      harness.loadContacts();
    }
    if (failedRun) harness.failRun(harness.coordinator().contacts().first(), QStringLiteral("upstream timed out"));
    ContactPickerView view(hostsOf(harness.coordinator()));
    if (state != QLatin1String("loading")) {
      view.show();
      harness.loadContacts();
    }
    const ContactPickerView::Layout layout = view.layout();
    QTEST(int(view.listView()->listLayout().frames.size()), "rows");
    QTEST(layout.wrapEnabled, "wrapEnabled");
    QCOMPARE(view.buttonHost().activate(ContactPickerView::wrapButton), layout.wrapEnabled);
    QTEST(layout.list.top(), "listTop");
    QCOMPARE(layout.list.bottom(), 670.0);
    QTEST(layout.retry.has_value(), "retry");
    QCOMPARE(layout.errorBox.has_value(), failedRun);
    QCOMPARE(layout.panel.has_value(), failedRun);
    QCOMPARE(view.failedRunPanel()->isVisibleTo(&view), failedRun);
    // Absent elements leave the others where they are.
    QCOMPARE(layout.eyebrow.top(), 100.0);
    QCOMPARE(layout.title.top(), 134.0);
    QCOMPARE(layout.searchBar.top(), 210.0);
    QCOMPARE(std::min(layout.back.top(), layout.wrap.top()), 706.0);
    if (failedRun) {
      QCOMPARE(layout.errorBox->top(), 256.0);
      QCOMPARE(layout.panel->topLeft(), QPointF(20.0, 268.0));
    }
  }

  void failedRunPanel_data() {
    QTest::addColumn<bool>("logFile");
    QTest::addColumn<QString>("error");
    QTest::newRow("with a log file") << true << "upstream timed out";
    QTest::newRow("no log file") << false << "upstream timed out";
    QTest::newRow("a long error, rich-looking") << true << QString("<b>x</b> ").repeated(200);
  }
  void failedRunPanel() {
    QFETCH(bool, logFile);
    QFETCH(QString, error);
    Picker picker(kContacts);
    picker.view->setLogFilePath(logFile ? std::optional<QString>(QStringLiteral("/tmp/logs/analysis.log"))
                                        : std::nullopt);
    picker.harness.failRun(picker.harness.coordinator().contacts().first(), error);
    FailedRunPanel* panel = picker.view->failedRunPanel();
    QVERIFY(panel->isVisibleTo(picker.view.get()));
    const QString shown = *picker.harness.coordinator().processingError();
    QCOMPARE(shown, QStringLiteral("[ScriptedRunError] ") + error);
    QVERIFY(panel->errorText()->toPlainText().startsWith(QStringLiteral("[ScriptedRunError] ")));
    QVERIFY(panel->errorText()->toPlainText().count(QLatin1Char('\n')) <= 5);  // at most six lines
    QVERIFY(panel->errorText()->textInteractionFlags() & Qt::TextSelectableByMouse);
    QCOMPARE(panel->logText()->isVisibleTo(panel), logFile);
    const QString log = QStringLiteral("Log: /tmp/logs/analysis.log");
    if (logFile) QCOMPARE(panel->logText()->toPlainText(), log);
    // Readers: the panel's description holds the whole error and the path;
    // no label under it, or anywhere on the screen, labels nothing while
    // holding either (a reader entering the screen or the panel reads those).
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(panel);
    QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Last analysis failed"));
    QCOMPARE(group->text(QAccessible::Description), logFile ? shown + QLatin1Char('\n') + log : shown);
    QCOMPARE(unrelatedLabels(group), QStringList{});
    for (const QString& label : unrelatedLabels(QAccessible::queryAccessibleInterface(picker.view.get())))
      QVERIFY2(!label.contains(QStringLiteral("ScriptedRunError")) && !label.contains(QStringLiteral("Log:")),
               qPrintable(label));
    // A search leaves the panel's texts as they were: readers are told
    // nothing of them again (each new text is a change they hear).
    const QSignalSpy errorSet(panel->errorText(), &QTextEdit::textChanged);
    const QSignalSpy logSet(panel->logText(), &QTextEdit::textChanged);
    QTest::keyClick(picker.view->searchField(), Qt::Key_5);
    QCOMPARE(picker.view->query(), QStringLiteral("5"));
    QCOMPARE(errorSet.count() + logSet.count(), 0);
    // However long the error, the panel's buttons stay above the navigation row.
    QVERIFY(panel->geometry().bottom() < picker.view->layout().back.top());
    QVERIFY(picker.view->layout().errorBox->bottom() <= picker.view->layout().list.top());

    QVERIFY(panel->buttonHost().activate(FailedRunPanel::copyLogButton));
    QCOMPARE(picker.harness.fakes().copied.size(), 1);
    QVERIFY(panel->buttonHost().activate(FailedRunPanel::dismissButton));
    QVERIFY(!picker.harness.coordinator().processingError());
    QVERIFY(!picker.view->failedRunPanel()->isVisibleTo(picker.view.get()));
    QCOMPARE(picker.view->layout().list.top(), 268.0);
  }

  // A failed run is said once on arrival; its panel is named; the search
  // field's description is not its name again.
  void aFailedRunIsSpokenOnceOnArrival() {
    ScreenHarness harness;
    harness.setContacts(kContacts);
    harness.loadContacts();
    harness.failRun(harness.coordinator().contacts().first(), QStringLiteral("upstream timed out"));
    ContactPickerView view(hostsOf(harness.coordinator()));
    view.show();
    QCOMPARE(view.reader().announcement(), "Last analysis failed. [ScriptedRunError] upstream timed out");
    QCOMPARE(view.failedRunPanel()->accessibleName(), QStringLiteral("Last analysis failed"));
    const QString description =
        QAccessible::queryAccessibleInterface(view.searchField())->text(QAccessible::Description);
    QVERIFY(!description.contains(QStringLiteral("Search contacts")));
    // The panel shows the error: the screen's own texts, read as readers
    // enter it, do not hold it again.
    for (const PaintedReader::KeyedText& keyed : view.reader().texts())
      QVERIFY(!keyed.text.text.contains(QStringLiteral("timed out")));
    QCOMPARE(view.accessibleName(), QStringLiteral("Choose a chat."));
    view.wrapItUp();  // coming back from the name sheet is no news of the screen
    QVERIFY(view.nameSheet() && view.accessibleName().isEmpty());
  }

  // A loading error is shown whole however long it is (pushing the list
  // down), Retry below it, and readers are given it whole.
  void loadingErrorShownWhole_data() {
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("listMoves");
    QTest::newRow("one line") << "The contacts could not be read." << false;
    QTest::newRow("no room for a copy") << QStringLiteral(
        "Could not open Messages database: the folder of chat.db cannot be written, so Murmela reads a private copy "
        "of chat.db and chat.db-wal instead, and a copy needs 425 MB, but "
        "/home/someone/.cache/murmela-app/database-copies has 104 MB free. Free some space there, or set "
        "XDG_CACHE_HOME to a folder on a disk with more room, then choose Retry. (SQLite: unable to open database "
        "file, error 14, opening /home/someone/Library/Messages/chat.db read-only.)") << true;
  }
  void loadingErrorShownWhole() {
    QFETCH(QString, error);
    QFETCH(bool, listMoves);
    QVERIFY(error.size() < 100 || error.size() > 400);
    Picker picker(kContacts);
    picker.harness.coordinator().setContactLoadingError(error);
    const ContactPickerView::Layout layout = picker.view->layout();
    QVERIFY(layout.loadingError && layout.retry);
    QVERIFY(!layout.loadingErrorText.elided);
    QCOMPARE(squeezed(layout.loadingErrorText.shownText()), squeezed(error));
    QVERIFY(layout.retry->top() >= layout.loadingError->bottom());
    QVERIFY(layout.list.top() >= layout.retry->bottom());
    QCOMPARE(layout.list.top() > ContactPickerView::kListTopWithError, listMoves);
    QCOMPARE(layout.list.bottom(), 670.0);
    const QList<PaintedReader::KeyedText> texts = picker.view->reader().texts();
    QVERIFY(std::any_of(texts.cbegin(), texts.cend(), [&](const auto& keyed) { return keyed.text.text == error; }));
    QVERIFY(picker.view->buttonHost().focusButton(ContactPickerView::retryButton));
  }

  // A log path too long for a line breaks after a folder, never inside a name.
  void logPathBreaksAfterAFolder() {
    const QFontMetricsF metrics(monospacedFont(FailedRunPanel::kLogFontSize));
    const QString folders = QStringLiteral("Log: /home/someone/.local/share/murmela-app/logs/");
    const QString text =
        FailedRunPanel::logLines(folders + "analysis.log", metrics, metrics.horizontalAdvance(folders + "a"));
    QCOMPARE(text, folders + "\nanalysis.log");
  }

  // A processing error hides a loading error until it is dismissed.
  void dismissShowsTheLoadingError() {
    Picker picker(kContacts);
    picker.harness.failRun(picker.harness.coordinator().contacts().first(), QStringLiteral("run"));
    picker.harness.failContactLoads(true);
    picker.harness.loadContacts();
    QVERIFY(picker.harness.coordinator().contactLoadingError());
    QVERIFY(picker.view->layout().errorBox && !picker.view->layout().retry);
    QVERIFY(picker.view->failedRunPanel()->buttonHost().activate(FailedRunPanel::dismissButton));
    QVERIFY(picker.view->layout().retry && !picker.view->layout().errorBox);
    const int reads = picker.harness.fakes().reader->summaryReads;
    picker.harness.failContactLoads(false);
    QVERIFY(picker.view->buttonHost().activate(ContactPickerView::retryButton));
    picker.harness.loadContacts();
    QCOMPARE(picker.harness.fakes().reader->summaryReads, reads + 2);  // Retry's and the test's
    QVERIFY(!picker.view->layout().retry);
  }

  void searchAndSelection_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("everyone") << "" << QStringList{"+15550101", "sam@example.com", "+15557777"};
    QTest::newRow("a name, any case") << "SAM" << QStringList{"sam@example.com"};
    QTest::newRow("digits of a handle") << "7777" << QStringList{"+15557777"};
    QTest::newRow("nobody") << "zzz" << QStringList{};
  }
  void searchAndSelection() {
    QFETCH(QString, query);
    QFETCH(QStringList, shown);
    Picker picker(kContacts);
    QTest::keyClicks(picker.view->searchField(), query);
    QCOMPARE(picker.view->query(), query);
    QCOMPARE(handles(picker.view->listView()->contacts()), shown);
    // The first contact stays chosen, shown or not, and is the one that gets wrapped.
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(QStringLiteral("+15550101")));
    QVERIFY(picker.view->layout().wrapEnabled);
    QTest::keyClick(picker.view->searchField(), Qt::Key_Return);  // Return takes the main action
    QVERIFY(picker.view->nameSheet());
    QCOMPARE(picker.view->contactPendingNameConfirmation()->handle, QStringLiteral("+15550101"));
  }

  void clickingARowSelectsIt() {
    Picker picker(kContacts);
    ContactListView* list = picker.view->listView();
    const QRectF second = list->listLayout().frames[1];
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center().toPoint());
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(QStringLiteral("sam@example.com")));
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(list)->focusChild();
    QVERIFY(row && row->state().selected && row->text(QAccessible::Name) + list->accessibleName() == "Sam RiveraChats");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center().toPoint());
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(QStringLiteral("sam@example.com")));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(QStringLiteral("+15557777")));
  }

  // A list longer than its box scrolls with the wheel, and the keys keep the
  // chosen row in view.
  void listScrolls() {
    QList<TestContact> many;
    for (int i = 0; i < 30; ++i) many.append({QStringLiteral("+1555000%1").arg(i, 4, 10, QLatin1Char('0')), {}, 10});
    Picker picker(many);
    ContactListView* list = picker.view->listView();
    QVERIFY(list->listLayout().contentHeight > list->viewport()->height());
    QCOMPARE(list->scrollOffset(), 0);
    QWheelEvent wheel(QPointF(100, 100), list->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list->viewport(), &wheel);
    QVERIFY(list->scrollOffset() > 0);
    for (int i = 0; i < 29; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(many.last().handle));
    const QRectF last = list->listLayout().frames.last().translated(0, -list->scrollOffset());
    QVERIFY(last.bottom() <= list->viewport()->height());
  }

  // Contacts that arrive after the screen appeared (a failed load, then
  // Retry): the contact that would be wrapped is the one highlighted.
  void lateContactsHighlightTheOneWrapped() {
    Picker picker(kContacts, /*loadFails=*/true, /*preload=*/false);
    QVERIFY(picker.harness.coordinator().contactLoadingError());
    QVERIFY(!picker.view->layout().wrapEnabled);
    picker.harness.failContactLoads(false);
    QVERIFY(picker.view->buttonHost().activate(ContactPickerView::retryButton));
    picker.harness.loadContacts();
    QCOMPARE(picker.view->selectedContact()->handle, QStringLiteral("+15550101"));
    ContactListView* list = picker.view->listView();
    QCOMPARE(list->contacts().size(), 3);
    QVERIFY(picker.view->layout().wrapEnabled);
    // The list draws as selected exactly the contact "Wrap it up" uses.
    QCOMPARE(list->selectedHandle(), std::optional<QString>(QStringLiteral("+15550101")));
    picker.view->wrapItUp();
    QCOMPARE(picker.view->contactPendingNameConfirmation()->handle, QStringLiteral("+15550101"));
  }

  void nameSheet_data() {
    QTest::addColumn<int>("contact");
    QTest::addColumn<QString>("quoted");
    QTest::addColumn<QString>("prefilled");
    QTest::addColumn<QString>("typed");  // "-": leave the field as it is
    QTest::addColumn<QString>("passed");
    QTest::newRow("first word of the name") << 0 << "Mary-Jane Watson"
                                            << "Mary"
                                            << "-"
                                            << "Mary";
    QTest::newRow("a typed name, trimmed") << 0 << "Mary-Jane Watson"
                                           << "Mary"
                                           << "  MJ Watson "
                                           << "MJ Watson";
    QTest::newRow("an emptied field: the default") << 1 << "Sam Rivera"
                                                   << "Sam"
                                                   << "   "
                                                   << "Sam";
    QTest::newRow("no card: the handle") << 2 << "+15557777"
                                         << "+15557777"
                                         << "-"
                                         << "+15557777";
  }
  void nameSheet() {
    QFETCH(int, contact);
    QFETCH(QString, typed);
    Picker picker(kContacts);
    const ContactSummary chosen = picker.harness.coordinator().contacts()[contact];
    picker.view->selectHandle(chosen.handle);
    QVERIFY(picker.view->buttonHost().activate(ContactPickerView::wrapButton));
    ConfirmContactNameSheet* sheet = picker.view->nameSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QCOMPARE(sheet->width(), 430);
    QTEST(sheet->originalName(), "quoted");
    QTEST(sheet->nameField()->text(), "prefilled");
    QTEST(picker.view->confirmedName(), "prefilled");
    if (typed != QLatin1String("-")) {
      sheet->nameField()->selectAll();
      QTest::keyClick(sheet->nameField(), Qt::Key_Backspace);
      QTest::keyClicks(sheet->nameField(), typed);
      QCOMPARE(picker.view->confirmedName(), typed);
    }
    // Opening the dialog moves no painted focus while the keyboard is in the
    // field: no ring shows on the close button. Return in the field only ends
    // the edit; "Start wrapping →" with the keyboard focus starts.
    QCOMPARE(sheet->buttonHost().focused(), std::nullopt);
    QVERIFY(!sheet->buttonHost().showsFocus(ConfirmContactNameSheet::closeButton));
    const QString screenBefore = screenName(picker.harness.coordinator());
    QTest::keyClick(sheet->nameField(), Qt::Key_Return);
    QVERIFY(picker.view->nameSheet() == sheet && screenName(picker.harness.coordinator()) == screenBefore);
    QVERIFY(sheet->buttonHost().focusButton(ConfirmContactNameSheet::startButton));
    QTest::keyClick(sheet, Qt::Key_Return);
    QTRY_COMPARE(screenName(picker.harness.coordinator()), QStringLiteral("processing"));
    QVERIFY(!picker.view->contactPendingNameConfirmation());
    QTEST(picker.harness.coordinator().processingDisplayName(), "passed");
    QCOMPARE(picker.harness.coordinator().lastProcessedMessageCount(), chosen.messageCount);
  }

  void cancellingTheSheet_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("close button") << false;
    QTest::newRow("escape") << true;
  }
  void cancellingTheSheet() {
    QFETCH(bool, escape);
    Picker picker(kContacts);
    picker.view->selectHandle(QStringLiteral("sam@example.com"));
    picker.view->wrapItUp();
    ConfirmContactNameSheet* sheet = picker.view->nameSheet();
    QVERIFY(sheet);
    QTest::keyClicks(sheet->nameField(), QStringLiteral("ny"));
    if (escape) {
      QTest::keyClick(sheet, Qt::Key_Escape);
    } else {
      QVERIFY(sheet->buttonHost().activate(ConfirmContactNameSheet::closeButton));
    }
    QVERIFY(!picker.view->nameSheet());
    QVERIFY(!picker.view->contactPendingNameConfirmation());
    QCOMPARE(picker.view->confirmedName(), QStringLiteral("Samny"));
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(QStringLiteral("sam@example.com")));
    QCOMPARE(screenName(picker.harness.coordinator()), QStringLiteral("welcome"));
    // The next "Wrap it up" starts again from the default name.
    picker.view->wrapItUp();
    QCOMPARE(picker.view->nameSheet()->nameField()->text(), QStringLiteral("Sam"));
  }

  void back_data() {
    QTest::addColumn<bool>("skipsGate");
    QTest::addColumn<QString>("screen");
    QTest::newRow("with the permission gate") << false << "permissions";
    QTest::newRow("gate skipped") << true << "intelligence";
  }
  void back() {
    QFETCH(bool, skipsGate);
    ScreenHarness harness;
    harness.fakes().skipsPermissionGate = skipsGate;
    // The gate is fixed when the coordinator is made.
    CoordinatorServices services = harness.fakes().services();
    AppCoordinator coordinator(std::move(services));
    ContactPickerView view(hostsOf(coordinator));
    QVERIFY(view.buttonHost().activate(ContactPickerView::backButton));
    QTEST(screenName(coordinator), "screen");
    coordinator.shutdown();
  }
};

MURMELA_TEST(ContactPickerViewTest)
#include "ContactPickerViewTest.moc"
