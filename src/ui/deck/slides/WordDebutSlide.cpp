#include "deck/slides/WordDebutSlide.h"

#include "deck/Captions.h"
#include "deck/SlideFormatters.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kHeadlineTop = 70.0;
constexpr qreal kSideInset = 36.0;
constexpr qreal kHeadlineSpacing = 8.0;
constexpr qreal kAsideTilt = -1.5;
constexpr qreal kContextTilt = -0.5;
constexpr qreal kResponseTop = 12.0;
constexpr qreal kResponseInset = 10.0;
constexpr qreal kResponseOutlineOpacity = 0.28;
constexpr qreal kPanelInset = 16.0;
constexpr qreal kPanelSpacing = 8.0;
constexpr qreal kPanelRadius = 4.0;
constexpr qreal kPanelBottom = 110.0;
constexpr qreal kRowSpacing = 8.0;

// Texts the slide lets wrap without a stated limit take two lines (the
// context three) before they are cut.
const TextStyle kAsideStyle{.typeface = Typeface::caveat, .size = 22, .color = MurmelaTheme::sageDeep, .lineLimit = 2};
const TextStyle kTermStyle{.typeface = Typeface::dmSerifDisplay,
                           .size = 72,
                           .italic = true,
                           .color = MurmelaTheme::rose,
                           .lineLimit = 2,
                           .minimumScale = 0.55};
const TextStyle kMilestonesStyle{.typeface = Typeface::dmSerifDisplay,
                                 .size = 52,
                                 .italic = true,
                                 .color = MurmelaTheme::rose,
                                 .lineLimit = 2,
                                 .minimumScale = 0.65};
const TextStyle kLeadStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 22, .color = MurmelaTheme::ink, .lineLimit = 2};
const TextStyle kDateStyle{.typeface = Typeface::dmSerifDisplay,
                           .size = 32,
                           .color = MurmelaTheme::ink,
                           .lineLimit = 1,
                           .underline = MurmelaTheme::gold};
const TextStyle kContextStyle{.typeface = Typeface::caveat, .size = 17, .color = MurmelaTheme::inkSoft, .lineLimit = 3};
const TextStyle kResponseStyle{.typeface = Typeface::caveat, .size = 18, .color = MurmelaTheme::sageDeep};
const TextStyle kPanelHeadingStyle{.typeface = Typeface::inter,
                                   .size = 9.5,
                                   .tracking = 2.2,
                                   .upperCase = true,
                                   .color = MurmelaTheme::inkSoft,
                                   .lineLimit = 1};
const TextStyle kFirstPhraseStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 16, .italic = true, .color = MurmelaTheme::ink, .lineLimit = 1};
const TextStyle kFirstDateStyle{.typeface = Typeface::inter,
                                .size = 10,
                                .tracking = 1.4,
                                .color = MurmelaTheme::inkSoft,
                                .lineLimit = 1,
                                .monospacedDigits = true};

QString quoted(const QString& text) { return QStringLiteral("\u201C") + text + QStringLiteral("\u201D"); }

// A headline line before it is placed: its text and style, its turn, and
// the paragraph fitted for it.
struct HeadlineLine {
  QString text;
  TextStyle style;
  qreal rotation = 0.0;
  TextLayout fitted{};
};

// The lines that give way on a full page: the context, then the term (or the milestones line).
constexpr int kTermLine = 1;
constexpr int kContextLine = WordDebutSlide::kContextLine;

QList<HeadlineLine> headlineLines(const WrappedReport& report, bool hasFirst) {
  if (!hasFirst) {
    return {{QStringLiteral("No pet name debut."), kAsideStyle, kAsideTilt},
            {QStringLiteral("The first real milestones"), kMilestonesStyle},
            {QStringLiteral("were hiding in the smaller phrases."), kLeadStyle}};
  }
  const FirstDistinctiveTerm& first = *report.firstDistinctiveTerm;
  return {{QStringLiteral("You called ") + report.participantNames.them + QLatin1Char(' '), kAsideStyle, kAsideTilt},
          {quoted(first.term), kTermStyle},
          {QStringLiteral("for the first time on"), kLeadStyle},
          {murmelaDate(first.date), kDateStyle},
          {first.context + QLatin1Char(' '), kContextStyle, kContextTilt}};
}

std::optional<DashedSticker> responseSticker(const WrappedReport& report) {
  const std::optional<QString> response = hostedInsight(report, &ReportInsightCopy::wordDebutResponseInsight);
  if (!response) return std::nullopt;
  return DashedSticker{QStringLiteral("\u21B3 ") + *response + QLatin1Char(' '), kResponseStyle, kResponseInset,
                       withOpacity(MurmelaTheme::rose, kResponseOutlineOpacity)};
}

struct PanelRow {
  TextLayout phrase;
  TextLayout date;
};

}  // namespace

bool WordDebutSlide::hasHeadlineFirst() const {
  return report.firstDistinctiveTerm && !report.firstDistinctiveTerm->term.trimmed().isEmpty();
}

