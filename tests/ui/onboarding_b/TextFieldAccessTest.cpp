// Every text query on the two text fields, at every offset and boundary, answers.
#include "kit/access/AccessibleEventRewriter.h"
#include "kit/access/PaintedAccessible.h"
#include "kit/controls/PlainTextField.h"
#include "support/TestRegistry.h"

#include <QAccessibleTextInterface>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType, int*, int*) const;

void askEverything(QLineEdit* field) {
  QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(field)->textInterface();
  QVERIFY(text);
  // Readers count characters (code points), not UTF-16 units.
  const QList<uint> all = field->text().toUcs4();
  const auto mid = [&](int start, int end) {
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(all.constData()) + start, end - start);
  };
  for (const Query query : {&QAccessibleTextInterface::textAtOffset, &QAccessibleTextInterface::textBeforeOffset,
                            &QAccessibleTextInterface::textAfterOffset})
    for (const auto type : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                            QAccessible::ParagraphBoundary, QAccessible::LineBoundary, QAccessible::NoBoundary})
      for (int offset = -2; offset <= all.size() + 1; ++offset) {
        int start = -3, end = -3;
        const QString piece = (text->*query)(offset, type, &start, &end);
        QVERIFY(offset > all.size() ? start == -1 : 0 <= start && start <= end && end <= all.size());
        if (offset <= all.size()) QCOMPARE(piece, mid(start, end));
        text->attributes(offset, &start, &end);  // one run over the whole text, whatever the offset
        QVERIFY(start == 0 && end == all.size());
      }
}

}  // namespace

class TextFieldAccessTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { installPaintedAccessibility(); }

  void everyQueryAnswers_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("the search that froze") << "jam";
    QTest::newRow("empty") << "";
    QTest::newRow("words and sentences") << "Hi there. Bye now!  ";
    QTest::newRow("emoji") << QStringLiteral("a 👨‍👩‍👧 🇩🇪 b");
    QTest::newRow("right to left") << QStringLiteral("שלום עולם, مرحبا");
    QTest::newRow("combining marks") << QStringLiteral("e\u0301te\u0301 cafe\u0301");
  }
  void everyQueryAnswers() {
    QFETCH(QString, typed);
    PlainTextField field(QFont(), Qt::black, QStringLiteral("Search"));  // the kind both screens' fields are
    field.setText(typed);
    askEverything(&field);
  }

  void wordsAsReadersWalkThem() {
    PlainTextField field(QFont(), Qt::black, QStringLiteral("Name"));
    field.setText(QStringLiteral("jam  tart. Ok"));
    QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&field)->textInterface();
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(1, QAccessible::WordBoundary, &start, &end), QStringLiteral("jam  "));
    QCOMPARE(text->textAtOffset(13, QAccessible::WordBoundary, &start, &end), QStringLiteral("Ok"));
    QCOMPARE(text->textBeforeOffset(13, QAccessible::WordBoundary, &start, &end), QStringLiteral("tart. "));
    QCOMPARE(text->textBeforeOffset(13, QAccessible::CharBoundary, &start, &end), QStringLiteral("k"));
    QCOMPARE(text->textAtOffset(0, QAccessible::SentenceBoundary, &start, &end), QStringLiteral("jam  tart. "));
  }

  // A name with an emoji: the field and its events count it as one character.
  void emojiCountsAsOneCharacter_data() {
    QTest::addColumn<int>("caret");  // in UTF-16 units, where Qt has it
    QTest::addColumn<int>("told");   // in characters, as readers hear of it
    QTest::newRow("before the emoji") << 11 << 11;
    QTest::newRow("after it, at the end") << 13 << 12;
  }
  void emojiCountsAsOneCharacter() {
    QFETCH(int, caret);
    PlainTextField field(QFont(), Qt::black, QStringLiteral("Name"));
    field.setText(QStringLiteral("Sam Rivera 🌸"));
    field.selectAll();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&field);
    QAccessibleTextInterface* text = face->textInterface();
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(QList<int>({start, end, text->characterCount()}), QList<int>({0, 12, 12}));
    QCOMPARE(text->textAtOffset(11, QAccessible::CharBoundary, &start, &end), QStringLiteral("🌸"));
    QCOMPARE(QList<int>({start, end}), QList<int>({11, 12}));
    field.setCursorPosition(caret);
    QTEST(text->cursorPosition(), "told");
    // The field's own events, as Qt hands them to the installed handler, reach readers in characters.
    static QList<int> heard;
    heard.clear();
    setAccessibleEventSink([](QAccessibleEvent* event) {
      if (event->type() == QAccessible::TextCaretMoved)
        heard.append(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition());
      if (event->type() == QAccessible::TextInserted)
        heard.append(static_cast<QAccessibleTextInsertEvent*>(event)->changePosition());
    });
    const auto usual = qScopeGuard([] { setAccessibleEventSink(nullptr); });
    const QAccessible::UpdateHandler installed = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(installed);
    QVERIFY(installed);
    QAccessibleTextCursorEvent moved(&field, caret);
    installed(&moved);
    QAccessibleTextInsertEvent typed(&field, caret, QStringLiteral("!"));
    installed(&typed);
    QFETCH(int, told);
    QCOMPARE(heard, QList<int>({told, told}));
  }

  void writingIsAnEdit() {
    PlainTextField field(QFont(), Qt::black, QStringLiteral("Name"));
    QSignalSpy edits(&field, &QLineEdit::textEdited);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&field);
    face->setText(QAccessible::Value, QStringLiteral("Sam"));
    face->editableTextInterface()->insertText(3, QStringLiteral("uel"));
    face->editableTextInterface()->replaceText(0, 2, QStringLiteral("Ma"));
    QCOMPARE(edits.count(), 3);
    QCOMPARE(edits.last().first().toString(), QStringLiteral("Mamuel"));
  }
};

MURMELA_TEST(TextFieldAccessTest)
#include "TextFieldAccessTest.moc"
