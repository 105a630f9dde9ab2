#include "common/AppSettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace murmela {

AppSettings& AppSettings::shared() {
  static AppSettings instance;
  return instance;
}

AppSettings::AppSettings() : settings_(makeDefault()) {}

AppSettings::~AppSettings() = default;

void AppSettings::writeOut() {
  settings_->sync();
  // A change also posts QSettings a request to write itself out later, to be
  // handled on the thread it belongs to, outside this lock; everything is
  // written already, so the request goes.
  QCoreApplication::removePostedEvents(settings_.get(), QEvent::UpdateRequest);
}

std::unique_ptr<QSettings> AppSettings::makeDefault() const {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("murmela"),
                                     QStringLiteral("murmela"));
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
    settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
  }
}

}  // namespace murmela
