#include "GenerativeFixtures.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "support/SampleChat.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

#include <algorithm>

using namespace murmela;
using namespace murmela::test;

class SampleChatTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void deterministicAndOrdered() {
    SampleChatOptions options;
    options.messageCount = 3000;
    const SampleChat chat = makeSampleChat(options);
    QCOMPARE(chat.messages.size(), 3000);
    QCOMPARE(chat.bodyOnly.size(), 3000);
    QCOMPARE(chat.argumentDays, 4);
    QVERIFY(std::is_sorted(chat.messages.begin(), chat.messages.end(),
                           [](const Message& a, const Message& b) { return a.date < b.date; }));
    for (qsizetype i = 0; i < chat.messages.size(); ++i) {
      QCOMPARE(chat.messages[i].id, i + 1);
      QCOMPARE(chat.messages[i].date.secondsSinceReference(), std::floor(chat.messages[i].date.secondsSinceReference()));
    }
    QVERIFY(std::count(chat.bodyOnly.begin(), chat.bodyOnly.end(), true) > 0);
    QVERIFY(std::any_of(chat.messages.begin(), chat.messages.end(), [](const Message& m) { return m.hasPhoto; }));

    const SampleChat again = makeSampleChat(options);
    for (qsizetype i = 0; i < chat.messages.size(); ++i) {
      QCOMPARE(again.messages[i].text, chat.messages[i].text);
      QCOMPARE(again.messages[i].date, chat.messages[i].date);
      QCOMPARE(again.messages[i].isFromMe, chat.messages[i].isFromMe);
    }
    options.seed = 7;
    QVERIFY(makeSampleChat(options).messages.first().text != chat.messages.first().text ||
            makeSampleChat(options).messages[1].text != chat.messages[1].text);
  }

  // The story laid over the chat shows up in the report.
  void completeReport() {
    SampleChatOptions options;
    options.messageCount = 5000;
    const SampleChat chat = makeSampleChat(options);
    const WrappedReport report = WrappedAnalysisPipeline().buildReport(chat.importedChat(), {});
    QCOMPARE(report.totalMessages, 5000);
    QCOMPARE(report.participantNames.me, QStringLiteral("Alex"));
    QVERIFY(report.signaturePhrase);
    QCOMPARE(report.signaturePhrase->phrase, QStringLiteral("same time same place"));
    // The evenings of conflict (four or more conflict messages each), and a busy day or so by chance.
    QVERIFY(report.argumentEvents.size() >= chat.argumentDays);
    QVERIFY(report.photosShared > 0);
    QVERIFY(!report.otherFirsts.isEmpty());
    QVERIFY2(report.closerParagraph.startsWith(QStringLiteral("Across 5,000 messages and ")) &&
                 report.closerParagraph.contains(QStringLiteral(" years, this thread with Sam ")),
             qPrintable(report.closerParagraph));
  }

  void csvExport() {
    SampleChatOptions options;
    options.messageCount = 3;
    SampleChat chat = makeSampleChat(options);
    chat.messages[0].text = QStringLiteral("say \"hi\", then go");
    chat.messages[1].hasPhoto = true;
    const QString path = environment_->path(QStringLiteral("chat.csv"));
    writeSampleChatCsv(chat, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 5);  // header, three rows, the empty rest after the last line feed
    QCOMPARE(lines[0], QByteArray("name,timestamp,message,photo"));
    QVERIFY(lines[1].endsWith(",\"say \"\"hi\"\", then go\",0"));
    QVERIFY(lines[2].endsWith(",1"));
    QVERIFY(lines[1].startsWith(chat.messages[0].isFromMe ? "\"Alex\",2020-02-14T" : "\"Sam\",2020-02-14T"));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(SampleChatTest)
#include "SampleChatTest.moc"
