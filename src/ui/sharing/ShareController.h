#pragma once

#include "data/WrappedReport.h"
#include "sharing/ShareDestination.h"
#include "sharing/ShareServices.h"

#include <QImage>
#include <QString>
#include <QUrl>

#include <optional>

namespace murmela {

class ToastManager;

// Carries out one share action picked in the share sheet and tells its
// outcome in a toast; never fails to its caller. A short-lived value: the
// deck makes one per choice, the sheet one after it made a link.
class ShareController {
 public:
  ShareController(WrappedReport report, qint64 slideIndex, ToastManager& toast,
                  ShareServices services = ShareServices::system());

  // Composes the share text (with the link for Messages and the social
  // network), renders the slide, then copies, hands off or saves it. Saving
  // one slide returns once the save dialog is closed; the slideshow export
  // renders nothing here, returns at once and reports when its worker is done.
  void perform(ShareDestination destination, ShareMode mode, const std::optional<QUrl>& shareLink = std::nullopt);

  // The toast texts, with the desktop's paste shortcut in place of the Mac's.
  QString socialToast(ShareDestination destination, bool copied) const;

  const WrappedReport& report() const { return report_; }
  qint64 slideIndex() const { return slideIndex_; }

 private:
  bool copyImage(const std::optional<QImage>& image) const;
  void openMessages(const QString& text) const;
  void openSocialPost(const QString& text) const;
  void saveImage(const std::optional<QImage>& image) const;
  void saveSlideshow() const;
  void show(const QString& message) const;

  WrappedReport report_;
  qint64 slideIndex_;
  ToastManager* toast_;
  ShareServices services_;
};

}  // namespace murmela
