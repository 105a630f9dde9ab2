#pragma once

#include "data/ResourceBundle.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace murmela::MurmelaResources {

// The folder name of the application's resources (fonts, demo reports, and
// the files that child processes read).
QString bundleFolderName();

// Where the search looks. The process's own values come from
// processLocations(); tests hand in their own.
struct SearchLocations {
  QString executableFolder;  // the folder of the running program
  QString buildLocation;     // the bundle in the source tree, fixed when the program was built
};
SearchLocations processLocations();

// Where an installed or built application keeps its bundle, in search order:
// the installed data folder ("<executable folder>/../share/murmela/<bundle>"),
// then the executable's own folder ("<executable folder>/<bundle>").
QStringList candidates(const SearchLocations& locations);
// The first candidate that is a folder; otherwise the build location; absent
// when none is a folder.
std::optional<QString> locate(const SearchLocations& locations);
// What the process dies with when nothing is found.
QString missingBundleMessage(const SearchLocations& locations);

// The application's resource bundle, located once per process (thread-safe).
// Stops the process with missingBundleMessage() when there is none.
const ResourceBundle& bundle();

}  // namespace murmela::MurmelaResources
