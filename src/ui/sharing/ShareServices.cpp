#include "sharing/ShareServices.h"

#include "common/FileError.h"
#include "common/FileSystem.h"
#include "common/WorkerTask.h"
#include "sharing/FolderRevealer.h"
#include "sharing/PlatformShortcuts.h"
#include "sharing/SchemeHandlerProbe.h"
#include "sharing/SlideImageRenderer.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardPaths>

namespace murmela {
namespace {

bool putImageOnClipboard(const QImage& image, const QByteArray& png) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  auto* data = new QMimeData;
  data->setImageData(image);
  data->setData(QStringLiteral("image/png"), png);
  clipboard->setMimeData(data);
  return true;
}

void putTextOnClipboard(const QString& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

std::optional<QString> askForSavePath(const QString& title, const QString& suggestedName) {
  QFileDialog dialog(QApplication::activeWindow(), title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("PNG image (*.png)"));
  dialog.setDefaultSuffix(QStringLiteral("png"));
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  dialog.selectFile(folder.isEmpty() ? suggestedName : QDir(folder).filePath(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = dialog.selectedFiles().constFirst();
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> writeWhole(const QString& path, const QByteArray& bytes) {
  try {
    writeFileAtomically(path, bytes);
    return std::nullopt;
  } catch (const FileError& error) {
    return error.description();
  }
}

std::optional<QString> makeFolder(const QString& path) {
  if (const std::error_code error = FileSystem::createFolders(path)) return FileSystem::describe(error);
  return std::nullopt;
}

bool openWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

QThreadPool& exportThreads() {
  static QThreadPool& pool = makeLastingPool(1);
  return pool;
}

}  // namespace

ShareServices ShareServices::system() {
  ShareServices services;
  services.renderSlide = &SlideImageRenderer::render;
  services.copyImage = &putImageOnClipboard;
  services.copyText = &putTextOnClipboard;
  services.openUrl = &openWithDesktop;
  services.canOpenMessagesLinks = &SchemeHandlerProbe::canOpenMessagesLinks;
  services.chooseSavePath = &askForSavePath;
  services.downloadsFolder = [] { return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation); };
  services.createFolder = &makeFolder;
  services.writeFile = &writeWhole;
  services.showFolder = [](const QString& path) { FolderRevealer::showFolder(path, &openWithDesktop); };
  services.pasteShortcut = PlatformShortcuts::pasteShortcutText();
  services.exportPool = &exportThreads();
  return services;
}

}  // namespace murmela
