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

// Around the application: a fresh home, the sample conversation as a
// Messages database, an address book naming the partner, the development
// backend in-process, and a desktop that keeps what it was asked to show.
class WalkWorld {
 public:
  static inline const QString kPartnerName = QStringLiteral("Sam");

  explicit WalkWorld(qsizetype messageCount);

  TestEnvironment environment;
  SampleChat sample;
  QString database;
  devbackend::DevBackend backend;
  ScriptedHttpServer server;

  // Ends with the world: an export thread outliving the application keeps
  // the font engines it drew with.
  QThreadPool exportPool;

  QStringList foldersShown;
  QList<QUrl> urlsOpened;

  QStringList launchArguments() const;
  MurmelaRootApp::Desktop desktop();
  // Throws unless it lies inside the test's home (it is emptied).
  static QString downloads();
  static QString shotFolder(const QString& walk);
};

}  // namespace murmela::test
