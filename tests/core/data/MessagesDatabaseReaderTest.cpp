#include "data/MessagesDatabaseReader.h"
#include "data/MessagesDatabaseReading.h"
#include "data/PrivateDatabaseCopy.h"
#include "data/WrappedDataError.h"
#include "support/FixtureDatabaseBuilder.h"
#include "support/FullFileSystem.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace murmela;
using Builder = murmela::test::FixtureDatabaseBuilder;

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {

constexpr qint64 kSecond = 1'000'000'000;
const QString kSam = QStringLiteral("+15551234567");

QByteArray fileHash(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Expects `call` to throw a WrappedDataError of `kind` whose text contains `fragment`.
template <typename Call>
void expectDataError(Call&& call, WrappedDataError::Kind kind, const QString& fragment) {
  try {
    call();
  } catch (const WrappedDataError& error) {
    QCOMPARE(error.kind(), kind);
    QVERIFY2(error.text().contains(fragment), qPrintable(error.description()));
    return;
  }
  QFAIL("no WrappedDataError was thrown");
}

// chat.db and its "-wal" in `folder`, as a live database in WAL mode left
// them without its "-shm": one message in the file, three only in the WAL.
QString walDatabase(const QString& folder) {
  QTemporaryDir live;
  const QString path = live.filePath(QStringLiteral("chat.db"));
  const QString copy = QDir(folder).filePath(QStringLiteral("chat.db"));
  Builder db(path);
  db.execute(QStringLiteral("PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0"));
  const qint64 sam = db.addHandle(kSam);
  const qint64 chat = db.addOneToOneChat(sam);
  db.addMessage(chat, {.text = "in the file", .date = 1, .handleId = sam});
  db.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
  for (int i = 2; i <= 4; ++i) db.addMessage(chat, {.text = "only in the WAL", .date = i, .handleId = sam});
  if (!QFile::copy(path, copy) || !QFile::copy(path + "-wal", copy + "-wal")) return {};
  return copy;
}

}  // namespace

class MessagesDatabaseReaderTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  int counter_ = 0;
  // Read as from a folder that cannot be written, with copies in a cache
  // folder of the test's own.
  DatabaseReadingOptions options_{true, {dir_.filePath(QStringLiteral("cache/murmela-app")), kSystemLock}};

  QString freshPath() { return dir_.filePath(QStringLiteral("chat-%1.db").arg(++counter_)); }

 private Q_SLOTS:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void readsOneConversationOldestFirst() {
    const QString path = freshPath();
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 other = db.addHandle(QStringLiteral("ana@example.com"));
      const qint64 chat = db.addOneToOneChat(sam);
      db.addOneToOneChat(other);
      db.addMessage(chat, {.text = "  third \n", .date = 5 * kSecond, .isFromMe = 2, .handleId = sam});
      db.addMessage(chat, {.text = "first", .date = 0, .isFromMe = 1, .handleId = 0});
      db.addMessage(chat, {.text = "second", .date = kSecond, .isFromMe = 0, .handleId = sam});
      db.close();
    }
    const MessageList messages = MessagesDatabaseReader(path).fetchMessages(kSam);
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages[0].text, QStringLiteral("first"));
    QCOMPARE(messages[0].id, 2);
    QCOMPARE(messages[0].date, Date(0));  // 2001-01-01 00:00:00 UTC
    QVERIFY(messages[0].isFromMe);
    QCOMPARE(messages[1].text, QStringLiteral("second"));
    QCOMPARE(messages[1].date, Date(1));
    QVERIFY(!messages[1].isFromMe);
    QCOMPARE(messages[2].text, QStringLiteral("third"));
    QCOMPARE(messages[2].id, 1);
    QVERIFY(!messages[2].isFromMe);  // is_from_me = 2 counts as received
    for (const Message& message : messages) {
      QCOMPARE(message.handle, kSam);  // also on the user's own messages
      QVERIFY(!message.hasPhoto);
    }
    QVERIFY(MessagesDatabaseReader(path).fetchMessages(QStringLiteral("+1 555 123 4567")).isEmpty());
  }

  // Which stored rows become messages, and with what text.
  void filtersAndRecoversText_data() {
    QTest::addColumn<std::optional<QString>>("text");
    QTest::addColumn<std::optional<QByteArray>>("body");
    QTest::addColumn<std::optional<QString>>("expected");  // absent: the row is skipped
    using Text = std::optional<QString>;
    using Body = std::optional<QByteArray>;
    const Text none;
    const Body noBody;
    auto encoded = [](const QString& text) { return Body(Builder::encodeAttributedBody(text)); };

    QTest::newRow("plain text") << Text("hello") << noBody << Text("hello");
    QTest::newRow("plain text trimmed") << Text("\t hello \u2003\n") << noBody << Text("hello");
    QTest::newRow("plain text wins over body") << Text(" mine ") << encoded("body") << Text("mine");
    for (const char* verb : {"Loved", "Liked", "Disliked", "Laughed at", "Emphasized", "Questioned"}) {
      QTest::newRow(qPrintable(QStringLiteral("reaction %1").arg(verb)))
          << Text(QStringLiteral("%1 \"see you\"").arg(verb)) << noBody << none;
    }
    QTest::newRow("reaction in lower case (LIKE ignores ASCII case)") << Text("loved \"x\"") << noBody << none;
    QTest::newRow("Loved it is kept") << Text("Loved it") << noBody << Text("Loved it");
    QTest::newRow("Loved alone is kept") << Text("Loved") << noBody << Text("Loved");
    QTest::newRow("Loved without space is kept") << Text("Loved\"x\"") << noBody << Text("Loved\"x\"");
    QTest::newRow("Laughed without at is kept") << Text("Laughed \"x\"") << noBody << Text("Laughed \"x\"");
    QTest::newRow("null text, body") << none << encoded("from body") << Text("from body");
    QTest::newRow("empty text, body") << Text("") << encoded("from body") << Text("from body");
    QTest::newRow("spaces only, body trimmed") << Text("   ") << encoded("  decoded \n") << Text("decoded");
    QTest::newRow("newlines only, no body") << Text("\n\n") << noBody << none;
    QTest::newRow("newlines only, body") << Text("\n") << encoded("rescued") << Text("rescued");
    QTest::newRow("newlines only, white body") << Text("\r\n") << encoded(" \n ") << none;
    QTest::newRow("newlines only, undecodable body") << Text("\n") << Body(QByteArray(64, 'z')) << none;
    QTest::newRow("null text, zero-length body") << none << Body(QByteArray("")) << none;
    QTest::newRow("null text, null body") << none << noBody << none;
    QTest::newRow("null text, body with zero length") << none << encoded(QString()) << none;
    QTest::newRow("reaction text, body is ignored") << Text("Liked \"a\"") << encoded("body") << none;
    QTest::newRow("text read up to its first NUL") << Text(QString::fromUtf8("abc\0def", 7)) << noBody << Text("abc");
    QTest::newRow("emoji text") << Text("\U0001F602\U0001F602") << noBody << Text("\U0001F602\U0001F602");
    // U+FEFF is no white space: both roads keep it at the start of the text
    // (QStringLiteral: a QString made from UTF-8 bytes would drop it here too).
    const QString feff = QStringLiteral("\uFEFFhi");
    QTest::newRow("text starting with U+FEFF") << Text(feff) << noBody << Text(feff);
    QTest::newRow("body starting with U+FEFF") << none << encoded(feff) << Text(feff);
  }
  void filtersAndRecoversText() {
    QFETCH(std::optional<QString>, text);
    QFETCH(std::optional<QByteArray>, body);
    QFETCH(std::optional<QString>, expected);
    const QString path = freshPath();
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 chat = db.addOneToOneChat(sam);
      db.addMessage(chat, {.text = "before", .date = 1, .handleId = sam});
      db.addMessage(chat, {.text = text, .attributedBody = body, .date = 2, .handleId = sam});
      db.addMessage(chat, {.text = "after", .date = 3, .handleId = sam});
      db.close();
    }
    QStringList texts;
    for (const Message& message : MessagesDatabaseReader(path).fetchMessages(kSam)) texts << message.text;
    QStringList wanted{"before"};
    if (expected) wanted << *expected;
    wanted << "after";
    QCOMPARE(texts, wanted);
  }

  // Group chats (any style but 45) add nothing to any of the three answers.
  void groupChatsAreIgnored() {
    const QString path = freshPath();
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 ana = db.addHandle(QStringLiteral("ana@example.com"));
      const qint64 lee = db.addHandle(QStringLiteral("+15550009999"));
      const qint64 direct = db.addOneToOneChat(sam);
      const qint64 group = db.addGroupChat({sam, ana});
      const qint64 otherStyle = db.addChat(44, {lee}, QStringLiteral("odd"));
      const qint64 mine = db.addMessage(direct, {.text = "direct", .date = 10, .handleId = sam});
      db.addAttachment(mine);
      for (int i = 0; i < 3; ++i) {
        const qint64 id = db.addMessage(group, {.text = "group", .date = 20 + i, .handleId = sam});
        db.addAttachment(id);
      }
      db.addMessage(group, {.text = "from ana", .date = 30, .handleId = ana});
      db.addMessage(otherStyle, {.text = "odd style", .date = 40, .handleId = lee});
      db.close();
    }
    const MessagesDatabaseReader reader(path);
    const MessageList messages = reader.fetchMessages(kSam);
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].text, QStringLiteral("direct"));
    QCOMPARE(reader.countAttachments(kSam), 1);
    QVERIFY(reader.fetchMessages(QStringLiteral("ana@example.com")).isEmpty());
    const QList<ContactSummary> summaries = reader.fetchContactSummaries();
    QCOMPARE(summaries.size(), 1);
    QCOMPARE(summaries[0].handle, kSam);
    QCOMPARE(summaries[0].messageCount, 1);
  }

  void countsDistinctAttachmentsOfOneConversation() {
    const QString path = freshPath();
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 ana = db.addHandle(QStringLiteral("ana@example.com"));
      const qint64 chat = db.addOneToOneChat(sam);
      const qint64 anaChat = db.addOneToOneChat(ana);
      const qint64 photo = db.addMessage(chat, {.text = "look", .date = 1, .handleId = sam});
      const qint64 forwarded = db.addMessage(chat, {.date = 2, .handleId = sam});  // attachment only, no text
      const qint64 shared = db.addAttachment(photo);
      db.addAttachment(photo, QStringLiteral("IMG_0002.JPG"), QStringLiteral("image/jpeg"));
      db.joinAttachment(forwarded, shared);  // one attachment on two messages counts once
      db.addAttachment(db.addMessage(anaChat, {.text = "other", .date = 3, .handleId = ana}));
      db.close();
    }
    const MessagesDatabaseReader reader(path);
    QCOMPARE(reader.countAttachments(kSam), 2);
    QCOMPARE(reader.countAttachments(QStringLiteral("ana@example.com")), 1);
    QCOMPARE(reader.countAttachments(QStringLiteral("nobody@example.com")), 0);
  }

  void listsPartnersMostMessagesFirst() {
    const QString path = freshPath();
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 ana = db.addHandle(QStringLiteral("ana@example.com"));
      const qint64 quiet = db.addHandle(QStringLiteral("+15550000000"));
      const qint64 samChat = db.addOneToOneChat(sam);
      const qint64 anaChat = db.addOneToOneChat(ana);
      const qint64 quietChat = db.addOneToOneChat(quiet);
      db.addMessage(anaChat, {.text = "a1", .date = 7 * kSecond, .handleId = ana});
      for (int i = 0; i < 3; ++i) db.addMessage(samChat, {.text = "s", .date = (i + 2) * kSecond, .isFromMe = i % 2});
      // Counted by the statement, skipped by the reader: its body recovers nothing.
      db.addMessage(samChat, {.attributedBody = QByteArray(40, 'z'), .date = 100 * kSecond, .handleId = sam});
      db.addReaction(samChat, Builder::Reaction::loved, QStringLiteral("s"), 200 * kSecond, false, sam);
      db.addMessage(anaChat, {.attributedBody = Builder::encodeAttributedBody("a2"), .date = 9 * kSecond});
      // Only a reaction and a blank message: not a partner.
      db.addReaction(quietChat, Builder::Reaction::liked, QStringLiteral("x"), kSecond, true, quiet);
      db.addMessage(quietChat, {.text = "   ", .date = kSecond, .handleId = quiet});
      // Handles no text can ask for: bytes that are not UTF-8, a NUL inside.
      for (const char* stored : {"X'2b3135ff'", "X'2b313500353535'"}) {
        const qint64 odd = db.addHandle(QString::fromLatin1(stored));
        db.execute(QStringLiteral("UPDATE handle SET id = CAST(%1 AS TEXT) WHERE ROWID = %2").arg(stored).arg(odd));
        db.addMessage(db.addOneToOneChat(odd), {.text = "hi", .date = kSecond, .handleId = odd});
      }
      db.close();
    }
    const MessagesDatabaseReader reader(path);
    const QList<ContactSummary> summaries = reader.fetchContactSummaries();
    QCOMPARE(summaries.size(), 2);
    QCOMPARE(summaries[0], (ContactSummary{kSam, std::nullopt, 4, Date(2), Date(100)}));
    QCOMPARE(summaries[1], (ContactSummary{QStringLiteral("ana@example.com"), std::nullopt, 2, Date(7), Date(9)}));
    QCOMPARE(reader.fetchMessages(kSam).size(), 3);  // fewer than the partner's count
  }

  void failures_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("fragment");
    const int open = int(WrappedDataError::Kind::databaseOpenFailed);
    const int query = int(WrappedDataError::Kind::databaseQueryFailed);
    for (const char* operation : {"messages", "attachments", "summaries"}) {
      QTest::addRow("missing file, %s", operation) << "missing" << operation << open << "unable to open database file";
      QTest::addRow("not a database, %s", operation) << "garbage" << operation << query << "file is not a database";
    }
    QTest::newRow("no attachment tables") << "noAttachments"
                                          << "attachments" << query << "no such table";
    QTest::newRow("no attributedBody column, messages") << "noBodyColumn"
                                                        << "messages" << query << "attributedBody";
    QTest::newRow("no attributedBody column, summaries") << "noBodyColumn"
                                                         << "summaries" << query << "attributedBody";
    QTest::newRow("no chat table") << "noChat"
                                   << "summaries" << query << "no such table: chat";
  }
  void failures() {
    QFETCH(QString, damage);
    QFETCH(QString, operation);
    QFETCH(int, kind);
    QFETCH(QString, fragment);
    const QString path = freshPath();
    if (damage == QLatin1String("garbage")) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(QByteArray(8192, 'g'));
    } else if (damage != QLatin1String("missing")) {
      Builder db(path, {.withAttachmentTables = damage != QLatin1String("noAttachments")});
      const qint64 sam = db.addHandle(kSam);
      db.addMessage(db.addOneToOneChat(sam), {.text = "hi", .date = 1, .handleId = sam});
      if (damage == QLatin1String("noBodyColumn")) db.execute("ALTER TABLE message DROP COLUMN attributedBody");
      if (damage == QLatin1String("noChat")) db.execute("DROP TABLE chat");
      db.close();
    }
    const QByteArray before = fileHash(path);
    const MessagesDatabaseReader reader(path);
    expectDataError(
        [&] {
          if (operation == QLatin1String("messages")) reader.fetchMessages(kSam);
          if (operation == QLatin1String("attachments")) reader.countAttachments(kSam);
          if (operation == QLatin1String("summaries")) reader.fetchContactSummaries();
        },
        WrappedDataError::Kind(kind), fragment);
    // Strictly read-only: a missing file is not created, an existing one not touched.
    QCOMPARE(QFile::exists(path), damage != QLatin1String("missing"));
    QCOMPARE(fileHash(path), before);
  }

  // A damaged page in the middle of the message table must fail the read,
  // not yield a conversation cut short that is analysed as if complete.
  void corruptedPageFailsTheRead() {
    const QString path = freshPath();
    const QString filler = QString(300, QLatin1Char('m'));
    {
      Builder db(path);
      const qint64 sam = db.addHandle(kSam);
      const qint64 chat = db.addOneToOneChat(sam);
      db.beginTransaction();
      for (int i = 0; i < 3000; ++i) {
        const QString text = QStringLiteral("row-%1 %2").arg(i, 5, 10, QLatin1Char('0')).arg(filler);
        const qint64 id = db.addMessage(chat, {.text = text, .date = i * kSecond, .isFromMe = i % 2, .handleId = sam});
        if (i % 10 == 0) db.addAttachment(id);
      }
      db.commit();
      db.close();
    }
    const MessagesDatabaseReader reader(path);
    QCOMPARE(reader.fetchMessages(kSam).size(), 3000);
    QCOMPARE(reader.countAttachments(kSam), 300);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray content = file.readAll();
    const qsizetype pageSize = (quint8(content[16]) << 8) | quint8(content[17]);
    QVERIFY(pageSize >= 512);
    QVERIFY(content.size() / pageSize > 200);  // many pages
    const qsizetype middle = content.indexOf("row-01500 ");
    QVERIFY(middle > 0);
    QVERIFY(file.seek(middle / pageSize * pageSize));
    file.write(QByteArray(pageSize, '\xff'));
    file.close();

    const auto query = WrappedDataError::Kind::databaseQueryFailed;
    expectDataError([&] { reader.fetchMessages(kSam); }, query, QStringLiteral("malformed"));
    expectDataError([&] { reader.countAttachments(kSam); }, query, QStringLiteral("malformed"));
    expectDataError([&] { reader.fetchContactSummaries(); }, query, QStringLiteral("malformed"));
  }

  // A copy of a live database in WAL mode without its "-shm", where the WAL
  // index cannot be made beside it: the rows only in the WAL count too. The
  // probe copies nothing; the picker's list and the run's reads share one
  // private copy, gone when the reading ends.
  void walRowsCountThroughThePrivateCopy() {
    QTemporaryDir folder;
    const QString copy = walDatabase(folder.path());
    const QDir copies(*PrivateDatabaseCopy::copiesFolder(options_.copies));
    const auto held = [&copies] { return copies.entryList({"murmela-database-*"}, QDir::Dirs); };
    const MessagesDatabaseReader reader(copy, options_);
    std::optional<MessagesDatabaseReading> reading(std::in_place, reader);
    const bool opens = reader.canOpen();
    const qsizetype afterProbe = held().size();
    const QList<ContactSummary> summaries = reading->fetchContactSummaries();
    const QStringList afterPicker = held();
    const qsizetype count = reading->fetchMessages(kSam).size();
    reading->countAttachments(kSam);
    const QStringList afterRun = held();
    reading.reset();
    QVERIFY(opens);
    QCOMPARE(count, 4);
    QCOMPARE(summaries.value(0).messageCount, 4);
    QCOMPARE(afterProbe, 0);
    QCOMPARE(afterPicker.size(), 1);
    QCOMPARE(afterRun, afterPicker);
    QCOMPARE(held(), QStringList());
  }

  // The database is read where it really is: through a link to it or to its
  // folder (into a folder that cannot be written), and by a relative path,
  // the rows only in its "-wal" count as they do in its folder, and a stray
  // "-wal" beside the link is not read. A file system without locks does not
  // stop the private copy.
  void readsWhereTheDatabaseReallyIs_data() {
    QTest::addColumn<QString>("link");     // made in the reading's folder, to the real folder
    QTest::addColumn<QString>("opened");   // the path given, in the reading's folder
    QTest::addColumn<bool>("locks");
    QTest::newRow("the folder itself") << "" << "real/chat.db" << true;
    QTest::newRow("link to the file") << "chat.db>real/chat.db" << "chat.db" << true;
    QTest::newRow("link to the folder") << "folder>real" << "folder/chat.db" << true;
    QTest::newRow("relative link, stray -wal beside it") << "chat.db>real/chat.db" << "chat.db" << true;
    QTest::newRow("a missing folder, then ..") << "" << "missing/../real/chat.db" << true;
    QTest::newRow("no locks on the file system") << "" << "real/chat.db" << false;
  }
  void readsWhereTheDatabaseReallyIs() {
    QFETCH(QString, link);
    QFETCH(QString, opened);
    QFETCH(bool, locks);
    QTemporaryDir folder;
    const QDir at(folder.path());
    QVERIFY(at.mkdir("real"));
    walDatabase(at.filePath("real"));
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    if (!link.isEmpty()) {
      const QString target = link.section('>', 1);
      QVERIFY(QFile::link(tag.startsWith("relative") ? target : at.filePath(target), at.filePath(link.section('>', 0, 0))));
    }
    if (tag.contains("stray")) QVERIFY(QFile::copy(at.filePath("real/chat.db"), at.filePath("chat.db-wal")));
    DatabaseReadingOptions options = options_;
    if (!locks) options.copies.lock = [](int, int) { return errno = ENOLCK, -1; };
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));  // the relative paths
    qint64 counted = 0;
    qsizetype messages = 0;
    try {
      MessagesDatabaseReading reading(MessagesDatabaseReader(opened, options));
      const QList<ContactSummary> summaries = reading.fetchContactSummaries();
      counted = summaries.isEmpty() ? 0 : summaries.first().messageCount;
      messages = reading.fetchMessages(kSam).size();
    } catch (const std::exception& error) {
      QDir::setCurrent(previous);
      QFAIL(error.what());
    }
    QDir::setCurrent(previous);
    QCOMPARE(counted, 4);
    QCOMPARE(messages, 4);
  }

  // With no room for the private copy, the picker's text says first what the
  // copy needs, where, and what is free, then the cause.
  void noRoomForTheCopySaysWhatItNeeds() {
    QTemporaryDir folder;
    const QString cache = folder.filePath("murmela-app");
    QVERIFY(QDir().mkpath(cache));
    test::FullFileSystem full(cache);
    if (QStorageInfo(cache).rootPath() != cache) QSKIP("Needs the right to mount a small file system.");
    DatabaseReadingOptions options = options_;
    options.copies.cacheFolder = cache;
    const MessagesDatabaseReader reader(walDatabase(folder.path()), options);
    const QString lead = QStringLiteral("Could not open Messages database: Not enough free space in %1: a private copy "
                                        "of the database needs ")
                             .arg(*PrivateDatabaseCopy::copiesFolder(options.copies));
    try {
      reader.fetchContactSummaries();
      QFAIL("the copy was made");
    } catch (const WrappedDataError& error) {
      QVERIFY2(error.description().startsWith(lead), qPrintable(error.description()));
      QVERIFY2(error.description().contains(" MB and 0 MB are free. Free some space there"), qPrintable(error.description()));
      QVERIFY2(error.description().endsWith("(unable to open database file)."), qPrintable(error.description()));
    }
  }

  void pathThatLooksLikeAUriIsAFile() {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    {
      Builder db(folder.filePath(QStringLiteral("file:chat.db")));
      const qint64 sam = db.addHandle(kSam);
      db.addMessage(db.addOneToOneChat(sam), {.text = "hi", .date = 1, .handleId = sam});
      db.close();
    }
    const MessagesDatabaseReader reader(QStringLiteral("file:chat.db"));
    const int count = int(reader.fetchMessages(kSam).size());
    const bool opens = reader.canOpen();  // the permission probe names the file the same way
    QDir::setCurrent(previous);
    QCOMPARE(count, 1);
    QVERIFY(opens);
  }

  void launchArgumentOverride_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<QString>>("path");
    using Path = std::optional<QString>;
    const QString home = QDir::homePath();
    QTest::newRow("none") << QStringList{"murmela"} << Path();
    QTest::newRow("flag last") << QStringList{"murmela", "-messagesDB"} << Path();
    QTest::newRow("plain path") << QStringList{"murmela", "-messagesDB", "/tmp/x.db"} << Path("/tmp/x.db");
    QTest::newRow("tilde") << QStringList{"murmela", "-messagesDB", "~/copy/chat.db"} << Path(home + "/copy/chat.db");
    QTest::newRow("tilde alone") << QStringList{"murmela", "-messagesDB", "~"} << Path(home);
    QTest::newRow("tilde with a user") << QStringList{"m", "-messagesDB", "~root/chat.db"} << Path("/root/chat.db");
    QTest::newRow("tilde with an unknown user")
        << QStringList{"m", "-messagesDB", "~no-such-user-7/x"} << Path("~no-such-user-7/x");
    QTest::newRow("tilde inside is kept") << QStringList{"m", "-messagesDB", "a/~/b"} << Path("a/~/b");
    QTest::newRow("first occurrence wins")
        << QStringList{"m", "-messagesDB", "one.db", "-messagesDB", "two.db"} << Path("one.db");
    QTest::newRow("next argument taken as is") << QStringList{"m", "-messagesDB", "-fakeData"} << Path("-fakeData");
    QTest::newRow("empty path") << QStringList{"m", "-messagesDB", ""} << Path("");
    QTest::newRow("case-sensitive flag") << QStringList{"m", "-messagesdb", "x.db"} << Path();
    QTest::newRow("flag with value glued") << QStringList{"m", "-messagesDB=x.db"} << Path();
  }
  void launchArgumentOverride() {
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<QString>, path);
    const std::optional<MessagesDatabaseReader> reader = MessagesDatabaseReader::launchArgumentOverride(arguments);
    QCOMPARE(reader.has_value(), path.has_value());
    if (reader) QCOMPARE(reader->databasePath(), *path);
  }
};

MURMELA_TEST(MessagesDatabaseReaderTest)
#include "MessagesDatabaseReaderTest.moc"
