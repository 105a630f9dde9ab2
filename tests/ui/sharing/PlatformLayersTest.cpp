#include "sharing/PlatformShortcuts.h"
#include "sharing/SchemeHandlerProbe.h"
#include "support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;

class PlatformLayersTest : public QObject {
  Q_OBJECT

  QTemporaryDir scripts_;

  QString script(const QString& name, const QByteArray& body) {
    const QString path = scripts_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
  }

 private Q_SLOTS:
  // The desktop's answer to "which application opens sms: links?".
  void messagesHandler_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("handled");
    // Answers only the query for the scheme's default handler.
    QTest::newRow("a registered application")
        << script("named", R"([ "$*" = "query default x-scheme-handler/sms" ] && echo org.gnome.Chatty.desktop)")
        << true;
    QTest::newRow("no application: an empty answer") << script("empty", "exit 0") << false;
    QTest::newRow("the tool fails") << script("fails", "echo broken; exit 3") << false;
    QTest::newRow("the tool is missing") << scripts_.filePath("missing") << false;
    QTest::newRow("the tool hangs: given up at the limit") << script("hangs", "exec sleep 30") << false;
  }
  void messagesHandler() {
    QFETCH(QString, program);
    QFETCH(bool, handled);
    QCOMPARE(SchemeHandlerProbe::hasHandler(QStringLiteral("sms"), 300, program), handled);
  }

  void pasteKeyInMessages_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the Mac key becomes Ctrl+V")
        << QString::fromUtf8("Paste into your post (⌘V).") << "Paste into your post (Ctrl+V).";
    QTest::newRow("other text unchanged") << "Slide copied to clipboard."
                                          << "Slide copied to clipboard.";
  }
  void pasteKeyInMessages() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(PlatformShortcuts::withPasteShortcut(text), shown);
  }
};

MURMELA_TEST(PlatformLayersTest)
#include "PlatformLayersTest.moc"
