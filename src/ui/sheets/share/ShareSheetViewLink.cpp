// The share sheet's links: making one (for the link page or for a social
// destination that carries it), and what the page says once it shows.
#include "sheets/share/ShareSheetView.h"

#include "kit/overlay/ToastManager.h"
#include "sharelinks/ShareLinkError.h"
#include "sharelinks/ShareLinkWorker.h"
#include "sharing/ShareController.h"

namespace murmela {
namespace {

const QString kGenericLinkFailure = QStringLiteral("Couldn't create share link. Try again in a moment.");

// Texts read one after another as sentences: a full stop between two, unless
// the first already ends one.
QString asSentences(const QStringList& texts) {
  QString said;
  for (const QString& text : texts) {
    const bool ended = said.isEmpty() || said.endsWith(u'.') || said.endsWith(u'!') || said.endsWith(u'?');
    said += (said.isEmpty() ? QString() : ended ? QStringLiteral(" ") : QStringLiteral(". ")) + text;
  }
  return said;
}

}  // namespace

QString ShareSheetView::linkFailureText(const std::exception_ptr& error) {
  if (!error) return kGenericLinkFailure;
  try {
    std::rethrow_exception(error);
  } catch (const ShareLinkError& failure) {
    return failure.userFacingMessage();
  } catch (...) {
    return kGenericLinkFailure;
  }
}

void ShareSheetView::selectTile(int index) {
  const QList<ShareDestination> socials = ShareOptionsPage::socials();
  if (index < 0 || index >= socials.size()) return;
  const ShareDestination destination = socials[index];
  if (state_.mode == ShareMode::thisSlide) {
    if (onSelect_) onSelect_(destination, ShareMode::thisSlide);
    return;
  }
  if (state_.isGeneratingLink) return;
  if (ShareDestinations::carriesLink(destination)) {
    generateLinkForSocial(destination);
  } else if (onSelect_) {
    // Stories and TikTok take only the image: no link is made for them.
    onSelect_(destination, ShareMode::slideshow);
  }
}

void ShareSheetView::generateLink() {
  if (state_.isGeneratingLink) return;
  state_.isGeneratingLink = true;
  state_.generationError.reset();
  animate();
  QPointer<ShareSheetView> self(this);
  ShareLinkWorker::createShareLink(this, environment_.makeClient(), context_.report, context_.contactHandle,
                                   [self](WorkerOutcome<ShareLinkGenerationResult> outcome) {
                                     if (!self) return;
                                     self->state_.isGeneratingLink = false;
                                     if (outcome.value) {
                                       self->setPage(*outcome.value, kLinkPageSeconds);
                                       self->linkPageShown();
                                     } else {
                                       self->state_.generationError = linkFailureText(outcome.error);
                                       self->state_.errorScroll = 0.0;
                                       self->reader_->announce(*self->state_.generationError);
                                     }
                                     self->changed();
                                   });
}

void ShareSheetView::generateLinkForSocial(ShareDestination destination) {
  if (state_.isGeneratingLink || !toast_) return;
  state_.isGeneratingLink = true;
  state_.generationError.reset();
  toast_->show(QStringLiteral("Generating link..."), ToastManager::kDefaultDuration);
  animate();
  // The answer goes to the deck's toast manager, which outlives this sheet:
  // the share still happens after the sheet closed, but only this sheet, and
  // only while it is still shown, is updated or dismissed.
  QPointer<ShareSheetView> self(this);
  QPointer<ToastManager> toast(toast_);
  ShareLinkWorker::createShareLink(toast_, environment_.makeClient(), context_.report, context_.contactHandle,
                                   [self, toast, destination, context = context_, services = environment_.services](
                                       WorkerOutcome<ShareLinkGenerationResult> outcome) {
                                     if (!toast) return;
                                     if (self) {
                                       self->state_.isGeneratingLink = false;
                                       self->changed();
                                     }
                                     if (outcome.value) {
                                       ShareController(context.report, context.slideIndex, *toast, services)
                                           .perform(destination, ShareMode::slideshow, outcome.value->link.shareURL);
                                       if (self && self->isVisible() && !self->isClosing()) self->dismiss();
                                       return;
                                     }
                                     const QString message = linkFailureText(outcome.error);
                                     if (self) self->state_.generationError = message;
                                     toast->show(message, ToastManager::kDefaultDuration);
                                   });
}

void ShareSheetView::linkPageShown() {
  const ShareSheetLayout layout = sheetLayout();
  if (!layout.linkPage) return;
  // The control that was pressed has gone with its page: the keyboard (when
  // it was the keyboard that pressed it: a click shows no ring) goes on to
  // the new page's first action, and the page says what it holds.
  keepKeyboardOn({SheetElement::copyLink});
  const GeneratedLinkPage::Layout& page = *layout.linkPage;
  // In their own case (the page draws the status in capitals) and the link
  // whole (the page may shrink or cut it to fit).
  const QStringList said{GeneratedLinkPage::statusLine(state_.generatedLink->fromLocalCache),
                         GeneratedLinkPage::displayForm(state_.generatedLink->link.shareURL),
                         page.expiry.shownText().simplified()};
  reader_->announce(asSentences(said));
}

void ShareSheetView::setPage(std::optional<ShareLinkGenerationResult> link, double seconds) {
  state_.generatedLink = std::move(link);
  state_.shareMenuOpen = false;
  page_ = Transition::startingAt(environment_.clock(), seconds, Easing::easeOut);
  animate();
}

}  // namespace murmela
