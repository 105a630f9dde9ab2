#include "common/AtomicFile.h"
#include "common/FileError.h"
#include "support/FullFileSystem.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

class AtomicFileTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void aFullFileSystemLeavesTheOldFileOrNone_data() {
    QTest::addColumn<QByteArray>("old");  // empty: no file before
    QTest::newRow("new file") << QByteArray();
    QTest::newRow("replacing a file") << QByteArray("{\"old\": true}\n");
  }
  void aFullFileSystemLeavesTheOldFileOrNone() {
    QFETCH(QByteArray, old);
    QTemporaryDir folder;
    FullFileSystem disk(folder.path());
    const QString path = folder.filePath("report.json");
    if (!old.isEmpty()) writeFileAtomically(path, old);
    disk.fill();
    QVERIFY_THROWS_EXCEPTION(FileError, writeFileAtomically(path, QByteArray(16 * 1024, 'x')));
    QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(".filler");
    QCOMPARE(left, old.isEmpty() ? QStringList() : QStringList{"report.json"});
    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), old);
    if (!disk.mounted()) qWarning("no tmpfs could be mounted: the write failed through a file size limit");
  }

  // What a write killed before its rename leaves goes; a running writer's stays.
  void partialFilesOfEndedWritersAreRemoved() {
    QProcess ended;
    ended.start("/bin/true");
    QVERIFY(ended.waitForStarted());
    const qint64 endedId = ended.processId();
    QVERIFY(ended.waitForFinished());
    QTemporaryDir folder;
    const QString running = QString(".shares.json.partial-%1-0000beef").arg(QCoreApplication::applicationPid());
    for (const QString& name : {QString(".shares.json.partial-%1-0badf00d").arg(endedId), running,
                                QString("report.json"), QString(".notes.partial-1")}) {
      QFile file(folder.filePath(name));
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    removeAbandonedPartialWrites(folder.path());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{".notes.partial-1", running, "report.json"}));
  }
};

MURMELA_TEST(AtomicFileTest)
#include "AtomicFileTest.moc"
