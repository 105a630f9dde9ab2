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

#include <optional>

using namespace murmela;

class PrivateDatabaseCopyTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString database_;

  static QDir copies() { return QDir(PrivateDatabaseCopy::copiesFolder().value_or(QStringLiteral("/nonexistent"))); }
  static QStringList held() { return copies().entryList({QStringLiteral("murmela-database-*")}, QDir::Dirs); }

  static bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
  }

 private Q_SLOTS:
  void initTestCase() {
    database_ = dir_.filePath(QStringLiteral("chat.db"));
    QVERIFY(write(database_, QByteArray(3 << 20, 'd')) && write(database_ + "-wal", QByteArray(1 << 20, 'w')));
  }
  void init() { QVERIFY(copies().removeRecursively()); }

  // What a start (and Reset App) finds of copies, by how their owner ended.
  void leftoversOfGoneProcessesGo_data() {
    QTest::addColumn<QString>("owner");
    QTest::addColumn<bool>("includingOwn");
    QTest::addColumn<bool>("removed");
    QTest::newRow("killed holding a copy") << "killed" << false << true;
    QTest::newRow("killed before its lock, half copied") << "unlocked" << false << true;
    QTest::newRow("this process's copy at a start") << "self" << false << false;
    QTest::newRow("this process's copy at a reset") << "self" << true << true;
  }
  void leftoversOfGoneProcessesGo() {
    QFETCH(QString, owner);
    QFETCH(bool, includingOwn);
    QFETCH(bool, removed);
    std::optional<PrivateDatabaseCopy> own;
    if (owner == QLatin1String("self")) {
      own.emplace(database_);
      QVERIFY2(own->isValid(), qPrintable(own->failure()));
    } else {
      const pid_t child = ::fork();
      if (child == 0) {
        if (owner == QLatin1String("killed")) {
          const PrivateDatabaseCopy copy(database_);
          ::kill(::getpid(), SIGKILL);
        }
        ::_exit(0);
      }
      QVERIFY(child > 0 && ::waitpid(child, nullptr, 0) == child);
      if (owner == QLatin1String("unlocked")) {
        const QString folder = QStringLiteral("murmela-database-%1-a1b2c3").arg(child);
        QVERIFY(copies().mkpath(folder) && write(copies().filePath(folder + "/chat.db"), "SQLite format 3"));
      }
    }
    QCOMPARE(held().size(), 1);
    PrivateDatabaseCopy::removeLeftovers(includingOwn ? PrivateDatabaseCopy::Leftovers::includingOwn
                                                      : PrivateDatabaseCopy::Leftovers::abandoned);
    QCOMPARE(held().isEmpty(), removed);
  }

  // A "-wal" that is not a file is named as the cause, and no space is asked for.
  void walThatIsNoFileIsTheCause() {
    const QString fifo = dir_.filePath(QStringLiteral("pipe.db"));
    QVERIFY(write(fifo, "SQLite format 3") && ::mkfifo(QFile::encodeName(fifo + "-wal").constData(), 0600) == 0);
    const PrivateDatabaseCopy copy(fifo);
    QVERIFY(!PrivateDatabaseCopy::isCopyable(fifo));
    QCOMPARE(copy.failure(), fifo + QStringLiteral("-wal is not a regular file"));
    QVERIFY(held().isEmpty());
  }
};

MURMELA_TEST(PrivateDatabaseCopyTest)
#include "PrivateDatabaseCopyTest.moc"
