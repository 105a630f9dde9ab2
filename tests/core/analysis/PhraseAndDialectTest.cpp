#include "AnalysisFixtures.h"
#include "analysis/DialectAnalyzer.h"
#include "analysis/PhraseAnalyzer.h"
#include "analysis/Tokenizer.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

using Stats = QList<PhraseStat>;

// "phrase=count, ..." in ranking order.
QString describe(const Stats& stats) {
  QStringList parts;
  for (const PhraseStat& stat : stats) parts.append(stat.phrase + QLatin1Char('=') + QString::number(stat.count));
  return parts.join(QStringLiteral(", "));
}

}  // namespace

class PhraseAndDialectTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void tokenizer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("tokens");
    QTest::newRow("apostrophe splits") << "Don't!!" << QStringList{"don"};
    QTest::newRow("short pieces dropped")
        << "yeah okay you are the best" << QStringList{"yeah", "okay", "you", "are", "the", "best"};
    QTest::newRow("digits are word characters") << "I have 123 and 42" << QStringList{"have", "123", "and"};
    QTest::newRow("accents lowered and kept") << QStringLiteral("CAFÉ au lait") << QStringList{"café", "lait"};
    QTest::newRow("emoji splits") << QStringLiteral("lol👍lol") << QStringList{"lol", "lol"};
    QTest::newRow("underscore and hyphen split") << "well-known_thing" << QStringList{"well", "known", "thing"};
    // Three characters in six units are kept, two characters in four units are not.
    QTest::newRow("characters, not units") << QStringLiteral("q\u0301q\u0301q\u0301 q\u0301q\u0301")
                                           << QStringList{QStringLiteral("q\u0301q\u0301q\u0301")};
    QTest::newRow("astral letters") << QStringLiteral("\U0001D400\U0001D401\U0001D402!")
                                    << QStringList{QStringLiteral("\U0001D400\U0001D401\U0001D402")};
    QTest::newRow("runs of separators") << "  wow...   such   " << QStringList{"wow", "such"};
    QTest::newRow("empty") << "" << QStringList{};
  }
  void tokenizer() {
    QFETCH(QString, text);
    QFETCH(QStringList, tokens);
    QCOMPARE(tokenize(text), tokens);
  }

  void topPhrases_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("expected");
    // Stopwords leave only "best"; pairs of seven characters are dropped.
    QTest::newRow("stopwords and short pairs")
        << QStringList{"yeah okay you are the best"} << "best=1, okay you=1, the best=1, yeah okay=1";
    QTest::newRow("counts across messages")
        << QStringList{"pizza night", "Pizza night!", "pizza"} << "pizza=3, night=2, pizza night=2";
    QTest::newRow("numbers count like words") << QStringList{"room 123", "room 123"} << "123=2, room=2, room 123=2";
    // Canonically equivalent spellings are one word, written in NFC.
    QTest::newRow("nfc and nfd merge") << QStringList{QStringLiteral("café"), QStringLiteral("cafe\u0301")}
                                       << QStringLiteral("café=2");
    // "q́q́q́ abc" is 7 characters (10 units) and dropped, "q́q́q́ abcd" is 8 and kept.
    QTest::newRow("phrase length in characters")
        << QStringList{QStringLiteral("q\u0301q\u0301q\u0301 abc"), QStringLiteral("q\u0301q\u0301q\u0301 abcd")}
        << QStringLiteral("q\u0301q\u0301q\u0301=2, abc=1, abcd=1, q\u0301q\u0301q\u0301 abcd=1");
    QTest::newRow("eleven entries cut to ten")
        << QStringList{"aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk"}
        << "aaa=1, bbb=1, ccc=1, ddd=1, eee=1, fff=1, ggg=1, hhh=1, iii=1, jjj=1";
    QTest::newRow("nothing left") << QStringList{"ok", "the and", ""} << "";
  }
  void topPhrases() {
    QFETCH(QStringList, texts);
    QFETCH(QString, expected);
    MessageList messages;
    for (const QString& text : texts) messages.append(message(text));
    QCOMPARE(describe(PhraseAnalyzer().topPhrases(messages)), expected);
  }

  void phrasesPerPerson() {
    const MessageList messages{message("movie night", Date(1), true), message("movie tonight", Date(2), false),
                               message("movie night again", Date(3), true)};
    const PersonPhraseBreakdown breakdown = PhraseAnalyzer().analyze(messages);
    QCOMPARE(describe(breakdown.me), QStringLiteral("movie=2, movie night=2, night=2, again=1, night again=1"));
    QCOMPARE(describe(breakdown.them), QStringLiteral("movie=1, movie tonight=1, tonight=1"));
    QVERIFY(PhraseAnalyzer().analyze(textMessages({"only mine"}, true)).them.isEmpty());
  }

  void dialectTerms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("every occurrence") << "lol LOL lol"
                                      << "lol=3";
    QTest::newRow("accented letter continues the word") << QStringLiteral("lolé") << "";
    QTest::newRow("haha is not inside hahaha") << "hahaha"
                                               << "hahaha=1";
    QTest::newRow("ok is not inside okay") << "okay"
                                           << "okay=1";
    QTest::newRow("rip is not inside trip") << "what a trip, rip"
                                            << "rip=1";
    QTest::newRow("overlapping terms count separately") << "I love you"
                                                        << "i love you=1, love you=1";
    QTest::newRow("apostrophe is a boundary") << "omg idk, tbh it's fine"
                                              << "idk=1, omg=1, tbh=1";
    QTest::newRow("two spaces break a phrase") << "miss  you"
                                               << "";
    QTest::newRow("ranked and cut to ten") << "lol lmao rofl omg idk tbh wyd rn fr ok rip rip"
                                           << "rip=2, fr=1, idk=1, lmao=1, lol=1, ok=1, omg=1, rn=1, rofl=1, tbh=1";
  }
  void dialectTerms() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(DialectAnalyzer().topTerms({message(text)})), expected);
  }

  void dialectTermsIgnoreCaseOfTheList() {
    const DialectAnalyzer analyzer(QStringList{"LOL", "Miss U"});
    QCOMPARE(describe(analyzer.topTerms(textMessages({"lol", "MISS U lol"}))), QStringLiteral("LOL=2, Miss U=1"));
  }

  void dialectPerPerson() {
    const MessageList messages{message("haha ok", Date(1), true), message("haha", Date(2), false),
                               message("haha haha", Date(3), true)};
    const PersonPhraseBreakdown breakdown = DialectAnalyzer().analyze(messages);
    QCOMPARE(describe(breakdown.me), QStringLiteral("haha=3, ok=1"));
    QCOMPARE(describe(breakdown.them), QStringLiteral("haha=1"));
    QVERIFY(DialectAnalyzer().analyze({}).me.isEmpty());
  }
};

MURMELA_TEST(PhraseAndDialectTest)
#include "PhraseAndDialectTest.moc"
