#include "common/UnicodeText.h"
#include "common/WholeWordMatcher.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

class UnicodeTextTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void graphemeCounts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("count");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("ascii") << QStringLiteral("hello") << qsizetype(5);
    QTest::newRow("flag") << QStringLiteral("🇩🇪") << qsizetype(1);
    QTest::newRow("zwj family") << QStringLiteral("👨‍👩‍👧‍👦") << qsizetype(1);
    QTest::newRow("skin tone") << QStringLiteral("👍🏽") << qsizetype(1);
    QTest::newRow("decomposed e acute") << QStringLiteral("e\u0301") << qsizetype(1);
    QTest::newRow("keycap") << QStringLiteral("1️⃣") << qsizetype(1);
    QTest::newRow("crlf is one") << QStringLiteral("a\r\nb") << qsizetype(3);
    QTest::newRow("cr, then crlf") << QStringLiteral("\r\r\n") << qsizetype(2);
    QTest::newRow("lf cr stays two") << QStringLiteral("\n\r") << qsizetype(2);
    QTest::newRow("latin with a later mark") << QStringLiteral("cafe\u0301s") << qsizetype(5);
  }
  void graphemeCounts() {
    QFETCH(QString, text);
    QFETCH(qsizetype, count);
    QCOMPARE(UnicodeText::graphemeCount(text), count);
    // The visitor sees the same clusters, and together they are the whole text.
    qsizetype visited = 0;
    QString joined;
    UnicodeText::forEachGrapheme(text, [&](QStringView cluster) {
      ++visited;
      joined += cluster;
    });
    QCOMPARE(visited, count);
    QCOMPARE(joined, text);
  }

  void prefixAndSuffixKeepClusters() {
    const QString text = QStringLiteral("ab🇩🇪c👨‍👩‍👧");
    QCOMPARE(UnicodeText::graphemePrefix(text, 3), QStringLiteral("ab🇩🇪"));
    QCOMPARE(UnicodeText::graphemePrefix(text, 99), text);
    QCOMPARE(UnicodeText::graphemePrefix(text, 0), QString());
    QCOMPARE(UnicodeText::graphemeSuffix(text, 2), QStringLiteral("c👨‍👩‍👧"));
    QCOMPARE(UnicodeText::graphemeSuffix(text, 99), text);
  }

  void strictUtf8_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("keepBom");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("abc") << false << true << "abc";
    QTest::newRow("two-byte") << QByteArray("caf\xc3\xa9") << false << true << QStringLiteral("caf\u00e9");
    QTest::newRow("bom dropped") << QByteArray("\xef\xbb\xbfx") << false << true << "x";
    QTest::newRow("bom kept") << QByteArray("\xef\xbb\xbfx") << true << true << QStringLiteral("\ufeffx");
    QTest::newRow("cut sequence") << QByteArray("caf\xc3") << false << false << QString();
    QTest::newRow("stray continuation") << QByteArray("a\x80" "b") << false << false << QString();
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << false << false << QString();
  }
  void strictUtf8() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, keepBom);
    QFETCH(bool, valid);
    QFETCH(QString, text);
    const std::optional<QString> decoded = UnicodeText::strictUtf8(bytes, keepBom);
    QCOMPARE(decoded.has_value(), valid);
    if (valid) QCOMPARE(*decoded, text);
  }

  void codePointsAcrossSurrogates() {
    const QString text = QStringLiteral("a😀b");
    qsizetype width = 0;
    QCOMPARE(UnicodeText::codePointAt(text, 1, &width), char32_t(0x1F600));
    QCOMPARE(width, 2);
    qsizetype start = 0;
    QCOMPARE(UnicodeText::codePointBefore(text, 3, &start), char32_t(0x1F600));
    QCOMPARE(start, 1);
    QCOMPARE(UnicodeText::codePointBefore(text, 1, &start), char32_t('a'));
    QCOMPARE(start, 0);
  }

  void emojiProperties() {
    QVERIFY(UnicodeText::isEmoji(U'👍'));
    QVERIFY(UnicodeText::isEmojiPresentation(U'👍'));
    QVERIFY(UnicodeText::isEmoji(U'©'));
    QVERIFY(!UnicodeText::isEmojiPresentation(U'©'));
    QVERIFY(UnicodeText::isEmoji(U'1'));  // digits carry the Emoji property
    QVERIFY(!UnicodeText::isEmojiPresentation(U'1'));
    QVERIFY(!UnicodeText::isEmoji(U'a'));
  }

  void wordCharacters() {
    QVERIFY(UnicodeText::isWordCharacter(U'a'));
    QVERIFY(UnicodeText::isWordCharacter(U'\u0301'));  // a combining mark is a word character
    QVERIFY(UnicodeText::isWordCharacter(U'_'));
    QVERIFY(UnicodeText::isWordCharacter(U'7'));
    QVERIFY(!UnicodeText::isWordCharacter(U'\''));
    QVERIFY(!UnicodeText::isWordCharacter(U'👍'));
    QVERIFY(UnicodeText::isAlphanumeric(U'\u0301'));
    QVERIFY(!UnicodeText::isAlphanumeric(U'_'));
  }

  void nfcMakesEquivalentTextsEqual() {
    const QString decomposed = QStringLiteral("Jose\u0301");
    const QString composed = QStringLiteral("Jos\u00e9");
    QVERIFY(decomposed != composed);
    QCOMPARE(UnicodeText::nfc(decomposed), composed);
    QCOMPARE(UnicodeText::nfc(composed), composed);
  }

  void codePointOrder() {
    // U+FF5E (a BMP code point above the surrogates) sorts before U+1F600,
    // although its UTF-16 unit is larger than the high surrogate's.
    const QString fullwidthTilde = QStringLiteral("\uff5e");
    const QString grinning = QStringLiteral("😀");
    QVERIFY(fullwidthTilde > grinning);  // UTF-16 order
    QVERIFY(UnicodeText::lessByCodePoint(fullwidthTilde, grinning));
    QVERIFY(UnicodeText::lessByCodePoint(QStringLiteral("ab"), QStringLiteral("abc")));
    QCOMPARE(UnicodeText::compareCodePoints(QStringLiteral("abc"), QStringLiteral("abc")), 0);
    QVERIFY(UnicodeText::lessByCodePoint(QStringLiteral("B"), QStringLiteral("a")));
  }

  void wholeWordMatches_data() {
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("count");
    QTest::newRow("plain") << "lol" << "lol that was lol" << qsizetype(2);
    QTest::newRow("not inside a longer word") << "haha" << "hahaha" << qsizetype(0);
    QTest::newRow("accented letter continues the word") << "lol" << "lolé" << qsizetype(0);
    QTest::newRow("decomposed accent continues the word") << "lol" << "lole\u0301" << qsizetype(0);
    QTest::newRow("mark after the term") << "lol" << "lol\u0301 x" << qsizetype(0);
    QTest::newRow("apostrophe is a boundary") << "don" << "don't" << qsizetype(1);
    QTest::newRow("emoji is a boundary") << "ok" << "ok👍ok" << qsizetype(2);
    QTest::newRow("digit continues the word") << "ok" << "ok2" << qsizetype(0);
    QTest::newRow("underscore continues the word") << "ok" << "ok_go" << qsizetype(0);
    QTest::newRow("case ignored") << "LOL" << "LOL and lol" << qsizetype(2);
    QTest::newRow("multi word") << "love you" << "i love you, love you" << qsizetype(2);
    QTest::newRow("multi word needs the single space") << "love you" << "love  you" << qsizetype(0);
    QTest::newRow("retry after a failed boundary") << "rip" << "trip rip" << qsizetype(1);
    QTest::newRow("non-overlapping") << "aa" << "aa aa aaa" << qsizetype(2);
    QTest::newRow("empty text") << "ok" << "" << qsizetype(0);
  }
  void wholeWordMatches() {
    QFETCH(QString, term);
    QFETCH(QString, text);
    QFETCH(qsizetype, count);
    const WholeWordMatcher matcher(term);
    const QString lowered = WholeWordMatcher::lowered(text);
    QCOMPARE(matcher.count(lowered), count);
    QCOMPARE(matcher.containedIn(lowered), count > 0);
  }

  // Matches straddling the eight-unit steps, at the very end, and half pairs.
  void literalSearchAgreesWithQt() {
    const QString text = QStringLiteral("abcdefgab abcdefghiab\u00e9\U0001F44Dab ab");
    for (const QStringView needle : {u"a", u"ab", u"b a", u"gab", u"hiab", u"ab ab", u"\U0001F44D", u"b ", u"x", u"abx"})
      for (qsizetype from = 0; from <= text.size() + 1; ++from)
        QCOMPARE(WholeWordMatcher::indexOfLiteral(text, needle, from), QStringView(text).indexOf(needle, from));
  }
};

MURMELA_TEST(UnicodeTextTest)
#include "UnicodeTextTest.moc"
