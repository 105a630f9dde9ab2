#include "privacy/RuntimeDownloadStaging.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

using namespace murmela;

class RuntimeDownloadStagingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Where the file system has no locks (NFS without its lock daemon), a
  // download still stages its archive, and a start still tells the file of a
  // download that is gone from a live one's, by the process id in its name.
  void stagesWithoutLocks() {
    const LockCall noLocks = [](int, int) { return errno = ENOLCK, -1; };
    QTemporaryDir folder;
    const QString destination = folder.filePath("runtime.tar.gz");
    RuntimeDownloadStaging staging(destination + ".download-LIVE", noLocks);
    QCOMPARE(staging.create(), QString());
    QCOMPARE(staging.write("archive", 7), QString());
    QFile gone(destination + ".download-GONE.999999999");  // of no process
    QVERIFY(gone.open(QIODevice::WriteOnly));
    gone.close();
    QCOMPARE(RuntimeDownloadStaging::removeAbandoned(destination, noLocks), 1);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{QFileInfo(staging.path()).fileName()});
    QCOMPARE(staging.close(), QString());
  }
};

MURMELA_TEST(RuntimeDownloadStagingTest)
#include "RuntimeDownloadStagingTest.moc"
