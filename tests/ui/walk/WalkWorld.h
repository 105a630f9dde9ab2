#pragma once

#include "DevBackend.h"
#include "shell/MurmelaRootApp.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <QUrl>

namespace murmela::test {

// What a walk needs around the application: a fresh application folder and
// user defaults, the sample conversation as a Messages database, an address
// book that names its partner, the development backend served in-process on
// a free port, and desktop pieces that never open a dialog, a file manager
// or a browser (what they were asked to show is kept).
class WalkWorld {
 public:
  static inline const QString kPartnerName = QStringLiteral("Sam");

  explicit WalkWorld(qsizetype messageCount);

  TestEnvironment environment;
  SampleChat sample;
  QString database;
  devbackend::DevBackend backend;
  ScriptedHttpServer server;

  // The slideshow export's threads, which end with the world: a thread that
  // outlives the application keeps the font engines it drew with.
  QThreadPool exportPool;

  QStringList foldersShown;
  QList<QUrl> urlsOpened;

  // "-messagesDB <database>" and "-shareAPIBaseURL <backend>".
  QStringList launchArguments() const;
  MurmelaRootApp::Desktop desktop();
  // The user's Downloads folder, which must lie inside the test's home.
  static QString downloads();
  // The folder of a walk's pictures in the build tree.
  static QString shotFolder(const QString& walk);
};

}  // namespace murmela::test
