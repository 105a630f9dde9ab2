#include "kit/access/AccessibleEventRewriter.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/paint/Contrast.h"
#include "kit/widgets/ButtonHost.h"
#include "screens/picker/ContactListView.h"
#include "support/TestRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTest>
#include <QWidget>

using namespace murmela;

namespace {

enum { closeId, agreeId, termsId, tabId, goId };

// A painted panel as a screen shows one: a title with a close symbol beside
// it, a body, a terms check box and link, a progress bar, a tab and the
// default button that the check box enables.
class Panel : public QWidget {
 public:
  Panel() {
    setFixedSize(200, 200);
    host = new ButtonHost(this, [this] { return targets(); });
    reader = new PaintedReader(this, host);
    reader->setTexts([this] {
      return QList<ShownText>{{title, {10, 10, 120, 24}, true},
                              {QStringLiteral("Pick one."), {10, 50, 180, 30}},
                              {QStringLiteral("About 2 minutes left"), {10, 130, 180, 8}, false, ProgressValue{40}}};
    });
    host->setDefaultButton(goId);
  }
  QList<ButtonTarget> targets() const {
    ++listed;
    auto* self = const_cast<Panel*>(this);
    QList<ButtonTarget> all{
            {.id = closeId, .rect = {170, 10, 20, 20}, .action = [self] { ++self->closed; }, .name = "Close"},
            {.id = agreeId,
             .rect = {10, 100, 16, 16},
             .action = [self] { self->agreed = !self->agreed; },
             .role = ButtonRole::checkBox,
             .name = "Agree",
             .checked = agreed,
             .value = agreed ? "Checked" : "Unchecked"},
            {.id = termsId, .rect = {40, 100, 80, 16}, .role = ButtonRole::link, .name = "Terms"},
            {.id = tabId,
             .rect = {10, 150, 80, 20},
             .role = ButtonRole::tab,
             .name = "This Slide",
             .checked = tabSelected,
             .group = tabGroup},
            {.id = goId,
             .rect = {10, 175, 180, 20},
             .enabled = agreed,
             .action = [self] { ++self->went; },
             .name = "Continue"}};
    if (!showsTerms) all.removeAt(2);
    return all;
  }
  QAccessibleInterface* child(int index) { return QAccessible::queryAccessibleInterface(this)->child(index); }
  // What it shows changed, and the event loop turned.
  void changed() {
    reader->contentChanged();
    QCoreApplication::processEvents();
  }

