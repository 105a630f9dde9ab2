#pragma once

#include <QString>

namespace murmela::PlatformShortcuts {

// The paste shortcut as this desktop writes it ("Ctrl+V").
QString pasteShortcutText();

// A message with the Mac paste key "⌘V" written as `pasteShortcut`.
QString withPasteShortcut(const QString& text, const QString& pasteShortcut = pasteShortcutText());

}  // namespace murmela::PlatformShortcuts
