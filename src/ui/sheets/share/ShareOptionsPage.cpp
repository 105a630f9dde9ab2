#include "sheets/share/ShareOptionsPage.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/SheetLook.h"
#include "sheets/share/SlideCatalog.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

constexpr qreal kHeaderSpacing = 6.0;
constexpr qreal kHeaderBottom = 14.0;
constexpr qreal kSocialBottom = 6.0;
constexpr qreal kNoteInset = 22.0;
constexpr qreal kNoteBottom = 10.0;
constexpr qreal kFooterTop = 14.0;
constexpr qreal kToggleInset = 3.0;
constexpr int kSubtitleLines = 2;

TextStyle noteStyle(ShareMode mode) {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 8,
                   .weight = QFont::Medium,
                   .tracking = 1.2,
                   .color = mode == ShareMode::thisSlide ? MurmelaTheme::inkSoft : QColor(Qt::transparent),
                   .alignment = TextAlign::center};
}

}  // namespace

QList<ShareDestination> ShareOptionsPage::socials() {
  return {ShareDestination::instagram, ShareDestination::iMessage, ShareDestination::twitter, ShareDestination::tiktok};
}

QString ShareOptionsPage::headerSubtitle(const SlideShareContext& context, ShareMode mode) {
  if (mode == ShareMode::slideshow) return QStringLiteral("You and ") + context.report.participantNames.them;
  const QStringList titles = SlideCatalog::titles();
  if (context.slideIndex >= 0 && context.slideIndex < titles.size()) return titles[context.slideIndex];
  return QStringLiteral("This slide");
}

QString ShareOptionsPage::clipboardNote(ShareMode mode) {
  return mode == ShareMode::thisSlide ? QStringLiteral("Image will be copied to clipboard for social")
                                      : QStringLiteral(" ");
}

QString ShareOptionsPage::modeLabel(ShareMode mode) {
  return mode == ShareMode::thisSlide ? QStringLiteral("This Slide") : QStringLiteral("Slideshow");
}

ButtonStyle ShareOptionsPage::modeButton(ShareMode mode, bool selected) {
  const QColor text = selected ? MurmelaTheme::ink : MurmelaTheme::inkSoft;
  ButtonStyle style;
  style.label.text = modeLabel(mode);
  style.label.style = TextStyle{.typeface = Typeface::inter, .size = 11, .weight = QFont::DemiBold, .color = text};
  style.content = text;
  style.fill = selected ? MurmelaTheme::creamDeep : QColor(Qt::transparent);
  style.cornerRadius = -1.0;
  style.padding = Insets::symmetric(10.0, 7.0);
  style.pressedOpacity = SheetLook::kPressedOpacity;
  return style;
}

GenerateLinkRow ShareOptionsPage::generateLinkRow(const ShareSheetState& state) {
  return GenerateLinkRow{state.isGeneratingLink, state.generationError, state.errorHeightLimit, state.errorScroll};
}

ActionRow ShareOptionsPage::downloadRow(ShareMode mode) {
  return ActionRow{ShareDestination::downloadImage, mode, 14, MurmelaTheme::rose};
}

ActionRow ShareOptionsPage::copyRow(ShareMode mode) {
  return ActionRow{ShareDestination::copyImage, mode, 14, MurmelaTheme::sageDeep};
}

