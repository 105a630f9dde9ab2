#pragma once

#include "data/WrappedReport.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QThreadPool;

namespace murmela {

// Everything a share action asks of the desktop, each a replaceable hook:
// system() gives the real ones, tests swap any of them.
struct ShareServices {
  // The slide at an index as its exported picture (also called on the
  // slideshow's worker thread).
  std::function<std::optional<QImage>(const WrappedReport&, int index)> renderSlide;
  // Puts the image and its PNG bytes ("image/png") on the clipboard.
  std::function<bool(const QImage&, const QByteArray& png)> copyImage;
  // Puts plain text on the clipboard.
  std::function<void(const QString&)> copyText;
  // Hands a URL to the desktop; false when nothing took it.
  std::function<bool(const QUrl&)> openUrl;
  // Whether an application takes "sms:" links.
  std::function<bool()> canOpenMessagesLinks;
  // The save dialog: a title and the suggested file name; the chosen path, or none when cancelled.
  std::function<std::optional<QString>(const QString& title, const QString& suggestedName)> chooseSavePath;
  // The user's Downloads folder; empty when there is none.
  std::function<QString()> downloadsFolder;
  // Creates a folder and its parents; the reason on failure.
  std::function<std::optional<QString>(const QString& path)> createFolder;
  // Writes a whole file atomically (a complete file or none); the reason on
  // failure. Called on the slideshow's worker thread too.
  std::function<std::optional<QString>(const QString& path, const QByteArray& bytes)> writeFile;
  // Opens a folder in the file manager.
  std::function<void(const QString& path)> showFolder;
  // The paste shortcut written into messages ("Ctrl+V").
  QString pasteShortcut;
  // Where the slideshow renders and writes; never the GUI thread.
  QThreadPool* exportPool = nullptr;

  static ShareServices system();
};

}  // namespace murmela
