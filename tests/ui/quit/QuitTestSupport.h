#pragma once

#include "shell/MurmelaRootApp.h"

#include <QString>

namespace murmela::test {

// Desktop pieces that never open a dialog, with the analysis and the usage
// events sent to `backend`.
MurmelaRootApp::Desktop quietDesktop(const QString& backend);

}  // namespace murmela::test