ShareOptionsPage::Layout ShareOptionsPage::layout(const SlideShareContext& context, const ShareSheetState& state,
                                                  QPointF topLeft, qreal width) {
  Layout result;
  const qreal left = topLeft.x();
  const qreal centreX = left + width / 2.0;
  const qreal innerLeft = left + SheetLook::kSideInset;
  const qreal innerWidth = width - 2 * SheetLook::kSideInset;
  result.grabber = SheetLook::grabberRect(centreX, topLeft.y());
  qreal y = result.grabber.bottom() + SheetLook::kGrabberBottom;

  // Title row: "Share", a spacer and the close button, with the toggle centred over it.
  result.title = layoutText(QStringLiteral("Share"), SheetLook::sheetTitle());
  const ButtonStyle close = SheetLook::roundIconButton(Symbol::xmark);
  const ButtonStyle thisSlide = modeButton(ShareMode::thisSlide, state.mode == ShareMode::thisSlide);
  const ButtonStyle slideshow = modeButton(ShareMode::slideshow, state.mode == ShareMode::slideshow);
  const QSizeF thisSize = thisSlide.padding.grown(thisSlide.label.layout().size);
  const QSizeF showSize = slideshow.padding.grown(slideshow.label.layout().size);
  const qreal buttonHeight = std::max(thisSize.height(), showSize.height());
  const QSizeF toggleSize(thisSize.width() + showSize.width() + 2 * kToggleInset, buttonHeight + 2 * kToggleInset);
  const qreal rowHeight = std::max({result.title.height(), close.fixedSize.height(), toggleSize.height()});
  const qreal rowMiddle = y + rowHeight / 2.0;
  result.titleOrigin = QPointF(innerLeft, rowMiddle - result.title.height() / 2.0);
  result.close = layoutButton(close, QPointF(innerLeft + innerWidth - close.fixedSize.width() / 2.0, rowMiddle));
  result.toggle =
      QRectF(QPointF(centreX - toggleSize.width() / 2.0, rowMiddle - toggleSize.height() / 2.0), toggleSize);
  const qreal buttonTop = result.toggle.top() + kToggleInset;
  result.modeThisSlide = layoutButton(thisSlide, QRectF(QPointF(result.toggle.left() + kToggleInset, buttonTop),
                                                        QSizeF(thisSize.width(), buttonHeight)));
  result.modeSlideshow = layoutButton(slideshow, QRectF(QPointF(result.modeThisSlide.frame.right(), buttonTop),
                                                        QSizeF(showSize.width(), buttonHeight)));
  y += rowHeight + kHeaderSpacing;

  result.subtitle =
      layoutText(headerSubtitle(context, state.mode), SheetLook::headerSubtitle(), innerWidth, kSubtitleLines);
  result.subtitleOrigin = QPointF(innerLeft, y);
  y += result.subtitle.height() + kHeaderBottom;

  const SocialScrollRow row{socials()};
  result.social = row.layout(QRectF(left, y, width, SocialScrollRow::kHeight), state.socialOffset);
  y += SocialScrollRow::kHeight + kSocialBottom;

  const qreal noteWidth = width - 2 * kNoteInset;
  result.note = layoutText(clipboardNote(state.mode), noteStyle(state.mode), noteWidth);
  result.noteOrigin = QPointF(centreX - result.note.width() / 2.0, y);
  y += result.note.height() + kNoteBottom;

  if (state.mode == ShareMode::slideshow) {
    result.generateLink = generateLinkRow(state).layout(QPointF(innerLeft, y), innerWidth);
    y = result.generateLink->frame.bottom();
  }
  result.download = downloadRow(state.mode).layout(QPointF(innerLeft, y), innerWidth);
  y = result.download.frame.bottom();
  if (state.mode == ShareMode::thisSlide) {
    result.copy = copyRow(state.mode).layout(QPointF(innerLeft, y), innerWidth);
    y = result.copy->frame.bottom();
  }

  y += kFooterTop;
  result.footer = layoutText(QStringLiteral("Share responsibly"), SheetLook::footer());
  result.footerOrigin = QPointF(centreX - result.footer.width() / 2.0, y);
  y += result.footer.height() + SheetLook::kFooterBottom;
  result.height = y - topLeft.y();

  // Keyboard order: close, the modes, the row, then the rows below it.
  result.targets.append({{SheetElement::close}, result.close.frame, -1.0});
  result.targets.append({{SheetElement::modeThisSlide}, result.modeThisSlide.frame, -1.0});
  result.targets.append({{SheetElement::modeSlideshow}, result.modeSlideshow.frame, -1.0});
  result.targets.append({{SheetElement::chevronLeft}, result.social.leftChevron, -1.0});
  for (int index = 0; index < result.social.tiles.size(); ++index)
    result.targets.append({{SheetElement::tile, index}, result.social.tiles[index].frame, ShareTile::kCornerRadius});
  result.targets.append({{SheetElement::chevronRight}, result.social.rightChevron, -1.0});
  if (result.generateLink)
    result.targets.append({{SheetElement::generateLink}, result.generateLink->button, GenerateLinkRow::kCornerRadius});
  result.targets.append({{SheetElement::download}, result.download.frame, 6.0});
  if (result.copy) result.targets.append({{SheetElement::copy}, result.copy->frame, 6.0});
  return result;
}

void ShareOptionsPage::paint(QPainter& painter, const Layout& layout, const ShareSheetState& state,
                             const SheetInteraction& interaction, qreal spinnerTurn) {
  const auto stateOf = [&](SheetTarget target, bool disabled = false) {
    return ButtonState{
        .hovered = interaction.hovered == target, .pressed = interaction.pressed == target, .disabled = disabled};
  };
  SheetLook::paintGrabber(painter, layout.grabber);
  layout.title.draw(painter, layout.titleOrigin);
  paintButton(painter, SheetLook::roundIconButton(Symbol::xmark), layout.close, stateOf({SheetElement::close}));

  {
    const PainterStateScope outline(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(StrokeStyle{.width = 1.0}.pen(withOpacity(MurmelaTheme::gold, 0.6)));
    painter.drawPath(capsulePath(layout.toggle));
  }
  paintButton(painter, modeButton(ShareMode::thisSlide, state.mode == ShareMode::thisSlide), layout.modeThisSlide,
              stateOf({SheetElement::modeThisSlide}));
  paintButton(painter, modeButton(ShareMode::slideshow, state.mode == ShareMode::slideshow), layout.modeSlideshow,
              stateOf({SheetElement::modeSlideshow}));
  layout.subtitle.draw(painter, layout.subtitleOrigin);

  const auto socialHit = [](const std::optional<SheetTarget>& target) -> std::optional<SocialScrollRow::Hit> {
    if (!target) return std::nullopt;
    if (target->element == SheetElement::chevronLeft) return SocialScrollRow::Hit{SocialScrollRow::Part::leftChevron};
    if (target->element == SheetElement::chevronRight) return SocialScrollRow::Hit{SocialScrollRow::Part::rightChevron};
    if (target->element == SheetElement::tile) return SocialScrollRow::Hit{SocialScrollRow::Part::tile, target->index};
    return std::nullopt;
  };
  SocialScrollRow{socials()}.paint(painter, layout.social,
                                   {socialHit(interaction.hovered), socialHit(interaction.pressed)});
  layout.note.draw(painter, layout.noteOrigin);

  if (layout.generateLink)
    generateLinkRow(state).paint(painter, *layout.generateLink,
                                 stateOf({SheetElement::generateLink}, state.isGeneratingLink), spinnerTurn);
  downloadRow(state.mode).paint(painter, layout.download, stateOf({SheetElement::download}));
  if (layout.copy) copyRow(state.mode).paint(painter, *layout.copy, stateOf({SheetElement::copy}));
  layout.footer.draw(painter, layout.footerOrigin);
}

}  // namespace murmela
