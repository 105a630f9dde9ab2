#include "sheets/share/GeneratedLinkPage.h"

#include "common/LocaleFormat.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

constexpr qreal kHeaderBottom = 10.0;
constexpr qreal kSubtitleBottom = 10.0;
constexpr qreal kCardPadding = 18.0;
constexpr qreal kCardSpacing = 10.0;
constexpr qreal kCardRadius = 10.0;
constexpr qreal kCardBottom = 12.0;
constexpr qreal kButtonSpacing = 10.0;
constexpr qreal kButtonPadding = 13.0;
constexpr qreal kButtonRadius = 9.0;
constexpr qreal kExpiryTop = 12.0;
constexpr qreal kFooterTop = 10.0;

TextStyle centred(TextStyle style) {
  style.alignment = TextAlign::center;
  return style;
}

TextStyle statusStyle() {
  return centred(TextStyle{.typeface = Typeface::inter,
                           .size = 9,
                           .weight = QFont::Medium,
                           .tracking = 1.5,
                           .upperCase = true,
                           .color = MurmelaTheme::inkSoft});
}

TextStyle revokeStyle() {
  return centred(TextStyle{
      .typeface = Typeface::inter, .size = 9, .weight = QFont::Medium, .color = withOpacity(MurmelaTheme::ink, 0.45)});
}

TextStyle expiryStyle() {
  return TextStyle{
      .typeface = Typeface::inter, .size = 10, .weight = QFont::Medium, .color = withOpacity(MurmelaTheme::ink, 0.55)};
}

TextStyle buttonText(const QColor& color) {
  return TextStyle{.typeface = Typeface::inter, .size = 12, .weight = QFont::DemiBold, .color = color};
}

// A text centred on a column.
QPointF centredOn(qreal centreX, qreal top, const TextLayout& text) {
  return QPointF(centreX - text.width() / 2.0, top);
}

}  // namespace

QString GeneratedLinkPage::displayForm(const QUrl& url) {
  QString text = url.toString(QUrl::FullyEncoded);
  text.remove(QStringLiteral("https://"));
  qsizetype start = 0;
  qsizetype end = text.size();
  while (start < end && text[start] == QLatin1Char('/')) ++start;
  while (end > start && text[end - 1] == QLatin1Char('/')) --end;
  return text.mid(start, end - start);
}

qint64 GeneratedLinkPage::daysUntil(Date expiresAt, Date now, const QTimeZone& zone) {
  return std::max<qint64>(1, LocaleFormat::wholeDaysBetween(now, expiresAt, zone));
}

QString GeneratedLinkPage::statusLine(bool fromLocalCache) {
  return fromLocalCache ? QStringLiteral("You already shared this Murmela \u2014 here's the link.")
                        : QStringLiteral("Anyone with this link can view");
}

QString GeneratedLinkPage::subtitle(const SlideShareContext& context) {
  return QStringLiteral("You and ") + context.report.participantNames.them + QStringLiteral(" \u00b7 ") +
         QString::number(14) + QStringLiteral(" slides");
}

QString GeneratedLinkPage::expiryText(qint64 days) {
  return QStringLiteral("Link expires in ") + QString::number(days) + QStringLiteral(" days");
}

QString GeneratedLinkPage::revokeNote() { return QStringLiteral("Revoke anytime via \"My Shares\" on app homepage"); }

TextStyle GeneratedLinkPage::linkStyle() {
  return TextStyle{.typeface = Typeface::dmSerifDisplay,
                   .size = 24,
                   .alignment = TextAlign::center,
                   .lineLimit = 1,
                   .minimumScale = kLinkMinimumScale};
}

namespace {
// A link page button: a symbol and a word in Inter 12 semibold on a rounded rectangle.
ButtonStyle linkButton(Symbol symbol, const QString& text, const QColor& content, const QColor& fill) {
  ButtonStyle style;
  style.label.symbol = symbol;
  style.label.symbolSize = 12;
  style.label.symbolWeight = SymbolWeight::semibold;
  style.label.spacing = 6;
  style.label.text = text;
  style.label.style = buttonText(content);
  style.content = content;
  style.fill = fill;
  style.cornerRadius = kButtonRadius;
  style.pressedOpacity = SheetLook::kPressedOpacity;
  return style;
}
}  // namespace

ButtonStyle GeneratedLinkPage::copyLinkButton() {
  return linkButton(Symbol::docOnDoc, QStringLiteral("Copy link"), MurmelaTheme::cream, MurmelaTheme::sageDeep);
}

ButtonStyle GeneratedLinkPage::shareButton() {
  ButtonStyle style =
      linkButton(Symbol::squareAndArrowUp, QStringLiteral("Share..."), MurmelaTheme::ink, MurmelaTheme::creamDeep);
  style.outline = withOpacity(MurmelaTheme::ink, 0.14);
  return style;
}

