#include "AnalysisFixtures.h"
#include "analysis/FirstsAnalyzer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// Messages of the given texts, one day apart from 2024-01-01 noon, then "ok"
// up to `total`.
MessageList daily(const QStringList& texts, qsizetype total = 0) {
  MessageList messages;
  for (const QString& text : texts)
    messages.append(message(text, localDate(2024, 1, 1).addingSeconds(86400.0 * double(messages.size()))));
  while (messages.size() < total)
    messages.append(message(QStringLiteral("ok"), messages.last().date.addingSeconds(60)));
  return messages;
}

QStringList times(const QString& text, qsizetype count) { return QStringList(count, text); }

QStringList phrasesOf(const QList<MeaningfulFirst>& firsts) {
  QStringList phrases;
  for (const MeaningfulFirst& first : firsts) phrases.append(first.phrase);
  return phrases;
}

const ParticipantNames kNames{QStringLiteral("You"), QStringLiteral("Sam")};

}  // namespace

class FirstsAnalyzerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void minimumUses_data() {
    QTest::addColumn<qsizetype>("total");
    QTest::addColumn<qsizetype>("uses");
    QTest::addColumn<bool>("found");
    QTest::newRow("999 messages, 3 uses") << qsizetype(999) << qsizetype(3) << true;
    QTest::newRow("999 messages, 2 uses") << qsizetype(999) << qsizetype(2) << false;
    QTest::newRow("1000 messages, 10 uses") << qsizetype(1000) << qsizetype(10) << true;
    QTest::newRow("1000 messages, 9 uses") << qsizetype(1000) << qsizetype(9) << false;
  }
  void minimumUses() {
    QFETCH(qsizetype, total);
    QFETCH(qsizetype, uses);
    QFETCH(bool, found);
    const auto term =
        FirstsAnalyzer().firstRecurringTerm(daily(times("hey babe", uses), total), RelationshipType::romantic, kNames);
    QCOMPARE(term.has_value(), found);
    if (found) {
      QCOMPARE(term->term, QStringLiteral("babe"));
      QCOMPARE(term->date, localDate(2024, 1, 1));
    }
  }

  void termOrder_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<QString>("name");  // the other participant
    QTest::addColumn<QString>("term");  // empty: none
    QTest::newRow("equal counts: the earlier first use")
        << times("baby", 1) + times("babe", 12) + times("baby", 11) << RelationshipType::romantic << "Sam"
        << "baby";
    QTest::newRow("more uses beat an earlier start")
        << times("baby", 12) + times("babe", 13) << RelationshipType::romantic << "Sam"
        << "babe";
    QTest::newRow("full tie: the earlier term of the list")
        << times("bestie dude", 3) << RelationshipType::closeFriend << "Sam"
        << "bestie";
    QTest::newRow("a contact named Buddy") << times("buddy", 5) << RelationshipType::casual << "Buddy"
                                           << "";
    QTest::newRow("buddy otherwise") << times("buddy", 5) << RelationshipType::casual << "Sam"
                                     << "buddy";
    QTest::newRow("whole words: brother is not bro") << times("my brother", 5) << RelationshipType::closeFriend << "Sam"
                                                     << "";
    QTest::newRow("whole words: lovely is not love") << times("lovely day", 5) << RelationshipType::romantic << "Sam"
                                                     << "";
    // "my love" always holds "love", which comes first in the list.
    QTest::newRow("overlapping terms") << times("night, My Love!", 3) << RelationshipType::romantic << "Sam"
                                       << "love";
  }
  void termOrder() {
    QFETCH(QStringList, texts);
    QFETCH(RelationshipType, type);
    QFETCH(QString, name);
    QFETCH(QString, term);
    const auto found = FirstsAnalyzer().firstRecurringTerm(daily(texts), type, {QStringLiteral("You"), name});
    QCOMPARE(found ? found->term : QString(), term);
  }

  void distinctiveTermsLeaveOutNames() {
    QCOMPARE(FirstsAnalyzer().distinctiveTerms(RelationshipType::casual, {"Boss", "BUDDY"}),
             QStringList({"friend", "neighbor", "coach"}));
  }

  void context_data() {
    QTest::addColumn<Date>("date");
    QTest::addColumn<Date>("first");  // Date(-1e12): no first message
    QTest::addColumn<QString>("context");
    QTest::newRow("friday evening") << localDate(2024, 3, 8, 21, 14) << localDate(2024, 1, 31, 20, 0)
                                    << "(a friday. 9:14 PM. 37 days in.)";
    QTest::newRow("a day short") << localDate(2024, 3, 8, 21, 14) << localDate(2024, 1, 31, 22, 0)
                                 << "(a friday. 9:14 PM. 36 days in.)";
    QTest::newRow("first day") << localDate(2024, 1, 31, 23, 59) << localDate(2024, 1, 31, 0, 5)
                               << "(a wednesday. 11:59 PM. 0 days in.)";
    QTest::newRow("just after midnight") << localDate(2024, 2, 4, 0, 5) << localDate(2024, 2, 1, 0, 0)
                                         << "(a sunday. 12:05 AM. 3 days in.)";
    QTest::newRow("across the spring change")
        << localDate(2024, 3, 11, 11, 30) << localDate(2024, 3, 9, 12, 0) << "(a monday. 11:30 AM. 1 days in.)";
    // A day on from 02:30 before the spring change is 03:30: 03:29 is not a day.
    QTest::newRow("into the skipped hour")
        << localDate(2024, 3, 10, 3, 29) << localDate(2024, 3, 9, 2, 30) << "(a sunday. 3:29 AM. 0 days in.)";
    // A day on from 01:30 before the fall change is the first 01:30: the
    // second 01:15 (06:15 UTC) is past it.
    QTest::newRow("the repeated hour") << Date::fromUnix(1730614500.0) << localDate(2024, 11, 2, 1, 30)
                                       << "(a sunday. 1:15 AM. 1 days in.)";
    QTest::newRow("before the first message")
        << localDate(2024, 1, 1, 12, 0) << localDate(2024, 2, 1, 12, 0) << "(a monday. 12:00 PM. 0 days in.)";
    QTest::newRow("no first message") << localDate(2024, 1, 1, 12, 0) << Date(-1e12)
                                      << "(a monday. 12:00 PM. 0 days in.)";
  }
  void context() {
    QFETCH(Date, date);
    QFETCH(Date, first);
    QFETCH(QString, context);
    const std::optional<Date> firstMessage = first == Date(-1e12) ? std::nullopt : std::optional<Date>(first);
    QCOMPARE(FirstsAnalyzer::context(date, firstMessage), context);
  }

  void contextInOtherLocales_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("context");
    QTest::newRow("en_GB") << "en_GB"
                           << "(a friday. 9:14 pm. 37 days in.)";
    QTest::newRow("de_DE") << "de_DE"
                           << "(a freitag. 9:14 PM. 37 days in.)";
    // The locale's own digits in the time; the day count stays plain.
    QTest::newRow("ar_EG") << "ar_EG"
                           << "(a \u0627\u0644\u062C\u0645\u0639\u0629. \u0669:\u0661\u0664 \u0645. 37 days in.)";
  }
  void contextInOtherLocales() {
    QFETCH(QString, locale);
    QTEST(FirstsAnalyzer::context(localDate(2024, 3, 8, 21, 14), localDate(2024, 1, 31, 20, 0), QLocale(locale)),
          "context");
  }

  void termCarriesItsContext() {
    const auto term = FirstsAnalyzer().firstRecurringTerm(daily({"hi", "hi", "hey bb", "bb", "bb"}),
                                                          RelationshipType::romantic, kNames);
    QVERIFY(term);
    QCOMPARE(term->date, localDate(2024, 1, 3));
    QCOMPARE(term->context, QStringLiteral("(a wednesday. 12:00 PM. 2 days in.)"));
  }

  void otherFirsts_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("excluding");  // empty: nothing excluded
    QTest::addColumn<QStringList>("phrases");
    QTest::newRow("one message, list order")
        << QStringList{"miss you, love you"} << "" << QStringList{"love you", "miss you"};
    QTest::newRow("each phrase once") << QStringList{"miss you", "miss you", "we need to talk"} << ""
                                      << QStringList{"miss you", "we need to talk"};
    QTest::newRow("the five earliest") << QStringList{"come over", "need you",    "want you",
                                                      "be safe",   "my favorite", "you lied"}
                                       << ""
                                       << QStringList{"come over", "need you", "want you", "be safe", "my favorite"};
    QTest::newRow("excluded term") << QStringList{"love you", "miss u"} << "Love You" << QStringList{"miss u"};
    QTest::newRow("whole words") << QStringList{"i'm hurting", "you lied!"} << "" << QStringList{"you lied"};
    QTest::newRow("nothing") << QStringList{"ok", "sure"} << "" << QStringList{};
  }
  void otherFirsts() {
    QFETCH(QStringList, texts);
    QFETCH(QString, excluding);
    QFETCH(QStringList, phrases);
    const auto firsts = FirstsAnalyzer().otherFirsts(
        daily(texts), excluding.isEmpty() ? std::nullopt : std::optional<QString>(excluding));
    QCOMPARE(phrasesOf(firsts), phrases);
  }

  void generativeCandidates_data() {
    QTest::addColumn<QString>("term");
    QTest::addColumn<QStringList>("proposed");
    QTest::addColumn<QString>("chosenTerm");
    QTest::addColumn<QStringList>("phrases");
    // Messages: day 0 "hey babe", 1 "babe", 2 "baby i miss you", 3 "baby come over", 4 "baby love you",
    // 5 "proud of you baby".
    QTest::newRow("accepted, ordered by date")
        << " Babe " << QStringList{"Proud of you", "love you", "miss you", "miss you", "made it", "come over"} << "babe"
        << QStringList{"miss you", "come over", "love you", "proud of you"};
    QTest::newRow("two usable phrases: heuristic phrases")
        << "babe" << QStringList{"love you", "come over", "hate you"} << "babe"
        << QStringList{"miss you", "i miss you", "come over", "love you", "proud of you"};
    QTest::newRow("term off the list: heuristic term") << "sweetie" << QStringList{"love you", "come over", "miss you"}
                                                       << "baby" << QStringList{"miss you", "come over", "love you"};
    QTest::newRow("term never used: heuristic term")
        << "darling" << QStringList{} << "baby"
        << QStringList{"miss you", "i miss you", "come over", "love you", "proud of you"};
  }
  void generativeCandidates() {
    QFETCH(QString, term);
    QFETCH(QStringList, proposed);
    QFETCH(QString, chosenTerm);
    QFETCH(QStringList, phrases);
    const MessageList messages =
        daily({"hey babe", "babe", "baby i miss you", "baby come over", "baby love you", "proud of you baby"});
    const FirstsResult result =
        FirstsAnalyzer().firstsResult({term, proposed}, messages, RelationshipType::romantic, kNames);
    QVERIFY(result.firstDistinctiveTerm);
    QCOMPARE(result.firstDistinctiveTerm->term, chosenTerm);
    QCOMPARE(phrasesOf(result.otherFirsts), phrases);
  }

  void emptyConversation() {
    const FirstsAnalyzer analyzer;
    QVERIFY(!analyzer.firstRecurringTerm({}, RelationshipType::romantic, kNames));
    QVERIFY(analyzer.otherFirsts({}).isEmpty());
    const FirstsResult result = analyzer.firstsResult({"babe", {"love you"}}, {}, RelationshipType::romantic, kNames);
    QVERIFY(!result.firstDistinctiveTerm);
    QVERIFY(result.otherFirsts.isEmpty());
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(FirstsAnalyzerTest)
#include "FirstsAnalyzerTest.moc"
