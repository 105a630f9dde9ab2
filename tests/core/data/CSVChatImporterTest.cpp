#include "common/FileError.h"
#include "common/Iso8601.h"
#include "data/CSVChatImporter.h"
#include "data/WrappedDataError.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace murmela;

namespace {

Date utc(const char* iso) { return *Iso8601::parse(QString::fromLatin1(iso), true); }

ImportedChat import(const QString& text, const QString& me = QStringLiteral("You")) {
  return CSVChatImporter().importChatFromText(text, me);
}

// The error text of a failed import, or "" when it succeeded.
QString failure(const QString& text, const QString& me = QStringLiteral("You")) {
  try {
    import(text, me);
  } catch (const WrappedDataError& error) {
    if (error.kind() != WrappedDataError::Kind::csvImportFailed) return QStringLiteral("wrong kind");
    return error.description();
  }
  return QString();
}

QStringList ids(const ImportedChat& chat) {
  QStringList out;
  for (const Message& message : chat.messages) out.append(QString::number(message.id));
  return out;
}

}  // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class CSVChatImporterTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestEnvironment> environment_;

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<test::TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void parseCSVLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("plain") << "a,b,c" << QStringList{"a", "b", "c"};
    QTest::newRow("comma inside quotes") << R"("a,b",c)" << QStringList{"a,b", "c"};
    QTest::newRow("doubled quotes") << R"("say ""hi"" ""now""",x)" << QStringList{R"(say "hi" "now")", "x"};
    QTest::newRow("only a doubled quote") << R"("""",x)" << QStringList{"\"", "x"};
    QTest::newRow("quote mid-field opens quoting") << R"(ab"c,d"e,f)" << QStringList{"abc,de", "f"};
    QTest::newRow("trailing comma") << "a," << QStringList{"a", ""};
    QTest::newRow("empty line") << "" << QStringList{""};
    QTest::newRow("carriage returns trimmed at the end") << "a,\rb\r" << QStringList{"a", "b"};
    QTest::newRow("non-ASCII text") << QStringLiteral("\"José, Jr.\",👍🏽,naïve")
                                    << QStringList{"José, Jr.", "👍🏽", "naïve"};
    // A comma carrying a combining mark is one character, and not a separator.
    QTest::newRow("comma with a combining mark") << QStringLiteral("a,\u0301b,c") << QStringList{"a,\u0301b", "c"};
  }
  void parseCSVLine() {
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(CSVChatImporter::parseCSVLine(line), fields);
  }

  void parseCSVSplitsAtEveryLineBreak() {
    const QString text = QStringLiteral("a\r\nb\rc\u2028d\u0085e\u000Bf\u000Cg\u2029h\n\n\ni");
    const QList<QStringList> rows = CSVChatImporter::parseCSV(text);
    QStringList firsts;
    for (const QStringList& row : rows) firsts.append(row.first());
    QCOMPARE(firsts, (QStringList{"a", "b", "c", "d", "e", "f", "g", "h", "i"}));
    // A quoted field cannot span lines.
    QCOMPARE(CSVChatImporter::parseCSV(QStringLiteral("\"a\nb\"")).size(), 2);
  }

  void parseDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<QString>>("expected");  // ISO-8601 UTC with milliseconds
    const auto at = [](const char* iso) { return std::optional<QString>(QString::fromLatin1(iso)); };
    const std::optional<QString> none;
    QTest::newRow("ISO with Z") << "2024-03-05T10:20:30Z" << at("2024-03-05T10:20:30.000Z");
    QTest::newRow("ISO with fraction") << "2024-03-05T10:20:30.250Z" << at("2024-03-05T10:20:30.250Z");
    QTest::newRow("ISO with offset") << "2024-03-05T10:20:30+02:00" << at("2024-03-05T08:20:30.000Z");
    QTest::newRow("unix seconds") << "1700000000" << at("2023-11-14T22:13:20.000Z");
    QTest::newRow("unix milliseconds") << "1700000000000" << at("2023-11-14T22:13:20.000Z");
    QTest::newRow("unix fraction") << "1700000000.5" << at("2023-11-14T22:13:20.500Z");
    QTest::newRow("unix before 1970") << "-86400" << at("1969-12-31T00:00:00.000Z");
    QTest::newRow("exactly 1e10 is seconds") << "10000000000" << at("2286-11-20T17:46:40.000Z");
    QTest::newRow("year 1 starts") << "-62135596800" << at("0001-01-01T00:00:00.000Z");
    QTest::newRow("year 9999 ends") << "253402300799999" << at("9999-12-31T23:59:59.999Z");
    // Local patterns, New York time (EST in winter, EDT in summer).
    QTest::newRow("pattern 1") << "2024-03-05 10:20:30" << at("2024-03-05T15:20:30.000Z");
    QTest::newRow("pattern 2 summer") << "2024-07-05 10:20" << at("2024-07-05T14:20:00.000Z");
    QTest::newRow("pattern 3") << "03/05/2024 10:20:30" << at("2024-03-05T15:20:30.000Z");
    QTest::newRow("pattern 4") << "03/05/2024 10:20" << at("2024-03-05T15:20:00.000Z");
    QTest::newRow("pattern 5, two-digit year") << "1/2/24, 9:05 PM" << at("2024-01-03T02:05:00.000Z");
    QTest::newRow("pattern 5, morning") << "12/31/23, 12:01 AM" << at("2023-12-31T05:01:00.000Z");
    QTest::newRow("pattern 6") << "1/2/2024, 9:05 AM" << at("2024-01-02T14:05:00.000Z");
    // Proleptic Gregorian like every other date of the app (not ICU's Julian
    // March 1, which is March 10), at New York's local mean time then.
    QTest::newRow("pattern before 1582") << "1500-03-01 12:00:00" << at("1500-03-01T16:56:02.000Z");
    // Numbers that are no date a chat was written on.
    QTest::newRow("nan") << "nan" << none;
    QTest::newRow("NaN") << "NaN" << none;
    QTest::newRow("inf") << "inf" << none;
    QTest::newRow("-infinity") << "-infinity" << none;
    QTest::newRow("huge") << "1e300" << none;
    QTest::newRow("past year 9999 in ms") << "253402300800000" << none;
    QTest::newRow("before year 1") << "-62135596801" << none;
    // The years 1 to 9999 hold on every road, not only for numbers.
    QTest::newRow("five-digit year, pattern 1") << "22024-01-05 10:00:00" << none;
    QTest::newRow("five-digit year, pattern 6") << "1/5/22024, 10:00 AM" << none;
    QTest::newRow("ISO offset before year 1") << "0001-01-01T00:30:00+01:00" << none;
    QTest::newRow("ISO offset past year 9999") << "9999-12-31T23:30:00-01:00" << none;
    QTest::newRow("pattern on 1 January of year 1") << "0001-01-01 00:00:00" << at("0001-01-01T04:56:02.000Z");
    QTest::newRow("ISO without zone") << "2024-03-05T10:20:30" << none;
    QTest::newRow("month 13") << "2024-13-05 10:20" << none;
    QTest::newRow("day 31 of April") << "04/31/2024 10:20" << none;
    QTest::newRow("trailing text") << "2024-03-05 10:20 tomorrow" << none;
    QTest::newRow("words") << "yesterday" << none;
    QTest::newRow("decimal comma") << "1700000000,5" << none;
  }
  void parseDate() {
    QFETCH(QString, text);
    QFETCH(std::optional<QString>, expected);
    const std::optional<Date> parsed = CSVChatImporter::parseDate(text);
    if (!expected) {
      QVERIFY2(!parsed, qPrintable(parsed ? Iso8601::formatWithMilliseconds(*parsed) : QString()));
      return;
    }
    QVERIFY(parsed);
    QCOMPARE(Iso8601::formatWithMilliseconds(*parsed), *expected);
  }

  void parseBoolean_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("flag");
    for (const char* yes : {"1", "true", "TRUE", "yes", " Yes ", "y", "photo", "IMAGE"})
      QTest::newRow(yes) << yes << true;
    for (const char* no : {"0", "no", "false", "", "n", "2", "photos", "picture"}) QTest::newRow(no) << no << false;
  }
  void parseBoolean() {
    QFETCH(QString, value);
    QFETCH(bool, flag);
    QCOMPARE(CSVChatImporter::parseBoolean(value), flag);
  }

  void failures_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("me");
    QTest::addColumn<QString>("error");
    const QString prefix = QStringLiteral("Could not import CSV chat: ");
    QTest::newRow("empty file") << ""
                                << "You" << prefix + "The file is empty.";
    QTest::newRow("only blank rows") << " \n,,\n \" \" , \n"
                                     << "You" << prefix + "The file is empty.";
    QString late;
    for (int i = 1; i <= 10; ++i) late += QStringLiteral("Note %1,\"Some, Text\"\n").arg(i);
    late += QStringLiteral("name,timestamp,message\nAna,1700000000,hi\nYou,1700000001,hey\n");
    QTest::newRow("header on the eleventh row")
        << late << "You"
        << prefix + "Expected a header row with name,timestamp,message. First parsed row was: note 1,some, text";
    QTest::newRow("header missing a column")
        << "\"Name\",'Time'\nAna,1"
        << "You" << prefix + "Expected a header row with name,timestamp,message. First parsed row was: name,time";
    QTest::newRow("short row") << "name,timestamp,message\nAna,1700000000"
                               << "You" << prefix + "Row 2 does not have name, timestamp, and message columns.";
    QTest::newRow("short row after a skipped one")
        << "name,timestamp,message\nAna,1700000000,\nYou,1700000000"
        << "You" << prefix + "Row 3 does not have name, timestamp, and message columns.";
    QTest::newRow("bad timestamp, title row first")
        << "Chat with Ana\nname,timestamp,message\nAna,2024-01-02T10:00:00Z,hi\nYou,  next tuesday ,yo"
        << "You" << prefix + "Row 3 has an unsupported timestamp: next tuesday";
    QTest::newRow("nan timestamp") << "name,timestamp,message\nAna,nan,hi"
                                   << "You" << prefix + "Row 2 has an unsupported timestamp: nan";
    QTest::newRow("infinite timestamp") << "name,timestamp,message\nAna,-inf,hi"
                                        << "You" << prefix + "Row 2 has an unsupported timestamp: -inf";
    QTest::newRow("absurd timestamp") << "name,timestamp,message\nAna,9e18,hi"
                                      << "You" << prefix + "Row 2 has an unsupported timestamp: 9e18";
    QTest::newRow("no message left") << "name,timestamp,message\nAna,1700000000,   \n,1700000001,hi"
                                     << "You" << prefix + "No non-empty messages were found.";
    QTest::newRow("no sender is me") << "name,timestamp,message\nAna,1700000000,hi\nBo,1700000001,yo"
                                     << "Alex" << prefix + "No sender matched your name, \"Alex\".";
    QTest::newRow("three senders, blank user name")
        << "name,timestamp,message\nAna,1700000000,hi\nyou,1700000001,yo\nBo,1700000002,hey"
        << "  " << prefix + "Expected one 1:1 chat. Found 2 non-You senders.";
    QTest::newRow("only me") << "name,timestamp,message\nYou,1700000000,hi"
                             << "You" << prefix + "Expected one 1:1 chat. Found 0 non-You senders.";
    QTest::newRow("others differing in case are two people")
        << "name,timestamp,message\nAna,1700000000,hi\nana,1700000001,yo\nMe,1700000002,hey"
        << "Me" << prefix + "Expected one 1:1 chat. Found 2 non-Me senders.";
  }
  void failures() {
    QFETCH(QString, text);
    QFETCH(QString, me);
    QFETCH(QString, error);
    QCOMPARE(failure(text, me), error);
  }

  void titleRowAndBlankRowsDoNotCount() {
    // The title row is ignored; numbering starts after the header, and blank
    // rows are gone before numbering, so the three data rows are ids 1 to 3.
    const ImportedChat chat =
        import(QStringLiteral("WhatsApp export\n\nname,timestamp,message\n"
                              "Ana,1700000000,hi\n\n , ,\nYou,1700000060,hey\n"
                              "Ana,1700000120,   \nAna,1700000180,how are you?\n"));
    QCOMPARE(ids(chat), (QStringList{"1", "2", "4"}));
    QCOMPARE(chat.messages.at(2).text, QStringLiteral("how are you?"));
  }

  void headerWithByteOrderMarkQuotesAndCapitals() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.csv"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "\xEF\xBB\xBF\"Message\",'Name', \"TIMESTAMP\" ,Extra\r\n"
        "\"Hello, you\",Ana,2024-01-02T10:00:00Z,x\r\n"
        "hi,You,2024-01-02T10:05:00Z,y\r\n");
    file.close();
    const ImportedChat chat = CSVChatImporter().importChat(path, QStringLiteral("You"));
    QCOMPARE(chat.messages.size(), 2);
    QCOMPARE(chat.messages.first().text, QStringLiteral("Hello, you"));
    QCOMPARE(chat.otherName, QStringLiteral("Ana"));
  }

  void resultRecords() {
    const ImportedChat chat = import(QStringLiteral("timestamp,name,message,photo\n"
                                                    "2024-01-02T10:05:00Z,  Ana  ,  later  \n"
                                                    "2024-01-02T10:00:00Z,Ana,first,no\n"
                                                    "2024-01-02T10:01:00Z,ALEX,\"reply, with comma\",yes\n"),
                                     QStringLiteral(" alex "));
    QCOMPARE(chat.meName, QStringLiteral("alex"));
    QCOMPARE(chat.otherName, QStringLiteral("Ana"));
    QCOMPARE(chat.contact.handle, QStringLiteral("csv:Ana"));
    QCOMPARE(chat.contact.displayName, std::optional<QString>(QStringLiteral("Ana")));
    QCOMPARE(chat.contact.messageCount, 3);
    QCOMPARE(chat.contact.firstMessage, utc("2024-01-02T10:00:00Z"));
    QCOMPARE(chat.contact.lastMessage, utc("2024-01-02T10:05:00Z"));
    QCOMPARE(ids(chat), (QStringList{"2", "3", "1"}));  // sorted by date
    const Message& reply = chat.messages.at(1);
    QCOMPARE(reply.text, QStringLiteral("reply, with comma"));
    QVERIFY(reply.isFromMe);
    QVERIFY(reply.hasPhoto);
    for (const Message& message : chat.messages) QCOMPARE(message.handle, QStringLiteral("Ana"));
    QVERIFY(!chat.messages.at(0).isFromMe);
    QCOMPARE(chat.messages.at(2).text, QStringLiteral("later"));
  }

  void equalTimestampsKeepRowOrder() {
    QString text = QStringLiteral("name,timestamp,message\n");
    for (int i = 0; i < 40; ++i)
      text +=
          QStringLiteral("%1,1700000000,m%2\n").arg(i % 3 == 0 ? QStringLiteral("You") : QStringLiteral("Ana")).arg(i);
    text += QStringLiteral("Ana,1699999999,earliest\n");
    const ImportedChat chat = import(text);
    QCOMPARE(chat.messages.first().text, QStringLiteral("earliest"));
    for (qsizetype i = 1; i < chat.messages.size(); ++i) {
      QCOMPARE(chat.messages.at(i).id, i);
      QCOMPARE(chat.messages.at(i).text, QStringLiteral("m%1").arg(i - 1));
    }
  }

  void photoFlags_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QList<bool>>("flags");
    QTest::newRow("photo column") << "name,timestamp,message,photo"
                                  << "Ana,1,a,yes\nYou,2,b,IMAGE\nAna,3,c,1\nYou,4,d,no\nAna,5,e,0\nYou,6,f,"
                                  << QList<bool>{true, true, true, false, false, false};
    QTest::newRow("row shorter than the photo column")
        << "name,timestamp,message,extra,Has_Photo"
        << "Ana,1,a,x,true\nYou,2,b\nAna,3,c,x" << QList<bool>{true, false, false};
    QTest::newRow("first photo column wins") << "name,photos,timestamp,message,hasphoto"
                                             << "Ana,no,1,a,yes\nYou,y,2,b,no" << QList<bool>{false, true};
    QTest::newRow("no photo column") << "name,timestamp,message,picture"
                                     << "Ana,1,a,yes\nYou,2,b,true" << QList<bool>{false, false};
  }
  void photoFlags() {
    QFETCH(QString, header);
    QFETCH(QString, rows);
    QFETCH(QList<bool>, flags);
    const ImportedChat chat = import(header + QLatin1Char('\n') + rows);
    QList<bool> actual;
    for (const Message& message : chat.messages) actual.append(message.hasPhoto);
    QCOMPARE(actual, flags);
  }

  void userNameIsFolded_data() {
    QTest::addColumn<QString>("me");
    QTest::addColumn<QString>("sender");
    QTest::newRow("accent") << "jose" << QStringLiteral("José");
    QTest::newRow("decomposed accent") << "JOSE" << QStringLiteral("Jose\u0301");
    QTest::newRow("diaeresis and capital") << "zoe" << QStringLiteral("Zoë");
    QTest::newRow("sharp s") << "strasse" << QStringLiteral("Straße");
    QTest::newRow("spaces") << "  Ana María " << QStringLiteral("ana maria");
  }
  void userNameIsFolded() {
    QFETCH(QString, me);
    QFETCH(QString, sender);
    const ImportedChat chat =
        import(QStringLiteral("name,timestamp,message\n%1,1,mine\nKim,2,theirs\n").arg(sender), me);
    QVERIFY(chat.messages.at(0).isFromMe);
    QVERIFY(!chat.messages.at(1).isFromMe);
    QCOMPARE(chat.otherName, QStringLiteral("Kim"));
  }

  // Spellings of the user's name that differ in case or accents are all the
  // user: one other sender remains, and every spelling's rows are the user's.
  void userSpellingsAreOnePerson_data() {
    QTest::addColumn<QString>("me");
    QTest::addColumn<QStringList>("spellings");
    QTest::newRow("case") << "You" << QStringList{"You", "you"};
    QTest::newRow("blank user name, case") << " " << QStringList{"you", "YOU", "You"};
    QTest::newRow("diacritics and case") << "Zoe"
                                         << QStringList{QStringLiteral("Zo\u00EB"), "ZOE", QStringLiteral("zoe\u0308")};
  }
  void userSpellingsAreOnePerson() {
    QFETCH(QString, me);
    QFETCH(QStringList, spellings);
    QString text = QStringLiteral("name,timestamp,message\nKim,1,first\n");
    for (qsizetype i = 0; i < spellings.size(); ++i)
      text += QStringLiteral("%1,%2,mine %3\nKim,%4,theirs\n").arg(spellings[i]).arg(2 * i + 2).arg(i).arg(2 * i + 3);
    const ImportedChat chat = import(text, me);
    QCOMPARE(chat.otherName, QStringLiteral("Kim"));
    QCOMPARE(chat.messages.size(), 1 + 2 * spellings.size());
    for (const Message& message : chat.messages)
      QCOMPARE(message.isFromMe, message.text.startsWith(QStringLiteral("mine")));
  }

  void otherSenderKeyedByCanonicalForm() {
    // One name written composed and decomposed is one person; the first
    // spelling names the chat.
    const ImportedChat chat = import(QStringLiteral("name,timestamp,message\nZo\u00EB,1,a\nZoe\u0308,2,b\nYou,3,c\n"));
    QCOMPARE(chat.otherName, QStringLiteral("Zo\u00EB"));
    QCOMPARE(chat.contact.handle, QStringLiteral("csv:Zo\u00EB"));
    QCOMPARE(chat.messages.size(), 3);
  }

  void fileErrorsAreNotWrapped() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.csv"));
    try {
      CSVChatImporter().importChat(missing, QStringLiteral("You"));
      QFAIL("a missing file imported");
    } catch (const FileError& error) {
      QCOMPARE(error.kind(), FileError::Kind::readFailed);
      QVERIFY(error.description().contains(missing));
    }
    const QString latin1 = dir.filePath(QStringLiteral("latin1.csv"));
    QFile file(latin1);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("name,timestamp,message\nJos\xE9,1,hi\n");
    file.close();
    try {
      CSVChatImporter().importChat(latin1, QStringLiteral("You"));
      QFAIL("a Latin-1 file imported");
    } catch (const FileError& error) {
      QCOMPARE(error.kind(), FileError::Kind::notUtf8);
      QCOMPARE(error.userFacingText(),
               QStringLiteral("[FileError] The file \"%1\" is not valid UTF-8 text.").arg(latin1));
    }
  }
};

MURMELA_TEST(CSVChatImporterTest)
#include "CSVChatImporterTest.moc"
