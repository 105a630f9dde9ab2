#include "sharing/ShareController.h"

#include "kit/overlay/ToastManager.h"
#include "sharing/HandoffUrls.h"
#include "sharing/PlatformShortcuts.h"
#include "sharing/ShareFileNames.h"
#include "sharing/ShareLeadGenerator.h"
#include "sharing/SlideImageRenderer.h"
#include "sharing/SlideshowExport.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <limits>

namespace murmela {
namespace {

const QString kRenderFailed = QStringLiteral("Could not render slide image.");

int clampedIndex(qint64 index) {
  return static_cast<int>(std::clamp<qint64>(index, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

ShareController::ShareController(WrappedReport report, qint64 slideIndex, ToastManager& toast, ShareServices services)
    : report_(std::move(report)), slideIndex_(slideIndex), toast_(&toast), services_(std::move(services)) {}

void ShareController::show(const QString& message) const { toast_->show(message, ToastManager::kDefaultDuration); }

QString ShareController::socialToast(ShareDestination destination, bool copied) const {
  if (!copied) return kRenderFailed;
  QString text;
  switch (destination) {
    case ShareDestination::instagram:
      text = QStringLiteral("Image copied. Open Instagram and paste into your story.");
      break;
    case ShareDestination::iMessage:
      // Without an application for "sms:" links nothing is opened: the image
      // waits on the clipboard for whichever messaging app the user opens.
      text = services_.canOpenMessagesLinks && services_.canOpenMessagesLinks()
                 ? QStringLiteral("Image copied. Paste into the message (\u2318V).")
                 : QStringLiteral("Image copied. Paste into your messaging app (\u2318V).");
      break;
    case ShareDestination::twitter:
      text = QStringLiteral("Image copied. Paste into your post (\u2318V).");
      break;
    case ShareDestination::tiktok:
      text = QStringLiteral("Image copied. Open TikTok and paste into your post.");
      break;
    case ShareDestination::copyImage:
      text = QStringLiteral("Slide copied to clipboard.");
      break;
    case ShareDestination::downloadImage:
      break;
  }
  return PlatformShortcuts::withPasteShortcut(text, services_.pasteShortcut);
}

void ShareController::perform(ShareDestination destination, ShareMode mode, const std::optional<QUrl>& shareLink) {
  const int index = clampedIndex(slideIndex_);
  QString text = ShareLeadGenerator::composedShareText(index, report_, mode);
  if (shareLink && ShareDestinations::carriesLink(destination))
    text += QLatin1Char(' ') + shareLink->toString(QUrl::FullyEncoded);
  // The slide's picture, for the destinations that take one (the slideshow
  // renders every slide on its worker).
  const auto image = [this, index] { return services_.renderSlide(report_, index); };

  switch (destination) {
    case ShareDestination::instagram:
    case ShareDestination::tiktok:
    case ShareDestination::copyImage:
      show(socialToast(destination, copyImage(image())));
      return;
    case ShareDestination::iMessage: {
      const bool copied = copyImage(image());
      openMessages(text);
      show(socialToast(destination, copied));
      return;
    }
    case ShareDestination::twitter: {
      const bool copied = copyImage(image());
      openSocialPost(text);
      show(socialToast(destination, copied));
      return;
    }
    case ShareDestination::downloadImage:
      if (mode == ShareMode::thisSlide) {
        saveImage(image());
      } else {
        saveSlideshow();
      }
      return;
  }
}

bool ShareController::copyImage(const std::optional<QImage>& image) const {
  if (!image) return false;
  const std::optional<QByteArray> png = SlideImageRenderer::pngData(*image);
  if (!png) return false;
  return services_.copyImage(*image, *png);
}

void ShareController::openMessages(const QString& text) const {
  if (!services_.canOpenMessagesLinks || !services_.canOpenMessagesLinks()) return;
  if (const std::optional<QUrl> url = HandoffUrls::messagesUrl(text)) services_.openUrl(*url);
}

void ShareController::openSocialPost(const QString& text) const {
  if (const std::optional<QUrl> url = HandoffUrls::socialPostUrl(text)) services_.openUrl(*url);
}

void ShareController::saveImage(const std::optional<QImage>& image) const {
  const std::optional<QByteArray> png = image ? SlideImageRenderer::pngData(*image) : std::nullopt;
  if (!png) {
    show(kRenderFailed);
    return;
  }
  const QString suggested =
      ShareFileNames::singleSlideFileName(report_.participantNames.them, clampedIndex(slideIndex_));
  const std::optional<QString> chosen = services_.chooseSavePath(QStringLiteral("Save Slide as PNG"), suggested);
  if (!chosen || chosen->isEmpty()) return;
  const QString path = ShareFileNames::withPngSuffix(*chosen);
  if (const std::optional<QString> failure = services_.writeFile(path, *png)) {
    show(QStringLiteral("Save failed: ") + *failure);
    return;
  }
  show(QStringLiteral("Saved to ") + QFileInfo(path).fileName() + QLatin1Char('.'));
}

void ShareController::saveSlideshow() const {
  const QString downloads = services_.downloadsFolder ? services_.downloadsFolder() : QString();
  if (downloads.isEmpty()) {
    show(QStringLiteral("Could not find Downloads folder."));
    return;
  }
  const QString folder = QDir(downloads).filePath(ShareFileNames::slideshowFolderName(report_.participantNames.them));
  if (const std::optional<QString> failure = services_.createFolder(folder)) {
    show(QStringLiteral("Slideshow save failed: ") + *failure);
    return;
  }
  QPointer<ToastManager> toast(toast_);
  const std::function<void(const QString&)> showFolder = services_.showFolder;
  SlideshowExport::start(
      report_, folder, services_, toast_, [toast, folder, showFolder](SlideshowExport::Result result) {
        if (!toast) return;
        if (result.failure) {
          toast->show(QStringLiteral("Slideshow save failed: ") + *result.failure, ToastManager::kDefaultDuration);
          return;
        }
        toast->show(QStringLiteral("Saved ") + QString::number(result.saved) + QStringLiteral(" slides to Downloads."),
                    ToastManager::kDefaultDuration);
        if (showFolder) showFolder(folder);
      });
}

}  // namespace murmela
