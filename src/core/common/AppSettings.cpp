#include "common/AppSettings.h"

#include <QSettings>

namespace murmela {

AppSettings& AppSettings::shared() {
  static AppSettings instance;
  return instance;
}

AppSettings::AppSettings() : settings_(makeDefault()) {}

AppSettings::~AppSettings() = default;

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
  settings_->sync();
}

void AppSettings::remove(const QString& key) {
  std::lock_guard guard(lock_);
  settings_->remove(key);
  settings_->sync();
}

void AppSettings::clearAll() {
  std::lock_guard guard(lock_);
  settings_->clear();
  settings_->sync();
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
