#pragma once

#include <QString>

namespace murmela {

// Expands a leading tilde the way a shell does: "~" and "~/..." become the
// user's home folder, "~name/..." the home folder of the user "name" (left
// unchanged when there is no such user). Any other path is returned as given.
QString expandingTildeInPath(const QString& path);

}  // namespace murmela
