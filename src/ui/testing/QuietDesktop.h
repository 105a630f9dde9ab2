#pragma once

#include "shell/MurmelaRootApp.h"

#include <QString>

#include <memory>

namespace murmela {

// Desktop pieces for tests and benchmarks that never open a dialog, a file
// manager or the clipboard, with the analysis and the usage events sent to
// `backend`. Without a contacts store, a vCard store that never asks.
MurmelaRootApp::Desktop quietDesktop(const QString& backend, std::shared_ptr<VCardContactStore> contacts = {});

}  // namespace murmela
