#include "AnalysisFixtures.h"
#include "analysis/DialectAnalyzer.h"
#include "analysis/PhraseAnalyzer.h"
#include "analysis/PreparedText.h"
#include "analysis/RankedCounts.h"
#include "analysis/RelationshipClassifier.h"
#include "analysis/SentimentAnalyzer.h"
#include "analysis/Tokenizer.h"
#include "common/UnicodeText.h"
#include "common/WholeWordMatcher.h"
#include "support/SyntheticConversation.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// The top phrases computed the plain way, one dictionary keyed by text, as a
// reference for the analyzer's interned counting.
QList<PhraseStat> plainTopPhrases(const MessageList& messages) {
  const QStringList& stopwordList = PhraseAnalyzer::defaultStopwords();
  const QSet<QString> stopwords(stopwordList.begin(), stopwordList.end());
  QHash<QString, qint64> counts;
  for (const Message& message : messages) {
    const QStringList tokens = tokenize(message.text);
    for (qsizetype i = 0; i < tokens.size(); ++i) {
      const QString word = UnicodeText::nfc(tokens[i]);
      if (!stopwords.contains(word)) ++counts[word];
      if (i == 0) continue;
      const QString phrase = UnicodeText::nfc(tokens[i - 1] + QLatin1Char(' ') + tokens[i]);
      if (UnicodeText::graphemeCount(phrase) >= 8) ++counts[phrase];
    }
  }
  QList<PhraseStat> stats;
  for (const RankedCount& entry : rankCounts(counts, 10)) stats.append({entry.text, entry.count});
  return stats;
}

MessageList sampleConversation(qsizetype count, std::uint64_t seed) {
  SyntheticConversationOptions options;
  options.messageCount = count;
  options.seed = seed;
  return makeSyntheticConversation(options);
}

}  // namespace

class AnalyzerConsistencyTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void lowering_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("lower ascii") << "already lower 123";
    QTest::newRow("upper ascii") << "Hey THERE [Z] @A";
    QTest::newRow("accents") << QStringLiteral("ÉCOLE Ünïcode");
    QTest::newRow("dotted capital i") << QStringLiteral("İSTANBUL");
    QTest::newRow("sharp s and sigma") << QStringLiteral("STRASSE ẞ ΣΟΦΙΑ");
    QTest::newRow("emoji") << QStringLiteral("OK 👍🏽");
  }
  void lowering() {
    QFETCH(QString, text);
    QString buffer = QStringLiteral("previous contents that are longer");
    PreparedText::lowerInto(text, buffer);
    QCOMPARE(buffer, WholeWordMatcher::lowered(text));
  }

  // The pair signatures only skip texts that cannot hold a term: every count
  // equals the plain matcher's, over a varied conversation and every term list.
  void termMatchersAgreeWithTheMatcher() {
    QStringList terms = DialectAnalyzer::defaultTerms() + SentimentAnalyzer::defaultPositiveWords() +
                        SentimentAnalyzer::defaultNegativeWords() + RelationshipClassifier::defaultRomanticTerms() +
                        RelationshipClassifier::defaultCloseFriendTerms() +
                        RelationshipClassifier::defaultFamilyTerms();
    terms += {QStringLiteral("x"), QStringLiteral("café"), QStringLiteral("LOL")};
    const std::vector<TermMatcher> fast = makeTermMatchers(terms);
    MessageList messages = sampleConversation(3000, 7);
    messages += textMessages({"LOL lol", QStringLiteral("CAFÉ cafe\u0301 café"), "x-x x", ""});
    qint64 hits = 0;
    PreparedText prepared;
    for (const Message& message : messages) {
      prepared.reset(message.text);
      const QString lowered = WholeWordMatcher::lowered(message.text);
      for (qsizetype i = 0; i < terms.size(); ++i) {
        const WholeWordMatcher plain(terms[i]);
        const qsizetype expected = plain.count(lowered);
        QCOMPARE(fast[size_t(i)].count(prepared), expected);
        QCOMPARE(fast[size_t(i)].containedIn(prepared), expected > 0);
        hits += expected;
      }
    }
    QVERIFY(hits > 1000);  // the conversation does exercise the terms
  }

  void phrasesAgreeWithPlainCounting() {
    MessageList messages = sampleConversation(4000, 11);
    messages += textMessages({QStringLiteral("café au lait"), QStringLiteral("cafe\u0301 au lait"),
                              QStringLiteral("q\u0301q\u0301q\u0301 abc q\u0301q\u0301q\u0301 abcd")});
    QCOMPARE(PhraseAnalyzer().topPhrases(messages), plainTopPhrases(messages));
    MessageList mine;
    for (const Message& message : messages)
      if (message.isFromMe) mine.append(message);
    QCOMPARE(PhraseAnalyzer().analyze(messages).me, plainTopPhrases(mine));
    QVERIFY(PhraseAnalyzer().analyze({}).me.isEmpty());
    QVERIFY(PhraseAnalyzer().analyze({}).them.isEmpty());
  }

  void syntheticConversationsAreDeterministic() {
    const MessageList a = sampleConversation(500, 42);
    const MessageList b = sampleConversation(500, 42);
    const MessageList c = sampleConversation(500, 43);
    QCOMPARE(a.size(), 500);
    bool same = true;
    bool differs = false;
    bool ordered = true;
    bool bothSenders[2] = {false, false};
    for (qsizetype i = 0; i < a.size(); ++i) {
      same = same && a[i].text == b[i].text && a[i].date == b[i].date && a[i].isFromMe == b[i].isFromMe;
      differs = differs || a[i].text != c[i].text;
      ordered = ordered && (i == 0 || a[i - 1].date <= a[i].date);
      bothSenders[a[i].isFromMe] = true;
    }
    QVERIFY(same);
    QVERIFY(differs);
    QVERIFY(ordered);
    QVERIFY(bothSenders[0] && bothSenders[1]);
    const double spanDays = a.last().date.secondsSince(a.first().date) / 86400.0;
    QVERIFY2(spanDays > 365 && spanDays < 5 * 365, qPrintable(QString::number(spanDays)));
  }
};

MURMELA_TEST(AnalyzerConsistencyTest)
#include "AnalyzerConsistencyTest.moc"