WordDebutSlide::Layout WordDebutSlide::layout() const {
  const qreal width = SlidePage::kWidth - 2 * kSideInset;
  const QSizeF open(width, kUnlimitedWidth);
  QList<HeadlineLine> lines = headlineLines(report, hasHeadlineFirst());
  for (HeadlineLine& line : lines) line.fitted = fitText(line.text, line.style, open);
  const std::optional<DashedSticker> response = responseSticker(report);
  qreal responseRoom = kUnlimitedWidth;
  const auto responseLayout = [&](QPointF topLeft) {
    return layoutDashedSticker(*response, QRectF(topLeft, QSizeF(width, responseRoom)), Qt::AlignLeft);
  };

  // The panel: its heading, then one row per other first (phrase left, date right).
  const qreal panelContent = width - 2 * kPanelInset;
  const TextLayout panelHeading = fitText(QStringLiteral("Other firsts"), kPanelHeadingStyle, open);
  QList<PanelRow> rows;
  for (const MeaningfulFirst& first : report.otherFirsts.mid(0, kMaxOtherFirsts)) {
    const TextLayout date = fitText(murmelaDate(first.date), kFirstDateStyle, QSizeF(panelContent, kUnlimitedWidth));
    rows.append({fitText(quoted(first.phrase), kFirstPhraseStyle,
                         QSizeF(std::max(0.0, panelContent - date.width() - kRowSpacing), kUnlimitedWidth)),
                 date});
  }
  qreal panelHeight = panelHeading.height();
  for (const PanelRow& row : rows) panelHeight += kPanelSpacing + std::max(row.phrase.height(), row.date.height());
  const QSizeF panelSize(rows.isEmpty() ? panelHeading.width() + 2 * kPanelInset : width,
                         panelHeight + 2 * kPanelInset);

  const auto headlineHeight = [&] {
    qreal height = 0.0;
    for (const HeadlineLine& line : lines) height += line.fitted.height() + kHeadlineSpacing;
    if (response)
      height += kResponseTop + responseLayout({}).frame.rect.height();
    else
      height -= kHeadlineSpacing;
    return height;
  };
  const auto stackOf = [&] {
    Stack stack = Stack::vertical(SlidePage::kStackSpacing, StackAlign::leading);
    stack.add(QSizeF(width, headlineHeight()), Insets{kHeadlineTop, kSideInset, 0, kSideInset});
    stack.addSpacer();
    stack.add(panelSize, Insets{0, kSideInset, kPanelBottom, kSideInset});
    return stack;
  };
  // On a full page the hosted response gives way first, then the context,
  // and the term (or the milestones line) last.
  if (const qreal over = -SlidePage::freeLength(stackOf()); over > 0 && response)
    responseRoom = std::max(0.0, responseLayout({}).frame.rect.height() - over);
  for (const int index : {kContextLine, kTermLine}) {
    const qreal over = -SlidePage::freeLength(stackOf());
    if (over <= 0 || index >= lines.size()) continue;
    HeadlineLine& line = lines[index];
    line.fitted = fitText(line.text, line.style, QSizeF(width, std::max(0.0, line.fitted.height() - over)));
  }
  const QList<QRectF> frames = stackOf().layout(SlidePage::bounds());

  Layout layout;
  qreal y = frames[0].top();
  for (const HeadlineLine& line : lines) {
    layout.headline.append({PlacedText::at(line.fitted, {frames[0].left(), y}), line.rotation});
    y += line.fitted.height() + kHeadlineSpacing;
  }
  if (response) layout.response = responseLayout({frames[0].left(), y - kHeadlineSpacing + kResponseTop});

  const QRectF panel(frames[2].topLeft(), panelSize);
  layout.panel.rect = panel;
  layout.panel.radius = kPanelRadius;
  layout.panel.fill = MurmelaTheme::creamDeep;
  layout.panel.roundedFill = true;
  layout.panel.borderWidth = 0.0;
  const QRectF content = panel.adjusted(kPanelInset, kPanelInset, -kPanelInset, -kPanelInset);
  layout.panelHeading.placed = PlacedText::at(panelHeading, content.topLeft());
  y = content.top() + panelHeading.height();
  for (const PanelRow& row : rows) {
    const QRectF line(content.left(), y + kPanelSpacing, content.width(),
                      std::max(row.phrase.height(), row.date.height()));
    FirstRow first;
    first.phrase.placed = PlacedText::within(row.phrase, line, Qt::AlignLeft | Qt::AlignVCenter);
    first.date.placed = PlacedText::within(row.date, line, Qt::AlignRight | Qt::AlignVCenter);
    layout.firsts.append(first);
    y = line.bottom();
  }
  return layout;
}

QList<QRectF> WordDebutSlide::Layout::elementFrames() const {
  QList<QRectF> frames;
  for (const SlideText& line : headline) frames.append(line.bounds());
  if (response) frames.append(response->bounds());
  frames.append(panel.rect);
  return frames;
}

void WordDebutSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  for (const SlideText& line : geometry.headline) line.paint(painter);
  if (geometry.response) paintDashedSticker(painter, *geometry.response);
  paintCardBackground(painter, geometry.panel);
  geometry.panelHeading.paint(painter);
  for (const FirstRow& row : geometry.firsts) {
    row.phrase.paint(painter);
    row.date.paint(painter);
  }
}

}  // namespace murmela
