#pragma once

#include "kit/overlay/ToastManager.h"
#include "sharing/ShareServices.h"

#include <QDir>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace murmela::test {

// A toast manager whose delays never run out on their own.
inline std::unique_ptr<ToastManager> heldToasts() {
  return std::make_unique<ToastManager>([](int, std::function<void()>) {});
}

// The desktop as a share action sees it, recording what was asked of it.
// Writes really happen (into a test folder) unless a write is set to fail.
struct FakeDesktop {
  QList<QUrl> opened;  // everything handed to the desktop, taken or not
  bool opensUrls = true;
  int imagesCopied = 0;
  QStringList copiedTexts;
  bool messagesHandler = true;
  QSet<int> unrenderable;  // slide indices that yield no image
  std::optional<QString> chosenPath;
  QStringList dialogs;  // "title|suggested name"
  QString downloads;
  std::optional<QString> folderFailure;
  int failingWrite = 0;  // the n-th write fails (1-based), 0: none
  QStringList revealed;

  // Shared with the export's worker thread.
  struct Writes {
    QMutex lock;
    QStringList paths;
    bool offGuiThread = true;
    int guiThreadRenders = 0;
  };
  std::shared_ptr<Writes> writes = std::make_shared<Writes>();

  ShareServices services() {
    ShareServices services = ShareServices::system();
    const QSet<int> noImage = unrenderable;
    QThread* gui = QThread::currentThread();
    auto log = writes;
    services.renderSlide = [noImage, log, gui](const WrappedReport&, int index) -> std::optional<QImage> {
      if (QThread::currentThread() == gui) {
        QMutexLocker locked(&log->lock);
        ++log->guiThreadRenders;
      }
      if (noImage.contains(index)) return std::nullopt;
      QImage image(6, 12, QImage::Format_ARGB32_Premultiplied);
      image.fill(QColor::fromHsv(index * 20, 200, 200));
      return image;
    };
    services.copyImage = [this](const QImage&, const QByteArray&) {
      ++imagesCopied;
      return true;
    };
    services.copyText = [this](const QString& text) { copiedTexts.append(text); };
    services.openUrl = [this](const QUrl& url) {
      opened.append(url);
      return opensUrls;
    };
    services.canOpenMessagesLinks = [this] { return messagesHandler; };
    services.chooseSavePath = [this](const QString& title, const QString& suggested) {
      dialogs.append(title + QLatin1Char('|') + suggested);
      return chosenPath;
    };
    services.downloadsFolder = [this] { return downloads; };
    const std::optional<QString> folderFails = folderFailure;
    const auto makeFolder = services.createFolder;
    services.createFolder = [folderFails, makeFolder](const QString& path) {
      return folderFails ? folderFails : makeFolder(path);
    };
    const int failAt = failingWrite;
    const auto write = services.writeFile;
    services.writeFile = [log, failAt, gui, write](const QString& path,
                                                   const QByteArray& bytes) -> std::optional<QString> {
      QMutexLocker locked(&log->lock);
      if (QThread::currentThread() == gui) log->offGuiThread = false;
      log->paths.append(path);
      if (failAt == log->paths.size()) return QStringLiteral("No space left on device");
      return write(path, bytes);
    };
    services.showFolder = [this](const QString& path) { revealed.append(path); };
    services.pasteShortcut = QStringLiteral("Ctrl+V");
    return services;
  }
};

inline QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

}  // namespace murmela::test
