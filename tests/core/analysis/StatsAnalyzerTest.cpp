#include "AnalysisFixtures.h"
#include "analysis/RankedCounts.h"
#include "analysis/StatsAnalyzer.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

using Counts = QList<CountedString>;
using Dictionary = QHash<QString, qint64>;

Dictionary dictionary(std::initializer_list<std::pair<QString, qint64>> entries) {
  QHash<QString, qint64> counts;
  for (const auto& [text, count] : entries) counts.insert(text, count);
  return counts;
}

}  // namespace

class StatsAnalyzerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void emojiCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Counts>("expected");
    QTest::addColumn<qint64>("total");
    // 👍, 👍🏽, ❤️ count; the keycap 1️⃣ and © do not.
    QTest::newRow("five clusters give three") << QStringLiteral("👍👍🏽❤️1️⃣©")
                                              << Counts{{"❤️", 1}, {"👍", 1}, {"👍🏽", 1}} << qint64(3);
    QTest::newRow("flag is one") << QStringLiteral("go 🇩🇪!") << Counts{{"🇩🇪", 1}} << qint64(1);
    QTest::newRow("zwj family is one") << QStringLiteral("👨‍👩‍👧‍👦")
                                       << Counts{{"👨‍👩‍👧‍👦", 1}} << qint64(1);
    QTest::newRow("emoji between words") << QStringLiteral("ok👍ok👍") << Counts{{"👍", 2}} << qint64(2);
    QTest::newRow("heart without selector") << QStringLiteral("\u2764") << Counts{{"\u2764", 1}} << qint64(1);
    // U+231A has Emoji_Presentation although it lies below U+238C.
    QTest::newRow("watch below the cut") << QStringLiteral("\u231A") << Counts{{"\u231A", 1}} << qint64(1);
    QTest::newRow("keyboard is not") << QStringLiteral("\u2328") << Counts{} << qint64(0);
    QTest::newRow("double exclamation is not") << QStringLiteral("wow\u203C") << Counts{} << qint64(0);
    QTest::newRow("hash keycap and trade mark are not") << QStringLiteral("#️⃣ \u2122") << Counts{} << qint64(0);
    QTest::newRow("plain text") << QStringLiteral("hello there") << Counts{} << qint64(0);
  }
  void emojiCharacters() {
    QFETCH(QString, text);
    QFETCH(Counts, expected);
    QFETCH(qint64, total);
    const StatsResult result = StatsAnalyzer().analyze({message(text, localDate(2024, 3, 6))});
    QCOMPARE(result.topEmojis, expected);
    QCOMPARE(result.totalEmojiCount, total);
  }

  void topEmojisCutAtTwelveWithTie() {
    // Eleven emojis with distinct counts 13..3, then 😀 (seen first) and 🍕
    // tie for the twelfth place with one use each: 🍕 sorts first and stays.
    const QStringList ranked = {"😂", "❤️", "👍", "🥰", "😭", "🙏", "✨", "😅", "🔥", "🎉", "🌹"};
    MessageList messages{message(QStringLiteral("😀"), localDate(2024, 1, 1))};
    for (qsizetype i = 0; i < ranked.size(); ++i)
      messages.append(message(ranked[i].repeated(13 - i), localDate(2024, 1, 2)));
    messages.append(message(QStringLiteral("🍕"), localDate(2024, 1, 3)));

    const StatsResult result = StatsAnalyzer().analyze(messages);
    QCOMPARE(result.topEmojis.size(), 12);
    for (qsizetype i = 0; i < ranked.size(); ++i) {
      QCOMPARE(result.topEmojis[i].value, ranked[i]);
      QCOMPARE(result.topEmojis[i].count, 13 - i);
    }
    QCOMPARE(result.topEmojis.last(), (CountedString{"🍕", 1}));
    QCOMPARE(result.totalEmojiCount, 2 + (13 + 3) * 11 / 2);
  }

  void rankingRule_data() {
    QTest::addColumn<Dictionary>("counts");
    QTest::addColumn<qsizetype>("limit");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("count first") << dictionary({{"a", 1}, {"b", 3}, {"c", 2}}) << qsizetype(10)
                                 << QStringList{"b", "c", "a"};
    QTest::newRow("upper case before lower case")
        << dictionary({{"a", 1}, {"B", 1}}) << qsizetype(10) << QStringList{"B", "a"};
    // UTF-16 order would put the emoji (a surrogate pair) first.
    QTest::newRow("code point order") << dictionary({{"😀", 2}, {"\uFF5E", 2}}) << qsizetype(10)
                                      << QStringList{"\uFF5E", "😀"};
    QTest::newRow("prefix first") << dictionary({{"ab", 1}, {"a", 1}}) << qsizetype(10) << QStringList{"a", "ab"};
    QTest::newRow("cut after ordering") << dictionary({{"d", 1}, {"c", 1}, {"b", 1}, {"a", 1}}) << qsizetype(2)
                                        << QStringList{"a", "b"};
    QTest::newRow("no limit, no entries") << dictionary({{"a", 1}}) << qsizetype(0) << QStringList{};
  }
  void rankingRule() {
    QFETCH(Dictionary, counts);
    QFETCH(qsizetype, limit);
    QFETCH(QStringList, order);
    QStringList texts;
    for (const RankedCount& entry : rankCounts(counts, limit)) {
      QCOMPARE(entry.count, counts.value(entry.text));
      texts.append(entry.text);
    }
    QCOMPARE(texts, order);
  }

  void oneMessage() {
    // Wednesday 6 March 2024, 15:20 local: row 3 (Sunday is 0), column 15.
    const StatsResult result = StatsAnalyzer().analyze({message("hi", localDate(2024, 3, 6, 15, 20), false)});
    QCOMPARE(result.totalMessages, 1);
    QCOMPARE(result.totalDays, 1);
    QCOMPARE(result.activeDays, 1);
    QCOMPARE(result.messagesByYear, (QMap<qint64, qint64>{{2024, 1}}));
    QCOMPARE(result.messagesPerPerson.me, 0);
    QCOMPARE(result.messagesPerPerson.them, 1);
    qint64 cells = 0;
    for (const QList<qint64>& row : result.messagesByHourByDayOfWeek) {
      QCOMPARE(row.size(), 24);
      for (qint64 cell : row) cells += cell;
    }
    QCOMPARE(result.messagesByHourByDayOfWeek.size(), 7);
    QCOMPARE(cells, 1);
    QCOMPARE(result.messagesByHourByDayOfWeek[3][15], 1);
  }

  void calendarDays_data() {
    QTest::addColumn<MessageList>("messages");
    QTest::addColumn<qint64>("totalDays");
    QTest::addColumn<qint64>("activeDays");
    QTest::newRow("23:59 and 00:01") << MessageList{message("a", localDate(2024, 3, 9, 23, 59)),
                                                    message("b", localDate(2024, 3, 10, 0, 1))}
                                     << qint64(2) << qint64(2);
    // 9 to 11 March 2024 spans the switch to summer time: 47 hours, three days.
    QTest::newRow("across the spring change")
        << MessageList{message("a", localDate(2024, 3, 9, 12)), message("b", localDate(2024, 3, 11, 11, 30))}
        << qint64(3) << qint64(2);
    QTest::newRow("same day twice") << MessageList{message("a", localDate(2024, 3, 9, 1)),
                                                   message("b", localDate(2024, 3, 9, 23))}
                                    << qint64(1) << qint64(1);
    // Out of order: the first element is later, so the span is negative and becomes 1.
    QTest::newRow("unsorted input") << MessageList{message("a", localDate(2024, 3, 5)),
                                                   message("b", localDate(2024, 3, 1)),
                                                   message("c", localDate(2024, 3, 3))}
                                    << qint64(1) << qint64(3);
  }
  void calendarDays() {
    QFETCH(MessageList, messages);
    QFETCH(qint64, totalDays);
    QFETCH(qint64, activeDays);
    const StatsResult result = StatsAnalyzer().analyze(messages);
    QCOMPARE(result.totalDays, totalDays);
    QCOMPARE(result.activeDays, activeDays);
    QCOMPARE(result.firstMessageDate, messages.first().date);
    QCOMPARE(result.lastMessageDate, messages.last().date);
  }

  void gridAndYearsUseLocalTime() {
    // 31 Dec 2023 23:30 in New York is already 2024 in UTC; Saturday 9 March
    // 23:59 and Sunday 10 March 00:01 fall into rows 6 and 0.
    const MessageList messages{message("a", localDate(2023, 12, 31, 23, 30), true),
                               message("b", localDate(2024, 3, 9, 23, 59), false),
                               message("c", localDate(2024, 3, 10, 0, 1), true)};
    const StatsResult result = StatsAnalyzer().analyze(messages);
    QCOMPARE(result.messagesByYear, (QMap<qint64, qint64>{{2023, 1}, {2024, 2}}));
    QCOMPARE(result.messagesByHourByDayOfWeek[0][23], 1);  // 31 Dec 2023 was a Sunday
    QCOMPARE(result.messagesByHourByDayOfWeek[6][23], 1);
    QCOMPARE(result.messagesByHourByDayOfWeek[0][0], 1);
    QCOMPARE(result.messagesPerPerson.me, 2);
    QCOMPARE(result.messagesPerPerson.them, 1);
  }

  void emptyConversation() {
    const Date before = Date::now();
    const StatsResult result = StatsAnalyzer().analyze({});
    const Date after = Date::now();
    QCOMPARE(result.totalMessages, 0);
    QCOMPARE(result.totalDays, 0);
    QCOMPARE(result.activeDays, 0);
    QCOMPARE(result.totalEmojiCount, 0);
    QVERIFY(result.firstMessageDate >= before && result.firstMessageDate <= after);
    QCOMPARE(result.lastMessageDate, result.firstMessageDate);
    QVERIFY(result.messagesByYear.isEmpty());
    QVERIFY(result.topEmojis.isEmpty());
    QCOMPARE(result.messagesByHourByDayOfWeek, QList<QList<qint64>>(7, QList<qint64>(24, 0)));
  }
};

MURMELA_TEST(StatsAnalyzerTest)
#include "StatsAnalyzerTest.moc"
