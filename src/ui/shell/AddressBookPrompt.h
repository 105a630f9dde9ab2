#pragma once

#include "data/VCardContactStore.h"

class QWidget;

namespace murmela {

// The question the vCard contacts store asks when the user has not chosen an
// address book yet: a small dialog offering the desktop's standard vCard
// folder first (when it exists), then a vCard file or a folder of them, or
// not to share contacts at all. Runs on the GUI thread, over `parent`.
VCardContactStore::Prompt addressBookPrompt(QWidget* parent);

}  // namespace murmela