GeneratedLinkPage::Layout GeneratedLinkPage::layout(const SlideShareContext& context,
                                                    const ShareLinkGenerationResult& link, QPointF topLeft, qreal width,
                                                    Date now) {
  Layout result;
  const qreal centreX = topLeft.x() + width / 2.0;
  const qreal innerLeft = topLeft.x() + SheetLook::kSideInset;
  const qreal innerWidth = width - 2 * SheetLook::kSideInset;
  result.grabber = SheetLook::grabberRect(centreX, topLeft.y());
  qreal y = result.grabber.bottom() + SheetLook::kGrabberBottom;

  const ButtonStyle back = SheetLook::roundIconButton(Symbol::chevronLeft);
  const ButtonStyle close = SheetLook::roundIconButton(Symbol::xmark);
  result.title = layoutText(QStringLiteral("Share"), SheetLook::sheetTitle());
  const qreal rowHeight = std::max(back.fixedSize.height(), result.title.height());
  const qreal rowMiddle = y + rowHeight / 2.0;
  result.back = layoutButton(back, QPointF(innerLeft + back.fixedSize.width() / 2.0, rowMiddle));
  result.close = layoutButton(close, QPointF(innerLeft + innerWidth - close.fixedSize.width() / 2.0, rowMiddle));
  result.titleOrigin = QPointF(centreX - result.title.width() / 2.0, rowMiddle - result.title.height() / 2.0);
  y += rowHeight + kHeaderBottom;

  result.subtitle = layoutText(subtitle(context), centred(SheetLook::headerSubtitle()), innerWidth, 2);
  result.subtitleOrigin = centredOn(centreX, y, result.subtitle);
  y += result.subtitle.height() + kSubtitleBottom;

  // The link card.
  const qreal cardTop = y;
  const qreal textWidth = innerWidth - 2 * kCardPadding;
  y += kCardPadding;
  result.status = layoutText(statusLine(link.fromLocalCache), statusStyle(), textWidth);
  result.statusOrigin = centredOn(centreX, y, result.status);
  y += result.status.height() + kCardSpacing;
  const TextStyle linkText = linkStyle();
  const qreal linkLineHeight = layoutText(QStringLiteral("M"), linkText).height();
  result.link = fitText(displayForm(link.link.shareURL), linkText, QSizeF(textWidth, linkLineHeight));
  result.linkOrigin = QPointF(centreX - result.link.width() / 2.0, y + (linkLineHeight - result.link.height()) / 2.0);
  y += linkLineHeight + kCardSpacing;
  result.divider = QRectF(innerLeft + kCardPadding, y, textWidth, 1.0);
  y += 1.0 + kCardSpacing;
  result.revoke = layoutText(revokeNote(), revokeStyle(), textWidth);
  result.revokeOrigin = centredOn(centreX, y, result.revoke);
  y += result.revoke.height() + kCardPadding;
  result.linkCard = QRectF(innerLeft, cardTop, innerWidth, y - cardTop);
  y += kCardBottom;

  // The two buttons share the row.
  const ButtonStyle copyStyle = copyLinkButton();
  const ButtonStyle shareStyle = shareButton();
  const qreal buttonHeight =
      std::max(copyStyle.label.layout().size.height(), shareStyle.label.layout().size.height()) + 2 * kButtonPadding;
  const qreal buttonWidth = (innerWidth - kButtonSpacing) / 2.0;
  result.copyLink = layoutButton(copyStyle, QRectF(innerLeft, y, buttonWidth, buttonHeight));
  result.share =
      layoutButton(shareStyle, QRectF(innerLeft + buttonWidth + kButtonSpacing, y, buttonWidth, buttonHeight));
  y += buttonHeight + kExpiryTop;

  result.expiry = layoutText(expiryText(daysUntil(link.link.expiresAt, now)), expiryStyle());
  result.expiryOrigin = centredOn(centreX, y, result.expiry);
  y += result.expiry.height() + kFooterTop;
  result.footer = layoutText(QStringLiteral("Share responsibly"), SheetLook::footer());
  result.footerOrigin = centredOn(centreX, y, result.footer);
  y += result.footer.height() + SheetLook::kFooterBottom;
  result.height = y - topLeft.y();

  result.targets.append({{SheetElement::back}, result.back.frame, -1.0});
  result.targets.append({{SheetElement::close}, result.close.frame, -1.0});
  result.targets.append({{SheetElement::copyLink}, result.copyLink.frame, kButtonRadius});
  result.targets.append({{SheetElement::shareLink}, result.share.frame, kButtonRadius});
  return result;
}

void GeneratedLinkPage::paint(QPainter& painter, const Layout& layout, const SheetInteraction& interaction) {
  const auto stateOf = [&](SheetElement element) {
    return ButtonState{.hovered = interaction.hovered == SheetTarget{element},
                       .pressed = interaction.pressed == SheetTarget{element}};
  };
  SheetLook::paintGrabber(painter, layout.grabber);
  paintButton(painter, SheetLook::roundIconButton(Symbol::chevronLeft), layout.back, stateOf(SheetElement::back));
  layout.title.draw(painter, layout.titleOrigin);
  paintButton(painter, SheetLook::roundIconButton(Symbol::xmark), layout.close, stateOf(SheetElement::close));
  layout.subtitle.draw(painter, layout.subtitleOrigin);
  {
    const PainterStateScope card(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(StrokeStyle{.width = 1.0}.pen(withOpacity(MurmelaTheme::ink, 0.18)));
    painter.drawPath(roundedRectPath(layout.linkCard.adjusted(0.5, 0.5, -0.5, -0.5), kCardRadius));
  }
  layout.status.draw(painter, layout.statusOrigin);
  layout.link.draw(painter, layout.linkOrigin);
  painter.fillRect(layout.divider, withOpacity(MurmelaTheme::ink, 0.1));
  layout.revoke.draw(painter, layout.revokeOrigin);
  paintButton(painter, copyLinkButton(), layout.copyLink, stateOf(SheetElement::copyLink));
  paintButton(painter, shareButton(), layout.share, stateOf(SheetElement::shareLink));
  layout.expiry.draw(painter, layout.expiryOrigin);
  layout.footer.draw(painter, layout.footerOrigin);
}

}  // namespace murmela
