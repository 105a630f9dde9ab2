#pragma once

#include <QString>

namespace murmela {

// The identifier of this install, sent with every backend registration:
// "macos-" followed by an upper-case UUID (42 characters; the prefix is the
// backend's platform tag and stays as it is on every system). Kept in the
// user defaults under "installID" until the defaults are removed.
class AppInstallIdentity {
 public:
  AppInstallIdentity() = delete;

  static inline const QString kSettingsKey = QStringLiteral("installID");
  static inline const QString kPrefix = QStringLiteral("macos-");

  // The stored identifier; a missing or empty one is replaced by a new one,
  // which is stored first. Safe from any thread; never fails.
  static QString current();
};

}  // namespace murmela
