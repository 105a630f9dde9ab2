#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <mutex>

class QSettings;

namespace murmela {

// The user defaults of the application: one QSettings shared by the process,
// safe to use from any thread. Tests point it at a file of their own.
class AppSettings {
 public:
  static AppSettings& shared();

  QVariant value(const QString& key, const QVariant& fallback = {}) const;
  bool contains(const QString& key) const;
  void setValue(const QString& key, const QVariant& value);
  void remove(const QString& key);
  // Removes every key of the application's domain and writes the change out.
  void clearAll();

  // Replaces the backing store by an INI file at `path` (tests), or returns to
  // the platform's default store when `path` is empty.
  void useFile(const QString& path);

  ~AppSettings();

 private:
  AppSettings();
  std::unique_ptr<QSettings> makeDefault() const;
  static std::unique_ptr<QSettings> detached(std::unique_ptr<QSettings> settings);
  // Writes the changes to the store now (under the lock).
  void writeOut();

  mutable std::mutex lock_;
  std::unique_ptr<QSettings> settings_;
  bool writeFailureLogged_ = false;  // a failed write is logged once per launch
};

}  // namespace murmela
