#include "deck/cards/PhraseHyphenation.h"
#include "deck/cards/TwoPartySplit.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <limits>

using namespace murmela;

class CardNumbersTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void twoPartySplits_data() {
    QTest::addColumn<qint64>("left");
    QTest::addColumn<qint64>("right");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("leftPercent");
    QTest::newRow("nothing: divides by 1") << qint64(0) << qint64(0) << 0.0 << 0;
    QTest::newRow("one of three truncates") << qint64(1) << qint64(2) << 1.0 / 3 << 33;
    QTest::newRow("two of three truncates") << qint64(2) << qint64(1) << 2.0 / 3 << 66;
    QTest::newRow("29 of 100 is exact") << qint64(29) << qint64(71) << 0.29 << 29;
    QTest::newRow("all left") << qint64(5) << qint64(0) << 1.0 << 100;
    QTest::newRow("negative counts as none") << qint64(-3) << qint64(5) << 0.0 << 0;
    const qint64 huge = std::numeric_limits<qint64>::max();
    QTest::newRow("huge counts do not overflow") << huge << huge << 0.5 << 50;
  }
  void twoPartySplits() {
    QFETCH(qint64, left);
    QFETCH(qint64, right);
    QFETCH(double, fraction);
    QFETCH(int, leftPercent);
    const TwoPartySplit split = twoPartySplit(left, right);
    QCOMPARE(split.fraction, fraction);
    QCOMPARE(split.leftPercent, leftPercent);
    QCOMPARE(split.rightPercent, 100 - leftPercent);
  }

  void hyphenation_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QString>("expected");
    const QString shy(QChar(0x00AD));
    QTest::newRow("12 and 8 letters") << "Unbelievable, ABSOLUTE"
                                      << "unbe" + shy + "liev" + shy + "able, abso" + shy + "lute";
    QTest::newRow("seven letters stay whole") << "amazing"
                                              << "amazing";
    QTest::newRow("nine letters: 4 + 4 + 1") << "beautiful"
                                             << "beau" + shy + "tifu" + shy + "l";
    QTest::newRow("digits end a word") << "abcd1efghijkl"
                                       << "abcd1efgh" + shy + "ijkl";
    QTest::newRow("an emoji ends a word") << "sooooo\U0001F602goood"
                                          << "sooooo\U0001F602goood";
    const QString accented = QStringLiteral("e\u0301");
    QTest::newRow("a letter with its mark is one character")
        << accented.repeated(8) << accented.repeated(4) + shy + accented.repeated(4);
    QTest::newRow("empty") << ""
                           << "";
  }
  void hyphenation() {
    QFETCH(QString, phrase);
    QFETCH(QString, expected);
    QCOMPARE(hyphenatedPhrase(phrase), expected);
  }

  void phraseSize_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<double>("size");
    QTest::newRow("empty") << "" << 24.0;
    QTest::newRow("22 characters") << "unbelievable, absolute" << 24.0 - 7.0 * 22 / 36;
    QTest::newRow("36 characters") << QString(36, QLatin1Char('a')) << 17.0;
    QTest::newRow("longer") << QString(80, QLatin1Char('a')) << 17.0;
    QTest::newRow("an emoji is one character") << "\U0001F469\u200D\U0001F469\u200D\U0001F467" << 24.0 - 7.0 / 36;
  }
  void phraseSize() {
    QFETCH(QString, phrase);
    QFETCH(double, size);
    QCOMPARE(signaturePhrasePointSize(phrase), size);
  }
};

MURMELA_TEST(CardNumbersTest)
#include "CardNumbersTest.moc"
