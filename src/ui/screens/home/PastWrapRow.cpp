#include "screens/home/PastWrapRow.h"

#include "common/LocaleFormat.h"
#include "common/UnicodeText.h"
#include "kit/controls/LibraryStyle.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "kit/text/HomeWrapDate.h"
#include "kit/widgets/ButtonHost.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace murmela {
namespace {

const TextStyle kInitialsStyle{.typeface = Typeface::dmSerifDisplay, .size = 13, .color = MurmelaTheme::cream};
const TextStyle kNameStyle{.typeface = Typeface::dmSerifDisplay, .size = 14.5, .color = MurmelaTheme::ink};
const TextStyle kDetailStyle{.typeface = Typeface::inter,
                             .size = 9,
                             .tracking = 1.3,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft,
                             .lineLimit = 1};
const TextStyle kChevronStyle{.typeface = Typeface::dmSerifDisplay, .size = 14, .color = MurmelaTheme::inkSoft};

}  // namespace

QColor PastWrapRow::colorFor(int position) {
  static constexpr std::array<QColor, 4> kCycle = {MurmelaTheme::rose, MurmelaTheme::sageDeep, MurmelaTheme::gold,
                                                   MurmelaTheme::sage};
  return kCycle[static_cast<size_t>(((position % 4) + 4) % 4)];
}

QString PastWrapRow::initials(const QString& name) {
  QString result;
  int pieces = 0;
  for (const QString& piece : name.split(QChar(u' '), Qt::SkipEmptyParts)) {
    result += UnicodeText::graphemePrefix(piece, 1);
    if (++pieces == 2) break;
  }
  return result;
}

QString PastWrapRow::detailLine(const PastWrap& wrap, Date now) {
  return homeWrapDayText(wrap.savedAt, now) + QStringLiteral(" \u00B7 ") +
         LocaleFormat::groupedInteger(wrap.report.totalMessages) + QStringLiteral(" msgs");
}

PastWrapRow::Layout PastWrapRow::layout(QPointF topLeft, qreal width, Date now) const {
  Layout result;
  result.initials = layoutText(initials(wrap.report.participantNames.them), kInitialsStyle);
  result.chevron = layoutText(QStringLiteral("\u203A"), kChevronStyle);
  // The texts take what the badge, the "›" and the spacings around the spacer leave.
  const qreal inner = width - 2.0 * kHorizontalPadding;
  const qreal textWidth = std::max(0.0, inner - kBadgeDiameter - 3.0 * kSpacing - result.chevron.width());
  result.name =
      layoutText(QStringLiteral("you & ") + wrap.report.participantNames.them, kNameStyle, textWidth, kNameLines);
  result.detail = layoutText(detailLine(wrap, now), kDetailStyle, textWidth);

  const qreal textHeight = result.name.height() + kTextSpacing + result.detail.height();
  const qreal contentHeight = std::max({kBadgeDiameter, textHeight, result.chevron.height()});
  result.frame = QRectF(topLeft, QSizeF(width, contentHeight + 2.0 * kVerticalPadding));
  const qreal middle = result.frame.center().y();
  const qreal left = topLeft.x() + kHorizontalPadding;
  result.badge = QRectF(left, middle - kBadgeDiameter / 2.0, kBadgeDiameter, kBadgeDiameter);
  result.nameOrigin = QPointF(result.badge.right() + kSpacing, middle - textHeight / 2.0);
  result.detailOrigin = result.nameOrigin + QPointF(0.0, result.name.height() + kTextSpacing);
  result.chevronOrigin = QPointF(result.frame.right() - kHorizontalPadding - result.chevron.width(),
                                 middle - result.chevron.height() / 2.0);
  return result;
}

void PastWrapRow::paint(QPainter& painter, const Layout& layout, const ButtonState& state, bool showsFocus) const {
  {
    const OpacityScope pressed(painter, state.pressed ? kPlainButtonPressedOpacity : 1.0);
    LibraryCard{.radius = kCornerRadius}.paint(painter, layout.frame);
    {
      const PainterStateScope scope(painter);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.fillPath(ellipsePath(layout.badge), color);
    }
    layout.initials.drawCentered(painter, layout.badge.center());
    layout.name.draw(painter, layout.nameOrigin);
    layout.detail.draw(painter, layout.detailOrigin);
    layout.chevron.draw(painter, layout.chevronOrigin);
  }
  // Inside the card: the library's edges cut off whatever reaches beyond a row.
  if (showsFocus) paintInnerFocusRing(painter, layout.frame, kCornerRadius);
}

}  // namespace murmela
