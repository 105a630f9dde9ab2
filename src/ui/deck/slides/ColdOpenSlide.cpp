#include "deck/slides/ColdOpenSlide.h"

#include "common/LocaleFormat.h"
#include "deck/SlideFormatters.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

namespace murmela {
namespace {

constexpr qreal kSideInset = 26.0;
constexpr qreal kNamesTop = 80.0;
constexpr qreal kCountSpacing = 4.0;
constexpr qreal kMessagesTilt = -3.0;
constexpr qreal kSpanBottom = 70.0;

// The names wrap onto three lines at most before they are cut: the page has room.
const TextStyle kNamesStyle{.typeface = Typeface::caveat, .size = 40, .color = MurmelaTheme::sageDeep, .lineLimit = 3};
const TextStyle kCountStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 88, .color = MurmelaTheme::ink, .lineLimit = 1, .minimumScale = 0.55};
const TextStyle kMessagesStyle{.typeface = Typeface::caveat, .size = 30, .color = MurmelaTheme::rose, .lineLimit = 1};
const TextStyle kSpanStyle{.typeface = Typeface::inter,
                           .size = 10.5,
                           .tracking = 1.8,
                           .upperCase = true,
                           .color = MurmelaTheme::inkSoft,
                           .lineSpacing = 8,
                           .alignment = TextAlign::center};

// The first and the last message's dates, joined by an em dash.
QString dateRange(const WrappedReport& report) {
  return murmelaDate(report.firstMessageDate) + QStringLiteral(" \u2014 ") + murmelaDate(report.lastMessageDate);
}

}  // namespace

ColdOpenSlide::Layout ColdOpenSlide::layout() const {
  const qreal width = SlidePage::kWidth - 2 * kSideInset;
  const QSizeF box(width, kUnlimitedWidth);
  const TextLayout names =
      fitText(QStringLiteral("You & ") + report.participantNames.them + QLatin1Char(' '), kNamesStyle, box);
  const TextLayout count = fitText(LocaleFormat::groupedInteger(report.totalMessages), kCountStyle, box);
  const TextLayout messages = fitText(QStringLiteral("messages. "), kMessagesStyle, box);
  const TextLayout span = layoutText(dateRange(report) + QStringLiteral("\n\u25CF ") +
                                         LocaleFormat::groupedInteger(report.totalDays) + QStringLiteral(" days"),
                                     kSpanStyle, width);

  Stack stack = Stack::vertical(SlidePage::kStackSpacing);
  stack.add(names.size, Insets{kNamesTop, kSideInset, 0, kSideInset});
  stack.addSpacer();
  stack.add(QSizeF(std::max(count.width(), messages.width()), count.height() + kCountSpacing + messages.height()),
            Insets::horizontal(kSideInset));
  stack.addSpacer();
  stack.add(span.size, Insets{0, kSideInset, kSpanBottom, kSideInset});
  const QList<QRectF> frames = stack.layout(SlidePage::bounds());

  Layout layout;
  layout.names.placed = PlacedText::within(names, frames[0], Qt::AlignCenter);
  const QRectF group = frames[2];
  layout.count.placed = PlacedText::within(count, group, Qt::AlignHCenter | Qt::AlignTop);
  layout.messages.placed = PlacedText::within(messages, group, Qt::AlignHCenter | Qt::AlignBottom);
  layout.messages.rotation = kMessagesTilt;
  layout.span.placed = PlacedText::within(span, frames[4], Qt::AlignCenter);
  return layout;
}

QList<QRectF> ColdOpenSlide::Layout::elementFrames() const {
  return {names.bounds(), count.bounds() | messages.bounds(), span.bounds()};
}

void ColdOpenSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  geometry.names.paint(painter);
  geometry.count.paint(painter);
  geometry.messages.paint(painter);
  geometry.span.paint(painter);
}

}  // namespace murmela
