// The picker's list places its rows without shaping them, in any script: a
// row's frame is the one its own layout takes, its texts fill their lines,
// and what a long list shapes and keeps follows the view, not the rows
// passed. A selection searches nothing.
#include "kit/controls/PlainTextField.h"
#include "screens/picker/ContactListView.h"
#include "screens/picker/ContactPickerView.h"
#include "support/TestRegistry.h"
#include "testing/FixedPickerHost.h"
#include "theme/FontRegistry.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

using namespace murmela;

namespace {

// Names in the scripts a contacts folder holds, with emoji, symbols and a
// right-to-left name among them.
const QStringList kNames{
    QStringLiteral("Friend %1"),
    QStringLiteral("Friend \U0001F338 %1"),
    QStringLiteral("\u53CB\u9054 %1"),
    QStringLiteral("\u0414\u0440\u0443\u0433 %1"),
    QStringLiteral("\u0645\u062D\u0645\u062F \u0639\u0644\u064A %1"),
    QStringLiteral("\u4F50\u85E4 \u3055\u304F\u3089 %1"),
    QStringLiteral("\u05D3\u05E0\u05D4 %1"),
    QStringLiteral("\u2605 Star %1"),
    QStringLiteral("Mom \u2764\uFE0F %1"),
    QStringLiteral("\u0391\u03BD\u03BD\u03B1 %1"),
    QStringLiteral("L\u00EA V\u0103n Th\u1ED9 %1"),
    QStringLiteral("\U0001D4E2\U0001D4EA\U0001D4F6 %1"),
    QStringLiteral("\u210C\U0001D51E\U0001D52B\U0001D52B\U0001D51E %1"),
    QStringLiteral("\u2192 \u2211 %1"),
};

QList<ContactSummary> contactsIn(int count, const QStringList& names) {
  QList<ContactSummary> contacts;
  for (int i = 0; i < count; ++i)
    contacts.append({.handle = QStringLiteral("chat%1@mail.example").arg(i),
                     .displayName = names[i % names.size()].arg(i),
                     .messageCount = 40 + i,
                     .firstMessage = Date::fromUnix(1'600'000'000.0 + 86'400.0 * i),
                     .lastMessage = Date::fromUnix(1'700'000'000.0 + 86'400.0 * i)});
  return contacts;
}

// A shown picker over a fixed list of contacts.
struct Picker {
  explicit Picker(QList<ContactSummary> list) : contacts(std::move(list)) {
    view = std::make_unique<ContactPickerView>(fixedPickerHost(contacts));
    view->show();
    paint();
  }
  ContactListView& list() const { return *view->listView(); }
  // What the window does after a key: the rows in view are drawn.
  void paint() const {
    QImage image(list().viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    list().paintRows(painter);
  }
  void press(Qt::Key key) const {
    QTest::keyClick(&list(), key);
    paint();
  }
  QList<ContactSummary> contacts;
  std::unique_ptr<ContactPickerView> view;
};

}  // namespace

class ContactListLayoutTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // Every row's frame is its own layout's, wherever its name falls back to,
  // and each text sits in a line box as tall as the text itself: the row's
  // height is right without the row being shaped.
  void rowsInOtherScriptsArePlacedAsTheyAreShaped() {
    QList<ContactSummary> contacts = contactsIn(120, kNames);
    contacts[5].displayName = QStringLiteral("Maximiliana \u53CB\u9054 Alexandra von Hohenberg-Castellanos \U0001F33B");
    Picker picker(contacts);
    ContactListView& list = picker.list();
    const ContactListView::Layout& whole = list.listLayout();
    QCOMPARE(whole.frames.size(), contacts.size());
    const qreal width = list.viewport()->width();
    qreal top = 0.0;
    for (qsizetype i = 0; i < contacts.size(); ++i) {
      const ChatRow row{contacts[i], false};
      const ChatRow::Layout alone = row.layout(width);
      QCOMPARE((ChatRow{contacts[i], true}.layout(width).bounds), alone.bounds);
      QCOMPARE(list.rowFrame(int(i)), alone.bounds.translated(0.0, top));
      QCOMPARE(whole.frames[i], list.rowFrame(int(i)));
      const ChatRow::Lines lines = ChatRow::lines(row.fallbackCase());
      if (!alone.name.elided) {
        QCOMPARE(LineBox::of(alone.name).height, lines.name.height);
        QCOMPARE(LineBox::of(alone.name).baseline, lines.name.baseline);
      }
      QCOMPARE(LineBox::of(alone.handle), lines.handle);
      QCOMPARE(LineBox::of(alone.count), lines.count);
      QCOMPARE(LineBox::of(alone.range), lines.range);
      top += alone.bounds.height() + ContactListView::kRowSpacing;
    }
    QCOMPARE(whole.contentHeight, top - ContactListView::kRowSpacing);

    // Scrolled to the end, the range is exact and the last row in view.
    QScrollBar* bar = list.verticalScrollBar();
    bar->setValue(bar->maximum());
    QCOMPARE(bar->maximum(), int(std::ceil(whole.contentHeight)) - list.viewport()->height());
    const qreal lastBottom = whole.frames.last().bottom() - list.scrollOffset();
    QVERIFY(lastBottom <= list.viewport()->height() && lastBottom > list.viewport()->height() - 1);
  }

