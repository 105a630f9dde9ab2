#pragma once

#include <QString>

#include <optional>

namespace murmela::AppPaths {

// The application's own folder: "murmela-app" under the user's generic data
// location ($XDG_DATA_HOME on Linux). Absent when the platform reports none.
std::optional<QString> appFolder();
// A folder (or file) inside the application folder; absent with it.
std::optional<QString> inAppFolder(const QString& relativePath);
// The application's folder for files it can make again (private copies of a
// database): "murmela-app" under $XDG_CACHE_HOME, or ~/.cache when that is
// not an absolute path. Absent when there is no home folder either (never "/").
std::optional<QString> cacheFolder();

// Tests point the application folder somewhere else (an empty optional means
// "no data location"); reset() returns to the platform's location.
void overrideAppFolder(std::optional<QString> folder);
void reset();

}  // namespace murmela::AppPaths