  ButtonHost* host = nullptr;
  PaintedReader* reader = nullptr;
  QString title = QStringLiteral("Choose a chat.");
  bool agreed = false;
  bool showsTerms = true;
  bool tabSelected = true;
  QString tabGroup{};
  int closed = 0;
  int went = 0;
  mutable int listed = 0;  // how often the buttons were asked for
};

// A widget whose readers see more than its host lists: two texts that say
// the same, a counted button, two tabs of one list and, for readers only,
// rows below what it shows.
class Listing : public QWidget {
 public:
  Listing() {
    setFixedSize(200, 100);
    host = new ButtonHost(this, [this] { return targets(0); });
    reader = new PaintedReader(this, host);
    reader->setTexts([this] {
      QList<ShownText> texts;
      if (firstDone) texts.append({.text = "Done", .rect = {0, 0, 50, 10}, .id = 1});
      texts.append({.text = "Done", .rect = {0, 20, 50, 10}, .id = 2});
      return texts;
    });
    reader->setButtons([this] { return targets(rows); });
  }
  QList<ButtonTarget> targets(int extraRows) const {
    QList<ButtonTarget> all{{.id = 0, .rect = {100, 0, 80, 20}, .name = "My shares", .description = shares},
                            {.id = 1,
                             .rect = {0, 40, 60, 20},
                             .role = ButtonRole::tab,
                             .name = "This Slide",
                             .checked = currentTab == 1,
                             .group = "What to share"},
                            {.id = 2,
                             .rect = {60, 40, 60, 20},
                             .role = ButtonRole::tab,
                             .name = "Slideshow",
                             .checked = currentTab == 2,
                             .group = "What to share"}};
    for (int row = 0; row < extraRows; ++row)
      all.append({.id = 10 + row, .rect = {0, 70.0 + 30 * row, 200, 30}, .name = QString::number(row)});
    return all;
  }
  ButtonHost* host = nullptr;
  PaintedReader* reader = nullptr;
  bool firstDone = true;
  QString shares = "2 active links";
  int rows = 0;
  int currentTab = 1;
};

struct Sent {
  QAccessible::Event type;
  QString name;
  QAccessible::State changed;
};
QList<Sent> sent;
void record(QAccessibleEvent* event) {
  QAccessibleInterface* iface = event->accessibleInterface();
  const QAccessible::State changed = event->type() == QAccessible::StateChanged
                                         ? static_cast<QAccessibleStateChangeEvent*>(event)->changedStates()
                                         : QAccessible::State();
  sent.append({event->type(), iface ? iface->text(QAccessible::Name) : QString(), changed});
}

// The events of one kind told of one item.
qsizetype told(QAccessible::Event type, const QString& name) {
  return std::count_if(sent.cbegin(), sent.cend(), [&](const Sent& e) { return e.type == type && e.name == name; });
}

// A chat list of `count` rows whose keys and clicks select the row.
struct Chats {
  explicit Chats(int count) {
    for (int i = 0; i < count; ++i)
      all.append({.handle = QStringLiteral("+1555%1").arg(1000 + i),
                  .displayName = QStringLiteral("Friend %1").arg(i),
                  .messageCount = 10,
                  .firstMessage = Date::fromUnix(1.7e9),
                  .lastMessage = Date::fromUnix(1.7e9)});
    list.resize(300, 400);
    QObject::connect(&list, &ContactListView::rowActivated, &list, [this](const QString& handle) {
      list.setSelectedHandle(handle);
    });
    list.setContacts(all);
    list.setSelectedHandle(all.first().handle);
    list.show();
    iface = QAccessible::queryAccessibleInterface(&list);
    for (int index = 0; index < iface->childCount(); ++index) iface->child(index)->text(QAccessible::Name);
    QCoreApplication::processEvents();
    sent.clear();
  }
  QList<ContactSummary> all;
  ContactListView list;
  QAccessibleInterface* iface = nullptr;
};

// How many events one filter change sends: every other chat stays.
qsizetype eventsOfAFilter(int rows) {
  Chats chats(rows);
  QList<ContactSummary> even;
  for (qsizetype i = 0; i < chats.all.size(); i += 2) even.append(chats.all[i]);
  chats.list.setContacts(even);
  QCoreApplication::processEvents();
  return sent.size();
}

// An event as Qt sends it while a reader listens: to the update handler
// installed (the kit's rewriter, which the first reader installs).
void qtSends(QAccessibleEvent* event) {
  const QAccessible::UpdateHandler installed = QAccessible::installUpdateHandler(nullptr);
  QAccessible::installUpdateHandler(installed);
  if (installed) installed(event);
}

// A handler installed after the kit's rewriter, passing events on to it.
QAccessible::UpdateHandler laterBelow = nullptr;
void later(QAccessibleEvent* event) {
  if (laterBelow) laterBelow(event);
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { setAccessibleEventSink(record); }
  void cleanupTestCase() { setAccessibleEventSink(nullptr); }

  void childrenInReadingOrder_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("states");
    QTest::newRow("title first") << 0 << int(QAccessible::Heading) << "Choose a chat."
                                 << "" << QStringList{};
    QTest::newRow("symbol beside it") << 1 << int(QAccessible::Button) << "Close"
                                      << "" << QStringList{"focusable"};
    QTest::newRow("body") << 2 << int(QAccessible::StaticText) << "Pick one."
                          << "" << QStringList{};
    QTest::newRow("check box") << 3 << int(QAccessible::CheckBox) << "Agree"
                               << "Unchecked" << QStringList{"checkable", "focusable"};
    QTest::newRow("link on its line") << 4 << int(QAccessible::Link) << "Terms"
                                      << "" << QStringList{"focusable", "linked"};
    QTest::newRow("progress") << 5 << int(QAccessible::ProgressBar) << "About 2 minutes left"
                              << "About 2 minutes left" << QStringList{};
    QTest::newRow("tab") << 6 << int(QAccessible::PageTab) << "This Slide"
                         << "" << QStringList{"focusable", "selected"};
    QTest::newRow("disabled default") << 7 << int(QAccessible::Button) << "Continue"
                                      << "" << QStringList{"disabled", "defaultButton"};
  }
  void childrenInReadingOrder() {
    QFETCH(int, index);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QStringList, states);
    Panel panel;
    QCOMPARE(QAccessible::queryAccessibleInterface(&panel)->childCount(), 8);
    QAccessibleInterface* child = panel.child(index);
    QVERIFY(child);
    QCOMPARE(int(child->role()), role);
    QCOMPARE(child->text(QAccessible::Name), name);
    QCOMPARE(child->text(QAccessible::Value), value);
    QCOMPARE(QAccessible::queryAccessibleInterface(&panel)->indexOfChild(child), index);
    const QAccessible::State state = child->state();
    const QStringList shown = [&] {
      QStringList list;
      for (const auto& [flag, label] : {std::pair{state.checkable, "checkable"},
                                        {state.focusable, "focusable"},
                                        {state.linked, "linked"},
                                        {state.selected, "selected"},
                                        {state.disabled, "disabled"},
                                        {state.defaultButton, "defaultButton"}})
        if (flag) list.append(QString::fromLatin1(label));
      return list;
    }();
    QCOMPARE(shown, states);
  }

  // Tabs of one group stand in a tab list of that name, in the tab's place.
  void tabsStandInTheirList() {
    Panel panel;
    panel.tabGroup = QStringLiteral("What to share");
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QAccessibleInterface* list = panel.child(6);
    QCOMPARE(list->role(), QAccessible::PageTabList);
    QCOMPARE(list->text(QAccessible::Name), panel.tabGroup);
    QCOMPARE(list->childCount(), 1);
    QAccessibleInterface* tab = list->child(0);
    QVERIFY(tab->text(QAccessible::Name) == "This Slide" && tab->parent() == list && list->indexOfChild(tab) == 0);
    QVERIFY(panel.host->focusButton(tabId));
    QCOMPARE(QAccessible::queryAccessibleInterface(&panel)->focusChild(), tab);
  }

  void actionsRunWhatAClickRuns() {
    Panel panel;
    QAccessibleActionInterface* go = panel.child(7)->actionInterface();
    QVERIFY(go->actionNames().isEmpty());  // disabled
    QAccessibleActionInterface* agree = panel.child(3)->actionInterface();
    QCOMPARE(agree->actionNames(),
             (QStringList{QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction(),
                          QAccessibleActionInterface::setFocusAction()}));
    agree->doAction(QAccessibleActionInterface::toggleAction());
    QTRY_VERIFY(panel.agreed);
    QVERIFY(panel.child(3)->state().checked);
    QCOMPARE(panel.child(3)->text(QAccessible::Value), QStringLiteral("Checked"));
    panel.child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(panel.closed, 1);
    QCOMPARE(panel.child(5)->valueInterface()->currentValue().toDouble(), 40.0);
  }

  void eventsFollowWhatIsShown_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("Tab sends focus") << "tab" << int(QAccessible::Focus) << "Close";
    QTest::newRow("Space toggles") << "space" << int(QAccessible::StateChanged) << "Agree";
    QTest::newRow("enabling") << "space" << int(QAccessible::StateChanged) << "Continue";
    QTest::newRow("new title") << "title" << int(QAccessible::ObjectCreated) << "Past Murmelas.";
    QTest::newRow("old title gone") << "title" << int(QAccessible::ObjectDestroyed) << "";
    QTest::newRow("announcement") << "announce" << int(QAccessible::ObjectShow) << "Link copied";
    QTest::newRow("focus back") << "return" << int(QAccessible::Focus) << "Agree";
    QTest::newRow("tab selected") << "select" << int(QAccessible::StateChanged) << "This Slide";
    QTest::newRow("tab joins the selection") << "select" << int(QAccessible::SelectionAdd) << "This Slide";
    QTest::newRow("ring on a button that goes: on to the next") << "vanish" << int(QAccessible::Focus) << "This Slide";
  }
  void eventsFollowWhatIsShown() {
    QFETCH(QString, step);
    QFETCH(int, type);
    QFETCH(QString, name);
    Panel panel;
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    panel.setFocus();
    for (int index = 0; index < panel.child(0)->parent()->childCount(); ++index) panel.child(index);  // read once
    panel.changed();
    sent.clear();
    if (step == "tab") QTest::keyClick(&panel, Qt::Key_Tab);
    if (step == "space" || step == "return") {
      QTest::keyClick(&panel, Qt::Key_Tab);
      QTest::keyClick(&panel, Qt::Key_Tab);
      QTest::keyClick(&panel, Qt::Key_Space);
    }
    if (step == "return") {
      // A sheet over the panel took the window's keyboard and gave it back.
      QCoreApplication::processEvents();
      sent.clear();
      QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
      QCoreApplication::sendEvent(&panel, &away);
      QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
      QCoreApplication::sendEvent(&panel, &back);
    }
    if (step == "select") {
      panel.tabSelected = false;
      panel.changed();
      sent.clear();
      panel.tabSelected = true;
    }
    if (step == "vanish") {
      QVERIFY(panel.host->focusButton(termsId));
      sent.clear();
      panel.showsTerms = false;
    }
    if (step == "title") panel.title = QStringLiteral("Past Murmelas.");
    if (step == "announce") panel.reader->announce(QStringLiteral("Link copied"));
    panel.changed();
    QCoreApplication::processEvents();  // the ring moves on after the paint that lost its button
    const auto found = std::find_if(sent.cbegin(), sent.cend(),
                                    [&](const Sent& event) { return event.type == type && event.name == name; });
    QVERIFY2(found != sent.cend(), qPrintable(name));
    // A tab is selected, never checked.
    if (type == QAccessible::StateChanged && step == "select")
      QVERIFY(found->changed.selected && !found->changed.checked);
    else if (type == QAccessible::StateChanged)
      QVERIFY(found->changed.checked || found->changed.disabled);
    if (type == QAccessible::ObjectShow) {
      // The notification stands under the application, which lists it; the panel does not.
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&panel);
      QAccessibleInterface* notification = PaintedWidgetAccessible::of(&panel)->item(ReadingEntry::Kind::announcement, 0);
      QCOMPARE(notification->role(), QAccessible::Notification);
      QVERIFY(notification->parent()->indexOfChild(notification) >= 0);
      QCOMPARE(iface->indexOfChild(notification), -1);
    }
  }

  // A reader's questions are answered from the last look, not by listing the
  // buttons again; a button that comes with the ring is told before its focus.
  void readersAreAnsweredFromTheLastLook() {
    Panel panel;
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&panel);
    panel.changed();
    const int listed = panel.listed;
    for (int index = 0; index < 3 * iface->childCount(); ++index)
      iface->indexOfChild(iface->child(index % iface->childCount()));
    QCOMPARE(panel.listed, listed);
    panel.showsTerms = false;
    panel.changed();
    sent.clear();
    panel.showsTerms = true;
    QVERIFY(panel.host->focusButton(termsId));
    QList<int> told;
    for (const Sent& event : sent)
      if (event.name == "Terms" && event.type != QAccessible::StateChanged) told.append(event.type);
    QCOMPARE(told, (QList<int>{QAccessible::ObjectCreated, QAccessible::Focus}));
  }

  // What readers see of a widget is kept by item, not by what it says or
  // where it stands, and told as it changes.
  void readerSideFollowsTheWidget_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("an earlier equal text goes: the later keeps its item") << "text";
    QTest::newRow("a description changes: it is told") << "description";
    QTest::newRow("a long list: every row, those out of view marked") << "rows";
    QTest::newRow("a point on each tab finds that tab") << "tabs";
  }
  void readerSideFollowsTheWidget() {
    QFETCH(QString, change);
    Listing widget;
    widget.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
    const auto named = [&](const QString& name) {
      for (int index = iface->childCount() - 1; index >= 0; --index)
        if (iface->child(index)->text(QAccessible::Name) == name) return iface->child(index);
      return static_cast<QAccessibleInterface*>(nullptr);
    };
    widget.reader->tellChanges();
    sent.clear();
    if (change == "text") {
      const QAccessible::Id later = QAccessible::uniqueId(named("Done"));  // the last one
      widget.firstDone = false;
      widget.reader->tellChanges();
      QCOMPARE(QAccessible::uniqueId(named("Done")), later);
      QVERIFY(std::none_of(sent.cbegin(), sent.cend(), [](const Sent& e) { return e.type == QAccessible::NameChanged; }));
    } else if (change == "description") {
      widget.shares = "3 active links";
      widget.reader->tellChanges();
      QVERIFY(std::any_of(sent.cbegin(), sent.cend(), [](const Sent& e) {
        return e.type == QAccessible::DescriptionChanged && e.name == "My shares";
      }));
    } else if (change == "rows") {
      widget.rows = 200;
      widget.reader->contentChanged();
      QCOMPARE(iface->childCount(), 2 + 2 + 200);  // the texts, the button and the tab list, the rows
      QVERIFY(!named("0")->state().offscreen);
      QVERIFY(named("199")->state().offscreen);
    } else {
      QAccessibleInterface* list = named("What to share");
      QVERIFY(list);
      for (int index = 0; index < 2; ++index) {
        const QPoint centre = list->child(index)->rect().center();
        QCOMPARE(iface->childAt(centre.x(), centre.y()), list);
        QCOMPARE(list->childAt(centre.x(), centre.y()), list->child(index));
      }
    }
  }

  // A row is known by its chat: a filter that leaves it keeps its item and
  // its words, and a filter tells as much at any length.
  void aFilterKeepsEachRowAndTellsAsMuchAtAnyLength_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("10 rows") << 10;
    QTest::newRow("1,000 rows") << 1000;
  }
  void aFilterKeepsEachRowAndTellsAsMuchAtAnyLength() {
    QFETCH(int, rows);
    Chats chats(rows);
    QAccessibleInterface* eighth = chats.iface->child(8);
    QList<ContactSummary> even;
    for (qsizetype i = 0; i < chats.all.size(); i += 2) even.append(chats.all[i]);
    chats.list.setContacts(even);
    QCoreApplication::processEvents();
    QCOMPARE(chats.iface->childCount(), rows / 2);
    QCOMPARE(chats.iface->child(4), eighth);
    QCOMPARE(eighth->text(QAccessible::Name), QStringLiteral("Friend 8"));
    QCOMPARE(chats.iface->indexOfChild(eighth), 4);
    // Behind a table, as Qt's item views: one column, the selected chat first.
    QCOMPARE(chats.iface->tableInterface()->rowCount(), rows / 2);
    QCOMPARE(chats.iface->tableInterface()->selectedRows(), QList<int>{0});
    // One reset, and no more than two screens of rows, at any length.
    const qsizetype events = sent.size();
    const qsizetype resets = told(QAccessible::TableModelChanged, QStringLiteral("Chats"));
    const QRect screen(chats.list.mapToGlobal(QPoint(0, 0)), chats.list.size());
    int shown = 0;
    for (int index = 0; index < chats.iface->childCount(); ++index)
      shown += screen.intersects(chats.iface->child(index)->rect()) ? 1 : 0;
    QCOMPARE(resets, 1);
    QVERIFY2(events <= 1 + 2 * shown, qPrintable(QStringLiteral("%1 events").arg(events)));
    const qsizetype atTen = eventsOfAFilter(10);
    QCOMPARE(events, atTen);
  }

  // The list's keys as in a desktop list view, the new row told as the focus.
  void listKeysReachTheirRow_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("pages");  // then on by as many rows as show whole
    QTest::newRow("End: the last") << QList<int>{Qt::Key_End} << 49 << 0;
    QTest::newRow("Home: the first") << QList<int>{Qt::Key_End, Qt::Key_Home} << 0 << 0;
    QTest::newRow("Page Down: the rows in view on") << QList<int>{Qt::Key_PageDown} << 0 << 1;
    QTest::newRow("Page Up: back as far") << QList<int>{Qt::Key_End, Qt::Key_PageUp} << 49 << -1;
  }
  void listKeysReachTheirRow() {
    QFETCH(QList<int>, keys);
    QFETCH(int, row);
    QFETCH(int, pages);
    Chats chats(50);
    chats.list.activateWindow();
    chats.list.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&chats.list));
    const QRect shown(chats.list.mapToGlobal(QPoint(0, 0)), chats.list.size());
    int whole = 0;
    while (shown.contains(chats.iface->child(whole)->rect())) ++whole;
    QVERIFY(whole > 1 && whole < 50);
    const QString reached = QStringLiteral("Friend %1").arg(row + pages * whole);
    for (const int key : keys) QTest::keyClick(&chats.list, Qt::Key(key));
    QCOMPARE(chats.iface->focusChild()->text(QAccessible::Name), reached);
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.last().type, QAccessible::Focus);
    QCOMPARE(sent.last().name, reached);
  }

  // A group of buttons that closes is told and leaves no item behind; opened
  // again, it is the same item.
  void aGroupThatClosesIsTold() {
    Panel panel;
    panel.show();
    panel.tabGroup = QStringLiteral("Pages");
    panel.changed();
    PaintedWidgetAccessible* iface = PaintedWidgetAccessible::of(&panel);
    const std::optional<int> key = panel.reader->groupKey(QStringLiteral("Pages"));
    QVERIFY(key && iface->groupItem(QStringLiteral("Pages")));
    const QAccessible::Id group = QAccessible::uniqueId(iface->groupItem(QStringLiteral("Pages")));
    sent.clear();
    panel.tabGroup.clear();
    panel.changed();
    QVERIFY(std::any_of(sent.cbegin(), sent.cend(), [](const Sent& e) { return e.type == QAccessible::ObjectDestroyed; }));
    QVERIFY(!QAccessible::accessibleInterface(group));
    panel.tabGroup = QStringLiteral("Pages");
    panel.changed();
    QCOMPARE(panel.reader->groupKey(QStringLiteral("Pages")), key);
    QCOMPARE(iface->groupItem(QStringLiteral("Pages"))->role(), QAccessible::PageTabList);
  }

  // A long announced message is said in short; a short one whole.
  void longMessagesAreSaidInShort_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("said");
    const QString page = QString("<p>blocked</p> ").repeated(40);
    QTest::newRow("short: whole") << "Share link HTTP 404: x" << "Share link HTTP 404: x";
    QTest::newRow("a status and a body: up to the colon") << "Share link HTTP 403: " + page << "Share link HTTP 403.";
    QTest::newRow("no colon: its first sentence") << "Try again later. " + page << "Try again later.";
    QTest::newRow("neither: its first words") << QString("word ").repeated(60)
                                              << QString("word ").repeated(24).trimmed() + QChar(0x2026);
  }
  void longMessagesAreSaidInShort() {
    QFETCH(QString, message);
    QTEST(spokenMessage(message), "said");
  }

  // Qt's own focus event for a painted widget is passed on naming the child
  // readers are to hear, once a turn.
  void focusOnAPaintedWidgetNamesItsChild() {
    Panel panel;
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    panel.setFocus();
    QAccessible::queryAccessibleInterface(&panel);
    QCoreApplication::processEvents();
    sent.clear();
    QAccessibleEvent focus(&panel, QAccessible::Focus);
    qtSends(&focus);
    qtSends(&focus);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().name, panel.title);
  }

  // Tab into the list: its row is told as the focus once, whoever tells it
  // (the list as the ring comes to the row, Qt as the list takes the keyboard).
  void tabIntoTheListTellsItsRowOnce() {
    QWidget window;
    auto* field = new QLineEdit(&window);
    Chats chats(20);
    chats.list.setParent(&window);
    chats.list.move(0, 40);
    window.resize(300, 440);
    window.show();
    chats.list.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QCoreApplication::processEvents();
    sent.clear();
    QTest::keyClick(field, Qt::Key_Tab);
    QVERIFY(chats.list.hasFocus());
    QAccessibleEvent listFocus(&chats.list, QAccessible::Focus);
    qtSends(&listFocus);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(told(QAccessible::Focus, QStringLiteral("Friend 0")), 1);
  }

  // Readers hear an announcement once though the focus moves with it.
  void anAnnouncementWithAFocusIsSaidOnce() {
    Panel panel;
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    QAccessible::queryAccessibleInterface(&panel);
    panel.changed();
    sent.clear();
    panel.reader->announce(QStringLiteral("Link copied"));
    QVERIFY(panel.host->focusButton(closeId));
    QCoreApplication::processEvents();
    QCOMPARE(told(QAccessible::Focus, QStringLiteral("Close")), 1);
    QCOMPARE(told(QAccessible::ObjectShow, QStringLiteral("Link copied")), 1);
  }

  // A sheet that keeps the focus stands for a modal one: while it shows, the
  // panel behind exposes only it and runs no action; hidden, it is not exposed.
  void modalSheetCoversWhatIsBehind() {
    Panel panel;
    QAccessibleActionInterface* agree = panel.child(3)->actionInterface();
    auto* sheet = new Panel;
    sheet->setParent(&panel);
    sheet->host->setKeepsFocus(true);
    sheet->hide();
    QCOMPARE(QAccessible::queryAccessibleInterface(&panel)->childCount(), 8);
    sheet->show();
    sheet->setFocus();
    QCOMPARE(QAccessible::queryAccessibleInterface(&panel)->childCount(), 1);
    QCOMPARE(panel.child(0)->role(), QAccessible::Dialog);
    QVERIFY(panel.child(0)->state().modal);
    QVERIFY(agree->actionNames().isEmpty());
  }

  // Return runs the focused button, but a focused check box leaves it to the default button.
  void returnKey_data() {
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("closed");
    QTest::addColumn<int>("went");
    QTest::newRow("on a button") << 1 << 1 << 0;
    QTest::newRow("on the check box") << 2 << 0 << 1;
  }
  void returnKey() {
    QFETCH(int, tabs);
    Panel panel;
    panel.agreed = true;
    panel.show();
    panel.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&panel));
    panel.setFocus();
    for (int i = 0; i < tabs; ++i) QTest::keyClick(&panel, Qt::Key_Tab);
    QTest::keyClick(&panel, Qt::Key_Return);
    QTEST(panel.closed, "closed");
    QTEST(panel.went, "went");
    QVERIFY(panel.agreed);
  }

  void focusRingStandsOut_data() {
    QTest::addColumn<QColor>("behind");
    QTest::newRow("cream") << QColor(MurmelaTheme::cream);
    QTest::newRow("cream deep") << QColor(MurmelaTheme::creamDeep);
  }
  void focusRingStandsOut() {
    QFETCH(QColor, behind);
    QVERIFY(contrastRatio(MurmelaTheme::sageDeep, behind) >= 3.0);
    QVERIFY(contrastRatio(withOpacity(MurmelaTheme::sageDeep, 0.55), behind) < 3.0);  // the ring it replaced
  }

  // With nothing installed before it, the rewriter hands events to Qt's own
  // handling; a handler installed after it stays installed through that.
  void aHandlerInstalledAfterTheRewriterStays() {
    Panel panel;
    setAccessibleEventSink(nullptr);
    const auto watched = qScopeGuard([] { setAccessibleEventSink(record); });
    AccessibleEventRewriter rewriter;
    laterBelow = QAccessible::installUpdateHandler(later);
    QAccessibleEvent shown(&panel, QAccessible::ObjectShow);
    rewriter.rewrite(&shown);
    QVERIFY(QAccessible::installUpdateHandler(laterBelow) == &later);
  }

  // The arrows of a tab list move among its tabs and stay on the last (or first).
  void arrowsStayAmongTheTabs_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("to");
    QTest::newRow("on to the next tab") << 1 << true << true << 2;
    QTest::newRow("the last tab keeps it") << 2 << true << true << 2;
    QTest::newRow("back to the first") << 2 << false << true << 1;
    QTest::newRow("the first tab keeps it") << 1 << false << true << 1;
    QTest::newRow("not on a tab: left to the caller") << 0 << true << false << 0;
  }
  void arrowsStayAmongTheTabs() {
    QFETCH(int, from);
    QFETCH(bool, forward);
    Listing sheet;
    sheet.show();
    sheet.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    QVERIFY(sheet.host->focusButton(from));
    QTEST(sheet.host->moveFocusAlongTabs(forward), "taken");
    QTEST(sheet.host->focused().value_or(-1), "to");
  }

  // A tab list is one Tab stop, as a desktop tab bar is: Tab leaves it from
  // any of its tabs, and comes back into it on the selected tab.
  void aTabListIsOneTabStop_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("to");
    QTest::newRow("Tab from the first tab leaves the list") << 1 << int(Qt::Key_Tab) << 0;
    QTest::newRow("Tab from the selected tab leaves it") << 2 << int(Qt::Key_Tab) << 0;
    QTest::newRow("Tab into it: the selected tab") << 0 << int(Qt::Key_Tab) << 2;
    QTest::newRow("Shift+Tab back into it: the selected tab") << 0 << int(Qt::Key_Backtab) << 2;
  }
  void aTabListIsOneTabStop() {
    QFETCH(int, from);
    QFETCH(int, key);
    Listing sheet;
    sheet.currentTab = 2;
    sheet.show();
    sheet.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    QVERIFY(sheet.host->focusButton(from));
    QTest::keyClick(&sheet, Qt::Key(key));
    QTEST(sheet.host->focused().value_or(-1), "to");
  }
};

MURMELA_TEST(AccessibilityTest)
#include "AccessibilityTest.moc"