  // End, a walk through every page, and letters typed at the end: what is
  // shaped is the rows shown, and what is kept stays within a bound that
  // does not grow with the rows.
  void shapesFollowTheView_data() {
    QTest::addColumn<int>("rows");
    QTest::newRow("200 chats") << 200;
    QTest::newRow("2,000 chats") << 2'000;
  }
  void shapesFollowTheView() {
    QFETCH(int, rows);
    constexpr qsizetype kScreen = 12;  // more rows than a screen of the shortest shows
    constexpr qsizetype kKept = 64;
    Picker picker(contactsIn(rows, kNames));
    ContactListView& list = picker.list();
    QVERIFY(list.shapedRows() <= kScreen);

    qsizetype before = list.shapedRows();
    picker.press(Qt::Key_End);
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(picker.contacts.last().handle));
    QVERIFY2(list.shapedRows() - before <= kScreen, qPrintable(QString::number(list.shapedRows() - before)));

    // A digit that about half the rows keep, and BackSpace, typed while
    // scrolled to the end.
    for (const Qt::Key key : {Qt::Key_1, Qt::Key_Backspace}) {
      before = list.shapedRows();
      QTest::keyClick(picker.view->searchField(), key);
      picker.paint();
      QCOMPARE(list.contacts().size() == rows, key == Qt::Key_Backspace);
      QVERIFY2(list.shapedRows() - before <= kScreen, qPrintable(QString::number(list.shapedRows() - before)));
    }

    picker.press(Qt::Key_Home);
    for (int page = 0;
         page < rows && picker.view->selectedHandle() != std::optional<QString>(picker.contacts.last().handle); ++page)
      picker.press(Qt::Key_PageDown);
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(picker.contacts.last().handle));
    QVERIFY(list.shapedRows() >= rows);  // every row was drawn on the way down
    QVERIFY2(list.keptShapes() <= kKept, qPrintable(QString::number(list.keptShapes())));
  }

  // Choosing a row by key or pointer changes the selection and searches nothing.
  void selectingSearchesNothing() {
    Picker picker(contactsIn(40, kNames));
    const qsizetype searches = picker.view->searchRuns();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home}) picker.press(key);
    const QRectF second = picker.list().rowFrame(1).translated(0.0, -picker.list().scrollOffset());
    QTest::mouseClick(picker.list().viewport(), Qt::LeftButton, {}, second.center().toPoint());
    QCOMPARE(picker.view->selectedHandle(), std::optional<QString>(picker.contacts[1].handle));
    QCOMPARE(picker.list().selectedHandle(), std::optional<QString>(picker.contacts[1].handle));
    QCOMPARE(picker.view->searchRuns(), searches);
    QTest::keyClick(picker.view->searchField(), Qt::Key_A);
    QCOMPARE(picker.view->searchRuns(), searches + 1);
  }
};

MURMELA_TEST(ContactListLayoutTest)
#include "ContactListLayoutTest.moc"
