#include "common/UnicodeText.h"
#include "hosted/HostedMessages.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

namespace {

using Range = QPair<qint64, qint64>;  // first and last index of a chunk

HostedChatMessage message(qint64 index, const QString& sender, const QString& text = {}) {
  return {index, sender, QStringLiteral("2024-03-05T14:22:10Z"), text, false};  // 20-character time stamp
}

// `count` messages whose cost is sender + 20 + text + 8.
HostedMessageList messages(qsizetype count, const QString& sender, const QString& text = {}) {
  HostedMessageList list;
  for (qsizetype i = 1; i <= count; ++i) list.append(message(i, sender, text));
  return list;
}

QList<Range> ranges(const QList<HostedMessageList>& chunks) {
  QList<Range> out;
  for (const HostedMessageList& chunk : chunks) {
    for (qsizetype i = 1; i < chunk.size(); ++i)
      if (chunk[i].index != chunk[i - 1].index + 1) return {{-1, -1}};  // never a gap inside a chunk
    out.append({chunk.first().index, chunk.last().index});
  }
  return out;
}

QString repeated(const QString& cluster, qsizetype count) { return cluster.repeated(count); }

}  // namespace

class HostedMessagesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void cloudMessagesAreNumberedAndNamed() {
    ImportedChat chat;
    chat.meName = "Ana";
    chat.otherName = "Sam";
    chat.messages = {{10, "first", Date::fromUnix(1709648530.9), false, "+1", false},
                     {11, "second", Date::fromUnix(1709648590), true, "+1", true},
                     {12, "third", Date::fromUnix(1709648650), false, "+1", false}};
    const HostedMessageList hosted = makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(hosted.size(), 3);
    QCOMPARE(hosted[0], (HostedChatMessage{1, "Sam", "2024-03-05T14:22:10Z", "first", false}));
    QCOMPARE(hosted[1], (HostedChatMessage{2, "Ana", "2024-03-05T14:23:10Z", "second", true}));
    QCOMPARE(hosted[2].index, 3);
    QCOMPARE(hosted[2].sender, QString("Sam"));
  }

  void timestampForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::newRow("Z") << "2024-03-05T14:22:10Z" << true;
    QTest::newRow("offset") << "2024-03-05T16:22:10+02:00" << true;
    QTest::newRow("fraction") << "2024-03-05T14:22:10.5Z" << false;
    QTest::newRow("no zone") << "2024-03-05T14:22:10" << false;
    QTest::newRow("date only") << "2024-03-05" << false;
  }

  void timestampForm() {
    QFETCH(QString, text);
    QFETCH(bool, parses);
    const std::optional<Date> date = HostedAnalysisTimestamp::parse(text);
    QCOMPARE(date.has_value(), parses);
    if (parses) QCOMPARE(HostedAnalysisTimestamp::format(*date), QString("2024-03-05T14:22:10Z"));
  }

  void truncation_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("truncated");
    const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");                     // one character, four units
    const QString family = QStringLiteral("\U0001F469\u200D\U0001F467\u200D\U0001F466");  // one character, eight units
    QTest::newRow("12000 letters") << QString(12000, 'a') << false;
    QTest::newRow("12001 letters") << QString(12001, 'a') << true;
    QTest::newRow("12000 flags") << repeated(flag, 12000) << false;
    QTest::newRow("12001 flags") << repeated(flag, 12001) << true;
    QTest::newRow("12001 families") << repeated(family, 12001) << true;
    QTest::newRow("many units, few characters") << repeated(family, 3000) << false;
    QTest::newRow("letters then emoji") << QString(11999, 'a') + flag + family << true;
  }

  void truncation() {
    QFETCH(QString, text);
    QFETCH(bool, truncated);
    const HostedMessageList in = {message(1, "A", text), message(2, "B", "short")};
    const HostedMessageList out = truncateHostedMessages(in);
    QCOMPARE(out.size(), 2);
    QCOMPARE(out[1], in[1]);
    if (!truncated) {
      QCOMPARE(out[0], in[0]);
      return;
    }
    QCOMPARE(out[0].text, UnicodeText::graphemePrefix(text, 12000) + " [message truncated for analysis]");
    QCOMPARE(UnicodeText::graphemeCount(out[0].text), 12000 + 33);
    QCOMPARE(out[0].sender, in[0].sender);
    QCOMPARE(out[0].index, in[0].index);
  }

  void chunking_data() {
    QTest::addColumn<HostedMessageList>("list");
    QTest::addColumn<qsizetype>("maxCharacters");
    QTest::addColumn<qsizetype>("maxMessages");
    QTest::addColumn<qsizetype>("overlap");
    QTest::addColumn<QList<Range>>("expected");

    QTest::newRow("7000 messages of cost 29") << messages(7000, "A") << qsizetype(120000) << qsizetype(3000) << qsizetype(50)
                                              << QList<Range>{{1, 3000}, {2951, 5950}, {5901, 7000}};
    QList<Range> growing;
    for (qint64 last = 4; last <= 10; ++last) growing.append({1, last});
    QTest::newRow("10 messages of cost 30000") << messages(10, "A", QString(29971, 'x')) << qsizetype(120000)
                                               << qsizetype(3000) << qsizetype(50) << growing;
    QTest::newRow("oversized message first")
        << HostedMessageList{message(1, "A", QString(200000, 'x')), message(2, "B", "ok")} << qsizetype(120000)
        << qsizetype(3000) << qsizetype(50) << QList<Range>{{1, 1}, {1, 2}};
    QTest::newRow("no messages") << HostedMessageList() << qsizetype(120000) << qsizetype(3000) << qsizetype(50)
                                 << QList<Range>();
    QTest::newRow("one message per chunk keeps no overlap")
        << messages(3, "A") << qsizetype(120000) << qsizetype(1) << qsizetype(50) << QList<Range>{{1, 1}, {2, 2}, {3, 3}};
    QTest::newRow("no overlap") << messages(5, "A") << qsizetype(120000) << qsizetype(2) << qsizetype(0)
                                << QList<Range>{{1, 2}, {3, 4}, {5, 5}};
    // A flag is one character: two such messages cost exactly 58.
    QTest::newRow("cost counts characters") << messages(4, QStringLiteral("\U0001F1E9\U0001F1EA")) << qsizetype(58)
                                            << qsizetype(100) << qsizetype(1) << QList<Range>{{1, 2}, {2, 3}, {3, 4}};
  }

  void chunking() {
    QFETCH(HostedMessageList, list);
    QFETCH(qsizetype, maxCharacters);
    QFETCH(qsizetype, maxMessages);
    QFETCH(qsizetype, overlap);
    QFETCH(QList<Range>, expected);
    QCOMPARE(ranges(chunk(list, maxCharacters, maxMessages, overlap)), expected);
  }

  void messageCost() {
    QCOMPARE(hostedMessageCost(message(1, "A")), 29);
    QCOMPARE(hostedMessageCost(message(1, QStringLiteral("Zo\u00EB"), QStringLiteral("e\u0301!"))), 3 + 20 + 2 + 8);
  }
};

MURMELA_TEST(HostedMessagesTest)
#include "HostedMessagesTest.moc"
