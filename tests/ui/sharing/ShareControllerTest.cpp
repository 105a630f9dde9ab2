#include "ShareFakes.h"
#include "sharing/HandoffUrls.h"
#include "sharing/ShareController.h"
#include "sharing/ShareFileNames.h"
#include "sharing/SlideImageRenderer.h"
#include "support/TestRegistry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

Q_DECLARE_METATYPE(murmela::ShareDestination)
Q_DECLARE_METATYPE(murmela::ShareMode)

namespace {

WrappedReport reportFor(const QString& them) {
  WrappedReport report;
  report.participantNames = {QStringLiteral("You"), them};
  report.totalMessages = 5;
  return report;
}

QStringList numberedFiles(const QString& stem, QList<int> numbers) {
  QStringList names;
  for (const int number : numbers) names.append(ShareFileNames::slideshowFileName(stem, number));
  return names;
}

QList<int> range(int first, int last) {
  QList<int> numbers;
  for (int number = first; number <= last; ++number) numbers.append(number);
  return numbers;
}

}  // namespace

class ShareControllerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QLocale::setDefault(QLocale(QStringLiteral("en_US"))); }

  void copiedSlideIsTheExportedPicture() {
    QGuiApplication::clipboard()->clear();
    auto toasts = heldToasts();
    ShareServices services = ShareServices::system();
    services.openUrl = [](const QUrl&) { return true; };
    ShareController(reportFor(QStringLiteral("Sam")), 4, *toasts, services)
        .perform(ShareDestination::copyImage, ShareMode::thisSlide);
    QCOMPARE(toasts->current(), QStringLiteral("Slide copied to clipboard."));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasImage());
    QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), QSize(1170, 2340));
    const QImage decoded = QImage::fromData(data->data(QStringLiteral("image/png")), "PNG");
    QCOMPARE(decoded.size(), QSize(1170, 2340));
    // The system's paste shortcut replaces the Mac's in every message.
    QCOMPARE(services.pasteShortcut, QStringLiteral("Ctrl+V"));
  }

  void queryValuesAreFullyEncoded_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("space") << "a b" << QByteArray("a%20b");
    QTest::newRow("é as UTF-8") << QString::fromUtf8("é") << QByteArray("%C3%A9");
    QTest::newRow("& + = # cut or change a value") << "Sam & Jo+1=2#x" << QByteArray("Sam%20%26%20Jo%2B1%3D2%23x");
    QTest::newRow("kept literal") << "a-b.c_d~!$'()*,;:@/?" << QByteArray("a-b.c_d~!$'()*,;:@/?");
    QTest::newRow("percent and emoji") << QString::fromUtf8("50% 🌸") << QByteArray("50%25%20%F0%9F%8C%B8");
  }
  void queryValuesAreFullyEncoded() {
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QCOMPARE(HandoffUrls::encodeQueryValue(text), encoded);
  }

  void socialDestinations_data() {
    QTest::addColumn<ShareDestination>("destination");
    QTest::addColumn<ShareMode>("mode");
    QTest::addColumn<bool>("messagesHandler");
    QTest::addColumn<bool>("renders");
    QTest::addColumn<QByteArray>("url");  // empty: nothing opened
    QTest::addColumn<QString>("toast");
    QTest::addColumn<int>("copies");
    const QByteArray text =
        "I%20wrapped-up%20my%205-message%20chat%20with%20Sam%20%26%20Jo%C3%A9%20with%20murmela.app.%20my%20most-used%"
        "20words%20say%20a%20lot.%20https://murmela.app/s/abc";
    QTest::newRow("Messages with the link")
        << ShareDestination::iMessage << ShareMode::thisSlide << true << true << QByteArray("sms:?body=" + text)
        << "Image copied. Paste into the message (Ctrl+V)." << 1;
    QTest::newRow("Messages without an sms handler opens nothing")
        << ShareDestination::iMessage << ShareMode::thisSlide << false << true << QByteArray()
        << "Image copied. Paste into your messaging app (Ctrl+V)." << 1;
    QTest::newRow("X, whole deck")
        << ShareDestination::twitter << ShareMode::slideshow << true << true
        << QByteArray(
               "https://x.com/intent/tweet?text=I%20wrapped-up%20my%205-message%20chat%20with%20Sam%20%26%20Jo%C3%"
               "A9%20via%20murmela.app.%20https://murmela.app/s/abc")
        << "Image copied. Paste into your post (Ctrl+V)." << 1;
    QTest::newRow("Stories ignores the link")
        << ShareDestination::instagram << ShareMode::thisSlide << true << true << QByteArray()
        << "Image copied. Open Instagram and paste into your story." << 1;
    QTest::newRow("TikTok") << ShareDestination::tiktok << ShareMode::slideshow << true << true << QByteArray()
                            << "Image copied. Open TikTok and paste into your post." << 1;
    QTest::newRow("TikTok without an image says so") << ShareDestination::tiktok << ShareMode::thisSlide << true
                                                     << false << QByteArray() << "Could not render slide image." << 0;
    QTest::newRow("Copy without an image") << ShareDestination::copyImage << ShareMode::thisSlide << true << false
                                           << QByteArray() << "Could not render slide image." << 0;
  }
  void socialDestinations() {
    QFETCH(ShareDestination, destination);
    QFETCH(ShareMode, mode);
    QFETCH(bool, messagesHandler);
    QFETCH(bool, renders);
    QFETCH(QByteArray, url);
    QFETCH(QString, toast);
    QFETCH(int, copies);
    FakeDesktop desktop;
    desktop.messagesHandler = messagesHandler;
    if (!renders) desktop.unrenderable = {8};
    auto toasts = heldToasts();
    ShareController(reportFor(QString::fromUtf8("Sam & Joé")), 8, *toasts, desktop.services())
        .perform(destination, mode, QUrl(QStringLiteral("https://murmela.app/s/abc")));
    QCOMPARE(toasts->current(), toast);
    QCOMPARE(desktop.imagesCopied, copies);
    QCOMPARE(desktop.opened.size(), url.isEmpty() ? 0 : 1);
    if (!url.isEmpty()) QCOMPARE(desktop.opened.first().toEncoded(), url);
  }

  void fileNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("single");
    QTest::addColumn<QString>("folder");
    QTest::newRow("only the slash replaced for one slide") << "Jo/Ann Lee" << 2 << "murmela-Jo-Ann Lee-slide-03.png"
                                                           << "murmela-Jo-Ann-Lee-slideshow";
    QTest::newRow("emoji only") << QString::fromUtf8("🌸✨") << 13 << QString::fromUtf8("murmela-🌸✨-slide-14.png")
                                << "murmela-conversation-slideshow";
    QTest::newRow("punctuation only") << "?!." << 0 << "murmela-?!.-slide-01.png"
                                      << "murmela-conversation-slideshow";
    QTest::newRow("letters of any script, marks, underscores")
        << QString::fromUtf8("Zoë__Ω e\u0301 -- 2") << 0
        << QString::fromUtf8("murmela-Zoë__Ω e\u0301 -- 2-slide-01.png")
        << QString::fromUtf8("murmela-Zoë__Ω-e\u0301-2-slideshow");
  }
  void fileNames() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, single);
    QFETCH(QString, folder);
    QCOMPARE(ShareFileNames::singleSlideFileName(name, index), single);
    QCOMPARE(ShareFileNames::slideshowFolderName(name), folder);
  }

  void saveOneSlide_data() {
    QTest::addColumn<bool>("renders");
    QTest::addColumn<QString>("chosen");  // empty: the dialog is cancelled
    QTest::addColumn<int>("failingWrite");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("toast");
    QTest::newRow("the suffix is added") << true << "out/slide" << 0 << "out/slide.png"
                                         << "Saved to slide.png.";
    QTest::newRow("a suffix in capitals stays") << true << "out/Slide.PNG" << 0 << "out/Slide.PNG"
                                                << "Saved to Slide.PNG.";
    QTest::newRow("cancelled: nothing") << true << "" << 0 << ""
                                        << "";
    QTest::newRow("write fails") << true << "out/slide.png" << 1 << "out/slide.png"
                                 << "Save failed: No space left on device";
    QTest::newRow("no image: no dialog") << false << "out/slide.png" << 0 << ""
                                         << "Could not render slide image.";
  }
  void saveOneSlide() {
    QFETCH(bool, renders);
    QFETCH(QString, chosen);
    QFETCH(int, failingWrite);
    QFETCH(QString, written);
    QFETCH(QString, toast);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("out")));
    FakeDesktop desktop;
    if (!renders) desktop.unrenderable = {2};
    if (!chosen.isEmpty()) desktop.chosenPath = root.filePath(chosen);
    desktop.failingWrite = failingWrite;
    auto toasts = heldToasts();
    ShareController(reportFor(QStringLiteral("Jo/Ann Lee")), 2, *toasts, desktop.services())
        .perform(ShareDestination::downloadImage, ShareMode::thisSlide);
    QCOMPARE(toasts->current().value_or(QString()), toast);
    QCOMPARE(desktop.dialogs,
             renders ? QStringList{"Save Slide as PNG|murmela-Jo-Ann Lee-slide-03.png"} : QStringList());
    QCOMPARE(desktop.writes->paths, written.isEmpty() ? QStringList() : QStringList{root.filePath(written)});
    if (!written.isEmpty() && failingWrite == 0) QCOMPARE(QImage(root.filePath(written), "PNG").size(), QSize(6, 12));
  }

  void slideshow_data() {
    QTest::addColumn<bool>("hasDownloads");
    QTest::addColumn<QString>("folderFailure");
    QTest::addColumn<QList<int>>("unrenderable");
    QTest::addColumn<int>("failingWrite");
    QTest::addColumn<int>("exports");
    QTest::addColumn<QList<int>>("files");
    QTest::addColumn<QString>("toast");
    QTest::addColumn<bool>("revealed");
    QTest::newRow("fourteen from the closer")
        << true << "" << QList<int>() << 0 << 1 << range(1, 14) << "Saved 14 slides to Downloads." << true;
    QTest::newRow("a second export replaces them")
        << true << "" << QList<int>() << 0 << 2 << range(1, 14) << "Saved 14 slides to Downloads." << true;
    QTest::newRow("the fifth write fails: four stay, nothing shown")
        << true << "" << QList<int>() << 5 << 1 << range(1, 4) << "Slideshow save failed: No space left on device"
        << false;
    QTest::newRow("slides without an image are skipped")
        << true << "" << QList<int>{2, 6} << 0 << 1 << (QList<int>{1, 2, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14})
        << "Saved 12 slides to Downloads." << true;
    QTest::newRow("none renders: 0, still plural")
        << true << "" << range(0, 13) << 0 << 1 << QList<int>() << "Saved 0 slides to Downloads." << true;
    QTest::newRow("no Downloads folder") << false << "" << QList<int>() << 0 << 1 << QList<int>()
                                         << "Could not find Downloads folder." << false;
    QTest::newRow("the folder cannot be made") << true << "Permission denied" << QList<int>() << 0 << 1 << QList<int>()
                                               << "Slideshow save failed: Permission denied" << false;
  }
  void slideshow() {
    QFETCH(bool, hasDownloads);
    QFETCH(QString, folderFailure);
    QFETCH(QList<int>, unrenderable);
    QFETCH(int, failingWrite);
    QFETCH(int, exports);
    QFETCH(QList<int>, files);
    QFETCH(QString, toast);
    QFETCH(bool, revealed);
    QTemporaryDir root;
    const QString downloads = root.filePath(QStringLiteral("Downloads"));
    const QString folder = QDir(downloads).filePath(QStringLiteral("murmela-Jo-Ann-Lee-slideshow"));
    for (int pass = 0; pass < exports; ++pass) {
      FakeDesktop desktop;
      desktop.downloads = hasDownloads ? downloads : QString();
      if (!folderFailure.isEmpty()) desktop.folderFailure = folderFailure;
      desktop.unrenderable = QSet<int>(unrenderable.begin(), unrenderable.end());
      desktop.failingWrite = failingWrite;
      auto toasts = heldToasts();
      QSignalSpy changed(toasts.get(), &ToastManager::currentChanged);
      ShareController(reportFor(QStringLiteral("Jo/Ann Lee")), 13, *toasts, desktop.services())
          .perform(ShareDestination::downloadImage, ShareMode::slideshow);
      if (hasDownloads && folderFailure.isEmpty()) {
        // The export reports back from its worker; perform() did not wait for it.
        QVERIFY(!toasts->current());
        QTRY_VERIFY(toasts->current());
        QVERIFY(desktop.writes->offGuiThread);
      }
      QCOMPARE(desktop.writes->guiThreadRenders, 0);  // every slide renders on the worker
      QCOMPARE(toasts->current(), toast);
      QCOMPARE(changed.count(), 1);
      QCOMPARE(desktop.revealed, revealed ? QStringList{folder} : QStringList());
    }
    QCOMPARE(filesIn(folder), numberedFiles(QStringLiteral("Jo/Ann Lee"), files));
  }
};

MURMELA_TEST(ShareControllerTest)
#include "ShareControllerTest.moc"
