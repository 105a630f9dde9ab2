#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace murmela::test;

namespace {

// Outside PATH: the entry must name the program by its path.
const QString kPrefix = QStringLiteral("/opt/murmela-test");
const QString kProgram = kPrefix + QStringLiteral("/bin/murmela");
const QString kBundle = QStringLiteral("Murmela_MurmelaCore.bundle");

struct Finished {
  bool ended = false;  // ended by itself, within the bound
  int exitCode = -1;
  QByteArray output;
  QByteArray errors;
};

Finished run(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  Finished result;
  result.ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
  if (process.state() != QProcess::NotRunning) {
    process.kill();
    process.waitForFinished();
  }
  result.exitCode = process.exitCode();
  result.output = process.readAllStandardOutput();
  result.errors = process.readAllStandardError();
  return result;
}

// The "Desktop Entry" group's keys and values, as written (quotes kept).
QHash<QString, QString> readDesktopEntry(const QString& path) {
  QHash<QString, QString> values;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return values;
  bool inGroup = false;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (line.startsWith(QLatin1Char('[')))
      inGroup = line.trimmed() == QLatin1String("[Desktop Entry]");
    else if (inGroup && !line.startsWith(QLatin1Char('#')) && equals > 0)
      values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
  }
  return values;
}

// Ends a child when the test leaves: a termination signal, a kill if it lingers.
struct EndsAtExit {
  QProcess& process;
  ~EndsAtExit() {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(20000)) {
      process.kill();
      process.waitForFinished();
    }
  }
};

}  // namespace

// The built tree installed with `cmake --install` under DESTDIR in a temporary
// folder: the program and its resource bundle, the desktop entry (checked with
// desktop-file-validate) and the application icon at each hicolor size. The
// installed program is then started under a private X server to see that the
// window's class is the one the desktop entry names.
class InstallTest : public QObject {
  Q_OBJECT

