// The share sheet over a slide in each of its states (both modes, a link
// being made, a failed link, the link page fresh and from the cache, the
// "Share..." menu, long names), and a toast over a slide.
#include "GalleryRegistry.h"
#include "GalleryReports.h"

#include "deck/LongDeckSlide.h"
#include "kit/overlay/ToastOverlay.h"
#include "sharelinks/ShareLinkError.h"
#include "sheets/share/ShareSheetLayout.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

// The gallery's "now": 2025-05-01 12:00 UTC (no daylight-saving change in the next month).
constexpr Date kNow = Date::fromUnix(1746100800);

ShareLinkGenerationResult link(const QString& url, double daysLeft, bool fromCache) {
  ShareLinkGenerationResult result;
  result.link.shareID = QStringLiteral("s1");
  result.link.shareURL = QUrl(url);
  result.link.contentHash = QStringLiteral("hash");
  result.link.expiresAt = kNow.addingSeconds(daysLeft * 86400.0);
  result.fromLocalCache = fromCache;
  return result;
}

SlideShareContext contextFor(const QString& reportName, int index) {
  return SlideShareContext{report(reportName), index, QStringLiteral("+15551234567")};
}

void addSheet(GalleryPage& page, const QString& name, const QString& caption, const SlideShareContext& context,
              const ShareSheetState& state, const SheetInteraction& interaction = {}) {
  page.add(name, SlideFrame::kSize,
           [context, state, interaction](QPainter& painter) {
             LongDeckSlide{context.report, context.slideIndex, true, context.contactHandle}.paint(painter);
             const ShareSheetLayout layout = layoutShareSheet(context, state, SlideFrame::kSize, kNow);
             paintShareSheet(painter, layout, state, interaction, 1.0, 1.0, 0.3);
           },
           caption, {3.0, 1.0});
}

void buildSharePage(GalleryPage& page) {
  const SlideShareContext rich = contextFor(QStringLiteral("rich"), 3);
  ShareSheetState slideshow;
  addSheet(page, QStringLiteral("sheet-slideshow"), QStringLiteral("opened: slideshow mode, rich report"), rich,
           slideshow);

  ShareSheetState thisSlide;
  thisSlide.mode = ShareMode::thisSlide;
  addSheet(page, QStringLiteral("sheet-this-slide"), QStringLiteral("This Slide for slide 4: \"The 9pm spike\""), rich,
           thisSlide);
  addSheet(page, QStringLiteral("sheet-this-slide-pressed"),
           QStringLiteral("This Slide, Messages tile pressed, right chevron hovered"), rich, thisSlide,
           SheetInteraction{.hovered = SheetTarget{SheetElement::chevronRight},
                            .pressed = SheetTarget{SheetElement::tile, 1}});
  addSheet(page, QStringLiteral("sheet-this-slide-focus"), QStringLiteral("This Slide, keyboard focus on Copy image"),
           rich, thisSlide, SheetInteraction{.focused = SheetTarget{SheetElement::copy}});
  addSheet(page, QStringLiteral("sheet-this-slide-outside"),
           QStringLiteral("This Slide for an index outside the deck: \"This slide\""),
           contextFor(QStringLiteral("rich"), 14), thisSlide);

  ShareSheetState generating;
  generating.isGeneratingLink = true;
  addSheet(page, QStringLiteral("sheet-generating"), QStringLiteral("a link being made"), rich, generating);

  ShareSheetState failed;
  failed.generationError = ShareLinkError::rateLimited(20).userFacingMessage();
  addSheet(page, QStringLiteral("sheet-error"), QStringLiteral("the daily limit reached, shown under the row"), rich,
           failed);
  ShareSheetState longError;
  longError.generationError =
      ShareLinkError::httpFailed(400, QString(QStringLiteral("a very long backend answer ")).repeated(40))
          .userFacingMessage();
  addSheet(page, QStringLiteral("sheet-error-long"), QStringLiteral("a long error wraps over every line it needs"), rich,
           longError);
  ShareSheetState proxyPage;
  proxyPage.generationError =
      ShareLinkError::httpFailed(
          403, QStringLiteral("<html>") +
                   QString(QStringLiteral("the proxy could not reach the upstream server ")).repeated(80) +
                   QStringLiteral("</html>"))
          .userFacingMessage();
  addSheet(page, QStringLiteral("sheet-error-page"),
           QStringLiteral("a proxy's whole error page: the card stays in the window, the error scrolls in its box"),
           rich, proxyPage);

  ShareSheetState fresh;
  fresh.generatedLink = link(QStringLiteral("https://murmela.app/s/k3v9qz/"), 30, false);
  addSheet(page, QStringLiteral("sheet-link-fresh"), QStringLiteral("link page: a new link, 30 days"), rich, fresh);
  ShareSheetState cached;
  cached.generatedLink = link(QStringLiteral("https://share.murmela.app/s/0f8c1e2d9a7b4c3e5f60718293a4b5c6d7e8f9/"),
                              29.0 + 23.0 / 24.0, true);
  addSheet(page, QStringLiteral("sheet-link-cached"),
           QStringLiteral("link page: reused from the cache, a long link shrunk then cut, 29 days 23 hours"), rich,
           cached);
  ShareSheetState menu = fresh;
  menu.shareMenuOpen = true;
  addSheet(page, QStringLiteral("sheet-link-share-menu"), QStringLiteral("\"Share...\": the desktop's own menu"), rich,
           menu, SheetInteraction{.hovered = SheetTarget{SheetElement::menuOpenInBrowser}});

  for (const QString& name : {QStringLiteral("long-name"), QStringLiteral("emoji-name"), QStringLiteral("rtl-name")}) {
    addSheet(page, QStringLiteral("sheet-slideshow-") + name, QStringLiteral("slideshow mode, ") + name,
             contextFor(name, 0), slideshow);
    addSheet(page, QStringLiteral("sheet-link-") + name, QStringLiteral("link page, ") + name, contextFor(name, 0),
             fresh);
  }

  const auto addToast = [&page](const QString& name, const QString& text) {
    page.add(name, SlideFrame::kSize,
             [text](QPainter& painter) {
               LongDeckSlide{report(QStringLiteral("rich")), 6, true, std::nullopt}.paint(painter);
               ToastOverlay::paint(painter, ToastOverlay::layout(text, QRectF(QPointF(), SlideFrame::kSize)), 1.0);
             },
             QStringLiteral("toast: ") + text, {3.0, 1.0});
  };
  addToast(QStringLiteral("toast-copied"), QStringLiteral("Slide copied to clipboard."));
  addToast(QStringLiteral("toast-long"),
           QStringLiteral("Save failed: The file \"/home/sam/Downloads/murmela-Maximiliana Alexandrina "
                          "Montgomery-Smyth-slide-07.png\" could not be written: Permission denied."));
}

}  // namespace

MURMELA_GALLERY_AREA(share, "Share sheet and toasts", 80, buildSharePage);

}  // namespace murmela::gallery
