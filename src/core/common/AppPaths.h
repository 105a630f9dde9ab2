#pragma once

#include <QString>

#include <optional>

namespace murmela::AppPaths {

// The application's own folder: "murmela-app" under the user's generic data
// location ($XDG_DATA_HOME on Linux). Absent when the platform reports none.
std::optional<QString> appFolder();
// A folder (or file) inside the application folder; absent with it.
std::optional<QString> inAppFolder(const QString& relativePath);

// Tests point the application folder somewhere else (an empty optional means
// "no data location"); reset() returns to the platform's location.
void overrideAppFolder(std::optional<QString> folder);
void reset();

}  // namespace murmela::AppPaths
