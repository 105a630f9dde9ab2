#include "sharing/PlatformShortcuts.h"

#include <QKeySequence>

namespace murmela::PlatformShortcuts {

QString pasteShortcutText() {
  const QString native = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
  return native.isEmpty() ? QStringLiteral("Ctrl+V") : native.section(QStringLiteral(", "), 0, 0);
}

QString withPasteShortcut(const QString& text, const QString& pasteShortcut) {
  QString result = text;
  return result.replace(QStringLiteral("\u2318V"), pasteShortcut);
}

}  // namespace murmela::PlatformShortcuts
