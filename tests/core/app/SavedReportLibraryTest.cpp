#include "app/SavedReportLibrary.h"
#include "common/AtomicFile.h"
#include "common/FileError.h"
#include "data/ReportJson.h"
#include "support/ReportSamples.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

WrappedReport reportAbout(const QString& them) {
  WrappedReport report = minimalReport();
  report.participantNames.them = them;
  return report;
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

void setModified(const QString& path, Date when) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadWrite));
  QVERIFY(file.setFileTime(when.toQDateTime(), QFileDevice::FileModificationTime));
}

QStringList fileNames(const QList<PastWrap>& wraps) {
  QStringList names;
  for (const PastWrap& wrap : wraps) names.append(QFileInfo(wrap.filePath).fileName());
  return names;
}

}  // namespace

class SavedReportLibraryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    environment_ = std::make_unique<TestEnvironment>();
    dir_ = environment_->path(QStringLiteral("reports"));
  }
  void cleanup() { environment_.reset(); }

  void sanitizedNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("space") << "Anna Maria"
                           << "Anna-Maria";
    QTest::newRow("blanks and marks") << "  Bob!! "
                                      << "Bob";
    QTest::newRow("dashes trimmed, underscores kept") << "--x__y--"
                                                      << "x__y";
    QTest::newRow("accented, composed") << QStringLiteral("Jos\u00e9") << QStringLiteral("Jos\u00e9");
    QTest::newRow("accented, combining mark") << QStringLiteral("Jose\u0301") << QStringLiteral("Jose\u0301");
    QTest::newRow("other scripts and digits")
        << QStringLiteral("\u674e\u96f7 & Zo\u00eb 2") << QStringLiteral("\u674e\u96f7-Zo\u00eb-2");
    QTest::newRow("emoji alone") << QStringLiteral("\U0001F600") << "conversation";
    QTest::newRow("empty") << ""
                           << "conversation";
    QTest::newRow("path characters") << "../a/b\\c:d"
                                     << "a-b-c-d";
    QTest::newRow("dots only") << ".."
                               << "conversation";
    // 300 bytes of two-byte letters: 150 bytes are kept.
    QTest::newRow("300 bytes") << QString(150, QChar(0x00e9)) << QString(75, QChar(0x00e9));
    // One byte more: the cut may not split a letter, so one fewer byte is kept.
    QTest::newRow("cut before a letter") << QLatin1Char('a') + QString(150, QChar(0x00e9))
                                         << QLatin1Char('a') + QString(74, QChar(0x00e9));
    // A base letter keeps its combining mark.
    QTest::newRow("cut between characters")
        << QStringLiteral("xe\u0301").repeated(60) << QStringLiteral("xe\u0301").repeated(37) + QLatin1Char('x');
    // A cut that ends on "-" drops it.
    QTest::newRow("cut at a dash") << QStringLiteral("ab ").repeated(100)
                                   << QStringLiteral("ab-").repeated(49) + QStringLiteral("ab");
  }
  void sanitizedNames() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const QString sanitized = SavedReportLibrary::sanitized(name);
    QCOMPARE(sanitized, expected);
    QVERIFY(sanitized.toUtf8().size() <= SavedReportLibrary::kMaxNameBytes);
  }

  void fileNameIsLocalTimeAndName() {
    // 2026-01-01T00:00:05Z is the evening before in New York.
    QCOMPARE(SavedReportLibrary::fileName(Date::fromUnix(1767225605.0), QStringLiteral("Anna Maria")),
             QStringLiteral("20251231-190005-Anna-Maria.json"));
  }

  void firstSaveCreatesTheFolder() {
    const SavedReportLibrary library(dir_);
    QVERIFY(library.load().isEmpty());
    const WrappedReport report = fullReport();
    const QString path = library.save(report, Date::fromUnix(1767225605.0));
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(dir_).absoluteFilePath());
    const QList<PastWrap> wraps = library.load();
    QCOMPARE(wraps.size(), 1);
    QCOMPARE(wraps.first().filePath, path);
    QCOMPARE(ReportJson::encode(wraps.first().report), ReportJson::encode(report));
  }

  // Saves in the same second for the same partner each keep their file.
  void sameSecondSavesKeepEveryReport() {
    const SavedReportLibrary library(dir_);
    const Date now = Date::fromUnix(1767225605.0);
    QStringList names;
    for (int i = 0; i < 3; ++i)
      names.append(QFileInfo(library.save(reportAbout(QStringLiteral("Sam")), now)).fileName());
    QCOMPARE(names,
             (QStringList{"20251231-190005-Sam.json", "20251231-190005-Sam-2.json", "20251231-190005-Sam-3.json"}));
    QCOMPARE(library.load().size(), 3);
  }

  // Two processes saving in the same second keep every report, under umask 0
  // the user's alone; also where the file system has neither renameat2 nor links.
  void concurrentSavesKeepEveryReportPrivately_data() {
    QTest::addColumn<bool>("exclusiveClaim");
    QTest::addColumn<bool>("renameNeverReplaces");
    QTest::newRow("rename without replacing") << false << false;
    QTest::newRow("no renameat2, no link") << true << false;
    QTest::newRow("no renameat2, no link, rename never replaces") << true << true;
  }
  void concurrentSavesKeepEveryReportPrivately() {
    QFETCH(bool, exclusiveClaim);
    QFETCH(bool, renameNeverReplaces);
    const mode_t umask = ::umask(0);
    const SavedReportLibrary library(dir_, NewFilePlacement{exclusiveClaim, renameNeverReplaces, {}});
    const pid_t child = ::fork();  // the child saves too, then ends at once
    const auto failedChild = qScopeGuard([child] { if (child == 0) ::_exit(1); });
    for (int n = 0; n < 50; ++n) library.save(minimalReport(), Date::fromUnix(1767225605.0));
    if (child == 0) ::_exit(0);
    ::umask(umask);
    int status = -1;
    QVERIFY(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const QFileInfoList files = QDir(dir_).entryInfoList(QDir::Files | QDir::Hidden);
    QCOMPARE(files.size(), 100);
    QCOMPARE(library.load().size(), 100);
    for (const QFileInfo& file : files) QCOMPARE(file.permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(QFileInfo(dir_).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  // A save killed between claiming its name and putting the report there
  // leaves an empty file; the next start frees that name, and only that one.
  void aClaimLeftByAKilledSaveIsRemovedAtTheNextStart() {
    const SavedReportLibrary library(dir_, NewFilePlacement{true, false, {}});
    const auto save = [&] { return QFileInfo(library.save(minimalReport(), Date::fromUnix(1767225605.0))).fileName(); };
    const QString first = save();
    writeFile(QDir(dir_).filePath("empty.json"), QByteArray());  // no claim of ours
    const pid_t child = ::fork();
    if (child == 0) {
      SavedReportLibrary(dir_, NewFilePlacement{true, false, [] { ::_exit(0); }})
          .save(minimalReport(), Date::fromUnix(1767225605.0));
      ::_exit(1);
    }
    QVERIFY(::waitpid(child, nullptr, 0) == child);  // a child that saved leaves "-2" complete
    removeAbandonedPartialWrites(dir_);
    QCOMPARE(QDir(dir_).entryList(QDir::Files | QDir::Hidden), QStringList({first, "empty.json"}));
    QCOMPARE(save(), QString(first).replace(".json", "-2.json"));
  }

  void longNameStillSaves() {
    const SavedReportLibrary library(dir_);
    const QString path = library.save(reportAbout(QString(300, QChar(0x00e9))), Date::fromUnix(1767225605.0));
    QVERIFY(QFileInfo(path).fileName().toUtf8().size() <= 255);
    QCOMPARE(library.load().size(), 1);
  }

  void saveFailureIsThrown() {
    writeFile(dir_, "not a folder");  // the reports folder cannot be made
    const SavedReportLibrary library(dir_);
    QVERIFY_THROWS_EXCEPTION(FileError, library.save(reportAbout(QStringLiteral("Sam")), Date::now()));
    QVERIFY_THROWS_EXCEPTION(FileError, SavedReportLibrary(std::nullopt).save(minimalReport(), Date::now()));
    QVERIFY(SavedReportLibrary(std::nullopt).load().isEmpty());
  }

  // Which entries are listed, and in which order.
  void loadListsReadableReportsNewestFirst() {
    QVERIFY(QDir().mkpath(dir_));
    const QDir dir(dir_);
    const QByteArray report = ReportJson::encode(minimalReport());
    const Date base = Date::fromUnix(1767225600.0);
    const auto add = [&](const QString& name, const QByteArray& bytes, double secondsLater) {
      writeFile(dir.filePath(name), bytes);
      setModified(dir.filePath(name), base.addingSeconds(secondsLater));
    };
    add(QStringLiteral("a-older.json"), report, 0);
    add(QStringLiteral("b-newest.JSON"), report, 2);  // the extension in any case
    add(QStringLiteral("c-same-as-d.json"), report, 1);
    add(QStringLiteral("d-same-as-c.json"), report, 1);  // equal dates keep the name order
    add(QStringLiteral(".hidden.json"), report, 5);
    add(QStringLiteral("e-notes.txt"), report, 5);
    add(QStringLiteral("f-not-a-report.json"), QByteArray("{\"hello\": 1}"), 5);
    add(QStringLiteral("g-truncated.json"), report.left(report.size() / 2), 5);
    QVERIFY(dir.mkdir(QStringLiteral("h-folder.json")));
    // Never opened: a pipe (opening it waits for a writer), a device that
    // never ends, a file far past any report.
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("i-pipe.json")).constData(), 0600), 0);
    QVERIFY(QFile::link("/dev/zero", dir.filePath("j-zero.json")));
    QFile huge(dir.filePath("k-huge.json"));
    QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(SavedReportLibrary::kMaxReportBytes + 1));
    QVERIFY(QFile::link(dir.filePath("a-older.json"), dir.filePath("l-link.json")));
    QCOMPARE(fileNames(SavedReportLibrary(dir_).load()),
             (QStringList{"b-newest.JSON", "c-same-as-d.json", "d-same-as-c.json", "a-older.json", "l-link.json"}));
    QCOMPARE(SavedReportLibrary(dir_).load().first().savedAt, base.addingSeconds(2));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
  QString dir_;
};

MURMELA_TEST(SavedReportLibraryTest)
#include "SavedReportLibraryTest.moc"
