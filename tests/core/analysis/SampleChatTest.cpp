#include "GenerativeFixtures.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "data/CSVChatImporter.h"
#include "data/MessagesDatabaseReader.h"
#include "data/ReportJson.h"
#include "support/SampleChat.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTest>

#include <algorithm>

using namespace murmela;
using namespace murmela::test;

namespace {

// What both roads must keep of every message.
void compareMessages(const MessageList& read, const MessageList& written, bool photoFlags) {
  QCOMPARE(read.size(), written.size());
  for (qsizetype i = 0; i < written.size(); ++i) {
    QCOMPARE(read[i].text, written[i].text);
    QCOMPARE(read[i].date, written[i].date);
    QCOMPARE(read[i].isFromMe, written[i].isFromMe);
    QCOMPARE(read[i].hasPhoto, photoFlags && written[i].hasPhoto);
  }
}

}  // namespace

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
      QCOMPARE(chat.messages[i].date.secondsSinceReference(),
               std::floor(chat.messages[i].date.secondsSinceReference()));
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

  // The generated chat read back by the database reader and by the CSV
  // importer: the same messages, and through the pipeline the same report
  // (the database road counting attachments, the CSV road photo flags).
  void bothRoadsReadTheSameConversation() {
    SampleChatOptions options;
    options.messageCount = 2500;
    const SampleChat chat = makeSampleChat(options);
    const QString databasePath = environment_->path(QStringLiteral("chat.db"));
    const QString csvPath = environment_->path(QStringLiteral("chat.csv"));
    writeSampleChatDatabase(chat, databasePath);
    writeSampleChatCsv(chat, csvPath);
    const qsizetype photos = std::count_if(chat.messages.begin(), chat.messages.end(),
                                           [](const Message& message) { return message.hasPhoto; });
    QVERIFY(photos > 0);

    const MessagesDatabaseReader reader(databasePath);
    const MessageList fromDatabase = reader.fetchMessages(chat.handle);
    compareMessages(fromDatabase, chat.messages, false);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(reader.countAttachments(chat.handle), qint64(photos));
    const QList<ContactSummary> contacts = reader.fetchContactSummaries();
    QVERIFY(!contacts.isEmpty());
    QCOMPARE(contacts.first().handle, chat.handle);
    QCOMPARE(contacts.first().messageCount, qint64(chat.messages.size()));

    const ImportedChat fromCsv = CSVChatImporter().importChat(csvPath, chat.myName);
    compareMessages(fromCsv.messages, chat.messages, true);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(fromCsv.otherName, chat.otherName);

    ContactSummary contact = contacts.first();
    contact.displayName = chat.otherName;
    const ImportedChat databaseChat = makeImportedChat(contact, fromDatabase);
    WrappedReport viaDatabase = WrappedAnalysisPipeline().buildReport(databaseChat, {}, {}, {qint64(photos)});
    const WrappedReport viaCsv = WrappedAnalysisPipeline().buildReport(fromCsv, {});
    QCOMPARE(viaDatabase.participantNames.me, QStringLiteral("You"));
    viaDatabase.participantNames = viaCsv.participantNames;
    QCOMPARE(ReportJson::toJson(viaDatabase), ReportJson::toJson(viaCsv));
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