  QTemporaryDir stage_;
  QString root_;
  QString entryPath_;
  QHash<QString, QString> entry_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(stage_.isValid());
    root_ = stage_.path() + kPrefix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), stage_.path());
    const Finished install =
        run(QStringLiteral(MURMELA_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(MURMELA_BUILD_DIR), QStringLiteral("--prefix"), kPrefix},
            environment);
    QVERIFY2(install.ended && install.exitCode == 0, (install.output + install.errors).constData());
    entryPath_ = root_ + QStringLiteral("/share/applications/murmela.desktop");
    entry_ = readDesktopEntry(entryPath_);
    QVERIFY2(!entry_.isEmpty(), qPrintable(entryPath_));
  }

  void programAndResourceBundle() {
    QVERIFY2(QFileInfo(root_ + QStringLiteral("/bin/murmela")).isExecutable(), qPrintable(root_));
    const QString source = sourceDir() + QStringLiteral("/resources/") + kBundle;
    const QString installed = root_ + QStringLiteral("/share/murmela/") + kBundle;
    int compared = 0;
    QDirIterator files(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
      const QString relative = files.next().mid(source.size());
      QFile original(source + relative);
      QFile copy(installed + relative);
      QVERIFY2(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly), qPrintable(relative));
      QVERIFY2(original.readAll() == copy.readAll(), qPrintable(relative));
      ++compared;
    }
    QVERIFY2(compared > 0, qPrintable(source));
  }

  void desktopEntryValidates() {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing (Scripts/bootstrap installs desktop-file-utils)");
    const Finished result = run(validator, {entryPath_});
    QVERIFY2(result.ended && result.exitCode == 0, (result.output + result.errors).constData());
    QCOMPARE(result.output + result.errors, QByteArray());
  }

  // Each row is named after its key.
  void desktopEntryNamesTheInstalledProgramAndIcon_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("Name") << "Murmela";
    QTest::newRow("Exec") << QLatin1Char('"') + kProgram + QLatin1Char('"');
    QTest::newRow("TryExec") << kProgram;
    QTest::newRow("Terminal") << "false";
    QTest::newRow("StartupWMClass") << "Murmela";
    QTest::newRow("Icon") << "murmela";
  }
  void desktopEntryNamesTheInstalledProgramAndIcon() {
    QFETCH(QString, value);
    QCOMPARE(entry_.value(QLatin1String(QTest::currentDataTag())), value);
  }

  void iconsArePngsOfTheirSize_data() {
    QTest::addColumn<int>("size");
    for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) QTest::addRow("%dx%d", size, size) << size;
  }
  void iconsArePngsOfTheirSize() {
    QFETCH(int, size);
    const QString path = root_ + QStringLiteral("/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(entry_["Icon"]);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    // The signature, then the header chunk: 8-bit RGBA, not interlaced.
    const QByteArray head = file.read(29);
    QVERIFY(head.startsWith("\x89PNG\r\n\x1a\n") && head.mid(12, 4) == "IHDR");
    QCOMPARE(QList<int>({head[24], head[25], head[28]}), QList<int>({8, 6, 0}));
    QImage image;
    QVERIFY(image.load(path, "PNG"));
    QCOMPARE(image.size(), QSize(size, size));
    image.convertTo(QImage::Format_ARGB32);
    // A rounded square: clear corners, an opaque middle, and the mark drawn on
    // the cream ground (not one flat colour).
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, size - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QSet<QRgb> opaque;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (qAlpha(image.pixel(x, y)) == 255) opaque.insert(image.pixel(x, y));
    QVERIFY(opaque.size() > 1);
  }

  void windowClassIsTheEntrysStartupClass() {
    for (const char* tool : {"Xvfb", "xdotool", "xprop"})
      QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
               qPrintable(QLatin1String(tool) + QLatin1String(" is missing (Scripts/bootstrap installs it)")));
    QTemporaryDir home;
    QVERIFY(home.isValid());

    // The server writes its display number to the pipe once it accepts clients.
    int pipe[2];
    QVERIFY(::pipe2(pipe, O_CLOEXEC) == 0);
    QProcess server;
    EndsAtExit serverEnds{server};
    server.setStandardOutputFile(QProcess::nullDevice());
    server.setStandardErrorFile(QProcess::nullDevice());
    const int writeEnd = pipe[1];
    server.setChildProcessModifier([writeEnd] { ::fcntl(writeEnd, F_SETFD, 0); });
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QString::number(writeEnd), QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("800x900x24")});
    ::close(writeEnd);
    QByteArray display = ":";
    pollfd readable{pipe[0], POLLIN, 0};
    char digit = 0;
    while (::poll(&readable, 1, 30000) > 0 && ::read(pipe[0], &digit, 1) == 1 && digit != '\n') display += digit;
    ::close(pipe[0]);
    QVERIFY2(digit == '\n' && display.size() > 1, "Xvfb told no display");

    QProcessEnvironment environment = environmentWithHome(home.path());
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcessEnvironment appEnvironment = environment;
    // Under AddressSanitizer: the X keyboard library hands strndup a string
    // without a terminator, which strict string checks report.
    appEnvironment.insert(QStringLiteral("ASAN_OPTIONS"),
                          QString::fromLocal8Bit(qgetenv("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));

    const QString errorsPath = home.filePath(QStringLiteral("stderr.txt"));
    QProcess app;
    EndsAtExit appEnds{app};
    app.setProcessEnvironment(appEnvironment);
    app.setStandardOutputFile(QProcess::nullDevice());
    app.setStandardErrorFile(errorsPath);
    app.start(root_ + QStringLiteral("/bin/murmela"), {QStringLiteral("-fakeData"), QStringLiteral("friendship")});
    QVERIFY2(app.waitForStarted(10000), qPrintable(app.errorString()));

    QStringList windows;
    const QDeadlineTimer deadline(60000);  // only for a program that never shows its window
    while (windows.isEmpty() && !deadline.hasExpired()) {
      const Finished found = run(QStringLiteral("xdotool"),
                                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                  QStringLiteral("^Murmela$")},
                                 environment);
      windows = QString::fromLatin1(found.output).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
      if (windows.isEmpty() && app.waitForFinished(100)) {
        QFile errors(errorsPath);
        errors.open(QIODevice::ReadOnly);
        QFAIL(qPrintable(QStringLiteral("the installed program ended (%1):\n").arg(app.exitCode()) +
                         QString::fromLocal8Bit(errors.readAll())));
      }
    }
    QVERIFY2(!windows.isEmpty(), "no window named Murmela");
    QSet<QString> classes;
    for (const QString& window : windows) {
      // WM_CLASS(STRING) = "<instance>", "<class>"
      const Finished answer =
          run(QStringLiteral("xprop"), {QStringLiteral("-id"), window, QStringLiteral("WM_CLASS")}, environment);
      const QStringList quoted = QString::fromLatin1(answer.output).split(QLatin1Char('"'));
      classes.insert(quoted.size() >= 3 ? quoted.at(quoted.size() - 2) : QString::fromLatin1(answer.output));
    }
    QCOMPARE(classes, QSet<QString>({entry_["StartupWMClass"]}));
    QVERIFY2(app.state() == QProcess::Running && !app.waitForFinished(0), "the installed program quit");
  }
};

MURMELA_TEST(InstallTest)
#include "InstallTest.moc"
