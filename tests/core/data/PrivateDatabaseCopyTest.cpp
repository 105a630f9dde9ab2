#include "common/PrivateFolder.h"
#include "data/PrivateDatabaseCopy.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

using namespace murmela;

namespace {

// flock as on NFS without a lock daemon.
int noLocks(int, int) {
  errno = ENOLCK;
  return -1;
}

}  // namespace

class PrivateDatabaseCopyTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString database_;
  PrivateDatabaseCopy::Options options_;  // a cache folder of the test's own

  QDir copies() const { return QDir(*PrivateDatabaseCopy::copiesFolder(options_)); }
  QStringList held() const { return copies().entryList({QStringLiteral("murmela-database-*")}, QDir::Dirs); }

  static bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  }

 private Q_SLOTS:
  void initTestCase() {
    database_ = dir_.filePath(QStringLiteral("chat.db"));
    QVERIFY(write(database_, QByteArray(3 << 20, 'd')) && write(database_ + "-wal", QByteArray(1 << 20, 'w')));
    options_.cacheFolder = dir_.filePath(QStringLiteral("cache/murmela-app"));
  }
  void init() {
    QVERIFY(QDir(dir_.filePath(QStringLiteral("cache"))).removeRecursively());
    QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("cache"))));
  }

  // What a start (and Reset App) finds of copies, by how their owner ended,
  // also where the file system has no locks (the process id tells).
  void leftoversOfGoneProcessesGo_data() {
    QTest::addColumn<QString>("owner");
    QTest::addColumn<bool>("locks");
    QTest::addColumn<bool>("includingOwn");
    QTest::addColumn<bool>("removed");
    QTest::newRow("killed holding a copy") << "killed" << true << false << true;
    QTest::newRow("killed, no locks") << "killed" << false << false << true;
    QTest::newRow("killed before its lock, half copied") << "unlocked" << true << false << true;
    QTest::newRow("this process's copy at a start") << "self" << true << false << false;
    QTest::newRow("this process's copy at a start, no locks") << "self" << false << false << false;
    QTest::newRow("this process's copy at a reset") << "self" << true << true << true;
  }
  void leftoversOfGoneProcessesGo() {
    QFETCH(QString, owner);
    QFETCH(bool, locks);
    QFETCH(bool, includingOwn);
    QFETCH(bool, removed);
    PrivateDatabaseCopy::Options options = options_;
    if (!locks) options.lock = noLocks;
    std::optional<PrivateDatabaseCopy> own;
    if (owner == QLatin1String("self")) {
      own.emplace(database_, options);
      QVERIFY2(own->isValid(), qPrintable(own->failure()));
    } else {
      const pid_t child = ::fork();
      if (child == 0) {
        if (owner == QLatin1String("killed")) {
          const PrivateDatabaseCopy copy(database_, options);
          if (copy.isValid()) ::kill(::getpid(), SIGKILL);
        }
        ::_exit(0);
      }
      QVERIFY(child > 0 && ::waitpid(child, nullptr, 0) == child);
      if (owner == QLatin1String("unlocked")) {
        QVERIFY(PrivateFolder::open(dir_.filePath("cache"), {"murmela-app", "database-copies"}, true).isOpen());
        const QString folder = QStringLiteral("murmela-database-%1-a1b2c3").arg(child);
        QVERIFY(copies().mkpath(folder) && write(copies().filePath(folder + "/chat.db"), "SQLite format 3"));
      }
    }
    QCOMPARE(held().size(), 1);
    PrivateDatabaseCopy::removeLeftovers(includingOwn ? PrivateDatabaseCopy::Leftovers::includingOwn
                                                      : PrivateDatabaseCopy::Leftovers::abandoned,
                                         options);
    QCOMPARE(held().isEmpty(), removed);
  }

  // The cache folder and the copies' folder are the user's own: a link at
  // either, or a folder open to others, holds no copy and is swept of
  // nothing, and the copy names the folder.
  void foldersNotTheUsersOwnAreRefused_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("copies");  // where a sweep through the link would look
    QTest::newRow("link at database-copies") << "cache/murmela-app/database-copies" << true << "";
    QTest::newRow("link at murmela-app") << "cache/murmela-app" << true << "/database-copies";
    QTest::newRow("database-copies open to others") << "cache/murmela-app/database-copies" << false << "";
  }
  void foldersNotTheUsersOwnAreRefused() {
    QFETCH(QString, folder);
    QFETCH(bool, link);
    QFETCH(QString, copies);
    const QString at = dir_.filePath(folder);
    const QString elsewhere = dir_.filePath(link ? QStringLiteral("elsewhere") : folder);
    const QString leftover = elsewhere + copies + "/murmela-database-999999999-a1b2c3";  // of no process
    QVERIFY(::mkdir(QFile::encodeName(QFileInfo(at).path()).constData(), 0700) == 0 || errno == EEXIST);
    QVERIFY(QDir(elsewhere).removeRecursively() && QDir().mkpath(leftover));
    // The folders a link leads to are the user's alone: only the link is wrong.
    for (const QString& made : {elsewhere, elsewhere + copies})
      QVERIFY(::chmod(QFile::encodeName(made).constData(), link ? 0700 : 0755) == 0);
    if (link) QVERIFY(QFile::link(elsewhere, at));
    PrivateDatabaseCopy::removeLeftovers(PrivateDatabaseCopy::Leftovers::abandoned, options_);
    QVERIFY(QFileInfo::exists(leftover));
    const PrivateDatabaseCopy copy(database_, options_);
    QVERIFY(!copy.isValid());
    QVERIFY2(copy.failure().startsWith(QStringLiteral("The folder %1 is ").arg(at)), qPrintable(copy.failure()));
    QCOMPARE(QDir(elsewhere + copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);  // no copy there
  }

  // A "-wal" that is not a file is named as the cause, and no space is asked for.
  void walThatIsNoFileIsTheCause() {
    const QString fifo = dir_.filePath(QStringLiteral("pipe.db"));
    QVERIFY(write(fifo, "SQLite format 3") && ::mkfifo(QFile::encodeName(fifo + "-wal").constData(), 0600) == 0);
    const PrivateDatabaseCopy copy(fifo, options_);
    QVERIFY(!PrivateDatabaseCopy::isCopyable(fifo));
    QCOMPARE(copy.failure(), fifo + QStringLiteral("-wal is not a regular file."));
    QVERIFY(held().isEmpty());
  }
};

MURMELA_TEST(PrivateDatabaseCopyTest)
#include "PrivateDatabaseCopyTest.moc"
