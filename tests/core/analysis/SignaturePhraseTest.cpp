#include "AnalysisFixtures.h"
#include "GenerativeFixtures.h"
#include "analysis/SignaturePhraseAnalyzer.h"
#include "common/WholeWordMatcher.h"
#include "support/SampleChat.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// `total` messages: `runs` saying the given text, the rest "ok" (which has no
// token of three characters, so it forms no run).
MessageList conversation(qsizetype total, const QList<std::pair<QString, qsizetype>>& texts) {
  MessageList messages;
  for (const auto& [text, count] : texts)
    for (qsizetype i = 0; i < count; ++i) messages.append(message(text, Date(double(messages.size())), i % 2 == 0));
  while (messages.size() < total) messages.append(message(QStringLiteral("ok"), Date(double(messages.size()))));
  return messages;
}

std::optional<SignaturePhrase> analyze(const MessageList& messages, RelationshipType type) {
  return SignaturePhraseAnalyzer().analyze(messages, type);
}

}  // namespace

class SignaturePhraseTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { AnalysisLogger::shared().clearLines(); }
  void cleanup() { IntelligenceRuntime::configure(nullptr); }

  void thresholds_data() {
    QTest::addColumn<qsizetype>("total");
    QTest::addColumn<qsizetype>("occurrences");
    QTest::addColumn<bool>("wins");
    QTest::newRow("1000: 4 win") << qsizetype(1000) << qsizetype(4) << true;
    QTest::newRow("1000: 3 lose") << qsizetype(1000) << qsizetype(3) << false;
    QTest::newRow("1199: 4 win") << qsizetype(1199) << qsizetype(4) << true;
    QTest::newRow("1500: 4 lose") << qsizetype(1500) << qsizetype(4) << false;
    QTest::newRow("3000: 10 win") << qsizetype(3000) << qsizetype(10) << true;
    QTest::newRow("3000: 9 lose") << qsizetype(3000) << qsizetype(9) << false;
    QTest::newRow("5999: 19 win") << qsizetype(5999) << qsizetype(19) << true;
    QTest::newRow("5999: 18 lose") << qsizetype(5999) << qsizetype(18) << false;
    QTest::newRow("6000: 20 win") << qsizetype(6000) << qsizetype(20) << true;
    QTest::newRow("6000: 19 lose") << qsizetype(6000) << qsizetype(19) << false;
  }
  void thresholds() {
    QFETCH(qsizetype, total);
    QFETCH(qsizetype, occurrences);
    QFETCH(bool, wins);
    const auto result = analyze(conversation(total, {{"See you soon!", occurrences}}), RelationshipType::casual);
    QCOMPARE(result.has_value(), wins);
    if (wins) {
      QCOMPARE(result->phrase, QStringLiteral("see you soon"));
      QCOMPARE(result->count, qint64(occurrences));
      QCOMPARE(result->flavorLine, QStringLiteral("(see you soon kept showing up)"));
    }
    QCOMPARE(unstampedLogLines(), QStringList({"Generative signature phrase: no provider; using heuristics",
                                               "Heuristic signature phrase: starting",
                                               wins ? "Heuristic signature phrase: success phrase='see you soon'"
                                                    : "Heuristic signature phrase: no phrase"}));
  }

  void twoOccurrencesAreNotRanked() {
    QVERIFY(SignaturePhraseAnalyzer().rankedPhrases(conversation(10, {{"see you soon", 2}})).isEmpty());
    QCOMPARE(SignaturePhraseAnalyzer().rankedPhrases(conversation(10, {{"see you soon", 3}})),
             QList<PhraseStat>({{"see you soon", 3}}));
  }

  void ranking() {
    // Equal counts: more characters first, then code-point order.
    const MessageList messages = conversation(0, {{"see you at the pickle jar", 5}, {"Good morning babe", 7}});
    QCOMPARE(SignaturePhraseAnalyzer().rankedPhrases(messages), QList<PhraseStat>({
                                                                    {"good morning babe", 7},
                                                                    {"see you the pickle jar", 5},
                                                                    {"see you the pickle", 5},
                                                                    {"you the pickle jar", 5},
                                                                    {"the pickle jar", 5},
                                                                    {"you the pickle", 5},
                                                                    {"see you the", 5},
                                                                }));
    QCOMPARE(SignaturePhraseAnalyzer().rankedPhrases(messages, 2).size(), 2);
  }

  void winnerCountsAtLeastItsRuns() {
    // The run skips "at"; the fuzzy count alone would find it nowhere.
    const auto result = analyze(conversation(10, {{"see you at the pickle jar", 5}}), RelationshipType::romantic);
    QVERIFY(result);
    QCOMPARE(result->phrase, QStringLiteral("see you the pickle jar"));
    QCOMPARE(result->count, 5);
    // Spelling variants still count beyond the runs.
    const auto variants = analyze(conversation(10, {{"love you forever babe", 4}, {"love u forever babe", 3}}),
                                  RelationshipType::romantic);
    QVERIFY(variants);
    QCOMPARE(variants->phrase, QStringLiteral("love you forever babe"));
    QCOMPARE(variants->count, 7);
  }

  void runsStayInsideMessages() {
    MessageList messages;
    for (int i = 0; i < 6; ++i) {
      messages.append(message(QStringLiteral("alpha beta"), Date(2.0 * i)));
      messages.append(message(QStringLiteral("gamma"), Date(2.0 * i + 1)));
    }
    QVERIFY(SignaturePhraseAnalyzer().rankedPhrases(messages).isEmpty());
  }

  void canonicallyEquivalentSpellingsCountTogether() {
    // "café" composed twice, decomposed twice: one phrase, four times.
    const MessageList messages =
        conversation(0, {{QStringLiteral("the caf\u00e9 again"), 2}, {QStringLiteral("the cafe\u0301 again"), 2}});
    QCOMPARE(SignaturePhraseAnalyzer().rankedPhrases(messages),
             QList<PhraseStat>({{QStringLiteral("the caf\u00e9 again"), 4}}));
  }

  void generic_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("generic");
    QTest::newRow("every word generic") << "okay yeah sure" << true;
    QTest::newRow("whole entry") << "good morning" << true;
    QTest::newRow("one word is not") << "good morning babe" << false;
    QTest::newRow("words of an entry are not") << "good night good" << false;
    QTest::newRow("extra spaces") << " what  when " << true;
  }
  void generic() {
    QFETCH(QString, phrase);
    QFETCH(bool, generic);
    QCOMPARE(SignaturePhraseAnalyzer().isGeneric(phrase), generic);
  }

  void genericRunsNeverRank() {
    const MessageList messages = conversation(100, {{"okay yeah sure", 30}});
    QVERIFY(SignaturePhraseAnalyzer().rankedPhrases(messages).isEmpty());
  }

  void normalized_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normalized");
    QTest::newRow("ily") << "ILY!!"
                         << "i love you";
    QTest::newRow("u") << "love u"
                       << "love you";
    QTest::newRow("punctuation") << "  Don't—stop, ok? "
                                 << "don t stop ok";
    QTest::newRow("inside words untouched") << "lily uu"
                                            << "lily uu";
    QTest::newRow("nothing") << " ?! "
                             << "";
  }
  void normalized() {
    QFETCH(QString, text);
    QFETCH(QString, normalized);
    QCOMPARE(SignaturePhraseAnalyzer::normalizedForPhraseMatching(text), normalized);
  }

  void fuzzyCount_data() {
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<qint64>("count");
    QTest::newRow("every occurrence") << "see you soon" << QStringList{"See you soon!! see you SOON", "x"} << qint64(2);
    QTest::newRow("whole words only") << "love you" << QStringList{"glove your hands"} << qint64(0);
    QTest::newRow("spelled out") << "love you" << QStringList{"ily", "love u", "Love, you!"} << qint64(3);
    QTest::newRow("i love you, once a message")
        << "i love you" << QStringList{"love u", "love u", "ily", "I love you, love you"} << qint64(4);
    QTest::newRow("i love you, no match") << "i love you" << QStringList{"lily", "loved you"} << qint64(0);
    QTest::newRow("empty phrase") << "?!" << QStringList{"?!"} << qint64(0);
  }
  void fuzzyCount() {
    QFETCH(QString, phrase);
    QFETCH(QStringList, texts);
    QFETCH(qint64, count);
    MessageList messages;
    for (const QString& text : texts) messages.append(message(text));
    QCOMPARE(SignaturePhraseAnalyzer::fuzzyCount(phrase, messages), count);
  }

  // The counting skips messages that lack a word of the phrase; over a long
  // conversation it must agree with matching every normalized message.
  void fuzzyCountMatchesTheDirectCount() {
    SampleChatOptions options;
    options.messageCount = 4000;
    MessageList messages = makeSampleChat(options).messages;
    messages.append(message(QStringLiteral("Ily!! see u at the CAFE\u0301")));
    messages.append(message(QStringLiteral("love u, same time same place")));
    const QStringList phrases = {
        "same time same place",      "you you you", "love you", "i love you", "see you", "bro", "how was your day",
        QStringLiteral("caf\u00e9"), "the you"};
    const QList<qint64> counts = SignaturePhraseAnalyzer::fuzzyCounts(phrases, messages);
    for (qsizetype i = 0; i < phrases.size(); ++i) {
      const WholeWordMatcher matcher(SignaturePhraseAnalyzer::normalizedForPhraseMatching(phrases[i]));
      qint64 expected = 0;
      for (const Message& each : messages) {
        const QString normalized = SignaturePhraseAnalyzer::normalizedForPhraseMatching(each.text);
        if (phrases[i] != u"i love you") {
          expected += matcher.count(normalized);
          continue;
        }
        const QString lowered = each.text.toLower();
        if (lowered.contains(u"love you") || WholeWordMatcher(QStringLiteral("ily")).containedIn(lowered) ||
            normalized.contains(u"love you"))
          ++expected;
      }
      QVERIFY2(expected > 0 || phrases[i] == u"how was your day", qPrintable(phrases[i]));
      QCOMPARE(counts[i], expected);
    }
  }

  void fallbacks_data() {
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("phrase");  // empty: none
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("flavorLine");
    QTest::newRow("romantic: love u twice, ily once")
        << RelationshipType::romantic << QStringList{"love u", "love u", "ily"} << "i love you" << qint64(3)
        << "(the classic)";
    QTest::newRow("romantic without it") << RelationshipType::romantic << QStringList{"hi"} << "" << qint64(0) << "";
    QTest::newRow("close friends: bro before dude")
        << RelationshipType::closeFriend
        << QStringList{"dude", "dude", "dude", "dude", "dude", "bro", "bro", "bro", "bro", "bro", "brother"} << "bro"
        << qint64(5) << "(the bat signal)";
    QTest::newRow("family: the most used check-in")
        << RelationshipType::family << QStringList{"be safe", "call me", "Call me!", "you okay?"} << "call me"
        << qint64(2) << "(the check-in)";
    QTest::newRow("casual") << RelationshipType::casual << QStringList{"ily", "bro"} << "" << qint64(0) << "";
  }
  void fallbacks() {
    QFETCH(RelationshipType, type);
    QFETCH(QStringList, texts);
    QFETCH(QString, phrase);
    QFETCH(qint64, count);
    QFETCH(QString, flavorLine);
    MessageList messages;
    for (const QString& text : texts) messages.append(message(text));
    const auto result = analyze(messages, type);
    QCOMPARE(result.has_value(), !phrase.isEmpty());
    if (result) {
      QCOMPARE(result->phrase, phrase);
      QCOMPARE(result->count, count);
      QCOMPARE(result->flavorLine, flavorLine);
    }
    QCOMPARE(unstampedLogLines().last(), phrase.isEmpty()
                                             ? QStringLiteral("Heuristic signature phrase: no phrase")
                                             : "Heuristic signature phrase: fallback phrase='" + phrase + "'");
  }

  void flavorLines_data() {
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<QString>("flavorLine");
    QTest::newRow("romantic") << RelationshipType::romantic << "(their recurring soft spot)";
    QTest::newRow("close friends") << RelationshipType::closeFriend << "(the inside-joke alarm)";
    QTest::newRow("family") << RelationshipType::family << "(the family check-in)";
    QTest::newRow("casual") << RelationshipType::casual << "(pickle jar time kept showing up)";
  }
  void flavorLines() {
    QFETCH(RelationshipType, type);
    QFETCH(QString, flavorLine);
    const auto result = analyze(conversation(20, {{"pickle jar time", 6}}), type);
    QVERIFY(result);
    QCOMPARE(result->flavorLine, flavorLine);
  }

  void providerPick_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("rejection");  // empty: accepted
    // The pick need not be on the shortlist; it must occur and not be generic.
    QTest::newRow("accepted off the shortlist") << "{\"phrase\": \"Pickle Jar\", \"flavorLine\": \"(the jar)\"}"
                                                << "pickle jar" << qint64(6) << "";
    QTest::newRow("never said")
        << "{\"phrase\": \"moon river\"}"
        << "pickle jar time" << qint64(6)
        << "AFM signature phrase: rejected selected phrase='moon river' count=0; using heuristic "
           "shortlist winner";
    QTest::newRow("generic") << "{\"phrase\": \"okay yeah sure\"}"
                             << "pickle jar time" << qint64(6)
                             << "AFM signature phrase: rejected selected phrase='okay yeah sure' count=2; using "
                                "heuristic shortlist winner";
  }
  void providerPick() {
    QFETCH(QString, reply);
    QFETCH(QString, phrase);
    QFETCH(qint64, count);
    QFETCH(QString, rejection);
    ScriptedProviderScope provider;
    provider->reply(reply);
    const auto result =
        analyze(conversation(20, {{"pickle jar time", 6}, {"okay yeah sure", 2}}), RelationshipType::romantic);
    QVERIFY(result);
    QCOMPARE(result->phrase, phrase);
    QCOMPARE(result->count, count);
    const QStringList lines = unstampedLogLines();
    if (rejection.isEmpty()) {
      QCOMPARE(result->flavorLine, QStringLiteral("(the jar)"));
      QCOMPARE(lines.last(), QStringLiteral("Generative signature phrase: success phrase='pickle jar'"));
    } else {
      QVERIFY(lines.contains(rejection));
      QCOMPARE(lines.last(), QStringLiteral("Heuristic signature phrase: success phrase='pickle jar time'"));
    }
  }
};

MURMELA_TEST(SignaturePhraseTest)
#include "SignaturePhraseTest.moc"
