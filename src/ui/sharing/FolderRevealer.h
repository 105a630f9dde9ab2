#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace murmela::FolderRevealer {

// Opens a folder in the desktop's file manager: through the file manager's
// D-Bus interface (org.freedesktop.FileManager1.ShowFolders) where the
// session has one, else, or when that call fails, by opening the folder's
// URL with the desktop's default application (`openUrl`).
void showFolder(const QString& path, std::function<bool(const QUrl&)> openUrl);

}  // namespace murmela::FolderRevealer
