#include "common/AppSettings.h"

#include "common/AnalysisLogger.h"
#include "common/FileDescriptor.h"
#include "common/FileSystem.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <unistd.h>

namespace murmela {

AppSettings& AppSettings::shared() {
  static AppSettings instance;
  return instance;
}

AppSettings::AppSettings() : settings_(makeDefault()) {}

AppSettings::~AppSettings() = default;

void AppSettings::writeOut() {
  // The settings hold the install identifier and the user's choices: a new
  // file is made for the user alone (an existing one keeps its mode), in a
  // folder of the user's own.
  const QString path = settings_->fileName();
  if (!path.isEmpty() && !FileSystem::itemExists(path)) {
    FileSystem::createPrivateFolders(QFileInfo(path).absolutePath());
    FileDescriptor(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  }
  settings_->sync();
  if (settings_->status() == QSettings::AccessError && !writeFailureLogged_) {
    writeFailureLogged_ = true;
    AnalysisLogger::log(QStringLiteral("Settings could not be written to ") + path +
                        QStringLiteral("; changes last only until the application quits"));
  }
  // The request to write out later that the change posted: never delivered
  // (see detached), and nothing is left to write.
  QCoreApplication::removePostedEvents(settings_.get(), QEvent::UpdateRequest);
}

std::unique_ptr<QSettings> AppSettings::detached(std::unique_ptr<QSettings> settings) {
  // A change posts QSettings a request to write itself out on its thread's
  // event loop: outside this lock, racing a write on another thread, and on
  // the GUI thread a wait on the disk. Without a thread it never comes; every
  // change is written out at once instead.
  settings->moveToThread(nullptr);
  return settings;
}

std::unique_ptr<QSettings> AppSettings::makeDefault() const {
  return detached(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                              QStringLiteral("murmela"), QStringLiteral("murmela")));
}

QVariant AppSettings::value(const QString& key, const QVariant& fallback) const {
  std::lock_guard guard(lock_);
  return settings_->value(key, fallback);
}

bool AppSettings::contains(const QString& key) const {
  std::lock_guard guard(lock_);
  return settings_->contains(key);
}

void AppSettings::setValue(const QString& key, const QVariant& value) {
  std::lock_guard guard(lock_);
  settings_->setValue(key, value);
  writeOut();
}

void AppSettings::remove(const QString& key) {
  std::lock_guard guard(lock_);
  settings_->remove(key);
  writeOut();
}

void AppSettings::clearAll() {
  std::lock_guard guard(lock_);
  settings_->clear();
  writeOut();
}

void AppSettings::useFile(const QString& path) {
  std::lock_guard guard(lock_);
  settings_->sync();
  if (path.isEmpty()) {
    settings_ = makeDefault();
  } else {
    settings_ = detached(std::make_unique<QSettings>(path, QSettings::IniFormat));
  }
}

}  // namespace murmela
