#include "screens/processing/ProcessingView.h"

#include "brand/DoubleBubbleLogo.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "screens/common/OnboardingText.h"
#include "screens/common/ProgressTexts.h"
#include "theme/MurmelaTheme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <utility>

namespace murmela {
namespace {

constexpr qreal kWidth = 390.0;
constexpr qreal kHeaderTop = 36.0;
constexpr qreal kHeaderSpacing = 8.0;
constexpr qreal kLogoSize = 14.0;
constexpr qreal kMainColumnTop = 132.0;
constexpr qreal kMainColumnSpacing = 18.0;
constexpr qreal kTitleBlockSpacing = 14.0;
constexpr qreal kTitleSize = 40.0;
constexpr int kTitleLines = 3;
constexpr qreal kEyebrowRotation = -2.0;
constexpr qreal kRingSize = 96.0;
constexpr qreal kProgressBlockSpacing = 8.0;
constexpr qreal kRemainingTopPadding = 4.0;
constexpr qreal kProgressBlockBottomPadding = 10.0;
constexpr qreal kChecklistInset = 36.0;
constexpr qreal kChecklistSpacing = 9.0;
constexpr qreal kRowSpacing = 10.0;  // indicator to label
constexpr qreal kAsideTop = 670.0;
constexpr qreal kAsideInset = 32.0;
constexpr qreal kLabelOffset = 4.0;  // how far a status line rises in and sinks out
constexpr qreal kPendingOpacity = 0.4;
constexpr qreal kRepaintMargin = 4.0;  // around a changed text: its glyphs may reach past its box
constexpr int kIndicatorBandRows = 4;
// A status line's picture is made in one band: its glyphs are blended from
// Qt's glyph cache one by one, not filled as paths.
constexpr int kLabelBandRows = 1 << 16;

const StepIndicator kIndicator{.diameter = 14.0, .lineWidth = 1.3, .checkmarkSize = 7.0, .dotDiameter = 4.0};

const TextStyle kWordmarkStyle{.typeface = Typeface::dmSerifDisplay,
                               .size = 13,
                               .italic = true,
                               .tracking = -0.2,
                               .color = MurmelaTheme::sageDeep};
const TextStyle kPercentStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 28, .color = MurmelaTheme::ink, .monospacedDigits = true};
const TextStyle kPercentSignStyle{.typeface = Typeface::dmSerifDisplay, .size = 14, .color = MurmelaTheme::inkSoft};
const TextStyle kRemainingStyle{.typeface = Typeface::inter,
                                .size = 10,
                                .weight = QFont::Medium,
                                .tracking = 1.6,
                                .upperCase = true,
                                .color = MurmelaTheme::ink};
const TextStyle kAsideStyle{
    .typeface = Typeface::caveat, .size = 17, .color = MurmelaTheme::sageDeep, .alignment = TextAlign::center};

Eyebrow eyebrow() { return {QStringLiteral("reading between the lines \u2014"), MurmelaTheme::rose, kEyebrowRotation}; }
const QString kAsideText = QStringLiteral("no rush \u2014 feel free to grab some tea ;) ");

TextStyle labelStyle(StepState state, bool italic) {
  return TextStyle{.typeface = Typeface::dmSerifDisplay,
                   .size = 15,
                   .italic = italic,
                   .color = state == StepState::done     ? MurmelaTheme::ink
                            : state == StepState::active ? MurmelaTheme::rose
                                                         : MurmelaTheme::inkSoft};
}

qreal rowOpacity(StepState state) { return state == StepState::pending ? kPendingOpacity : 1.0; }

StepState stateOf(const PhaseEntry& entry) {
  return entry.done ? StepState::done : entry.active ? StepState::active : StepState::pending;
}

}  // namespace

ProcessingView::ProcessingView(ProcessingHost host, QWidget* parent)
    : OnboardingScreen(std::nullopt, parent),
      host_(std::move(host)),
      frames_([this] { return isVisible() && rowsMoving(); }, [this] { updateRows(); }, this) {
  rotation_.setInterval(kRotationIntervalMs);
  connect(&rotation_, &QTimer::timeout, this, &ProcessingView::advanceStatusLine);
  // A phase is said once it has lasted a moment: phases that race past as a
  // run ends would reach a reader only after this screen has gone, as
  // notifications with no words.
  phaseSaid_.setSingleShot(true);
  phaseSaid_.setInterval(kPhaseSettleMs);
  connect(&phaseSaid_, &QTimer::timeout, this, [this] {
    if (activeIndex_ >= 0 && activeIndex_ < phases_.size())
      reader().announce(phases_.at(activeIndex_).displayLabel(rotationIndex_));
  });
  host_.changed(this, [this] { refresh(); });
  refresh();
}

void ProcessingView::setClock(Clock clock) { clock_ = clock ? std::move(clock) : Clock(monotonicSeconds); }

void ProcessingView::refresh() {
  phases_ =
      processingPhases(host_.processingProgress().stage, host_.lastProcessedMessageCount(), host_.intelligenceChoice());
  const int active = activePhaseIndex(phases_);
  if (active != activeIndex_) {
    activeIndex_ = active;
    restartRotation();
    phaseSaid_.start();
  }
  updateLooks();
}

QString ProcessingView::phaseState(const PhaseEntry& phase) {
  if (phase.done) return QStringLiteral(", done");
  return phase.active ? QStringLiteral(", in progress") : QStringLiteral(", pending");
}

QList<ShownText> ProcessingView::shownTexts() const {
  const Layout l = layout();
  const QString percent = shownText(l.percentText, l.percent).text;
  ShownText ring{.text = l.remaining ? shownText(l.remainingText, *l.remaining).text : percent + QLatin1Char('%'),
                 .rect = l.ring,
                 .progress = ProgressValue{.value = percent.toDouble()}};
  QList<ShownText> texts{shownText(l.wordmarkText, l.wordmark), shownText(l.eyebrowText, l.eyebrow),
                         shownText(l.titleText, l.title, true), ring};
  // Each phase says where it stands, which the screen shows only by its mark.
  for (qsizetype i = 0; i < l.labels.size() && i < l.rows.size(); ++i) {
    ShownText row = shownText(l.labels[i], l.rows[i]);
    if (i < phases_.size()) row.text += phaseState(phases_.at(i));
    texts.append(row);
  }
  texts.append(shownText(l.asideText, l.aside));
  return texts;
}

void ProcessingView::restartRotation() {
  rotation_.stop();
  const PhaseEntry& entry = phases_.at(activeIndex_);
  if (!entry.active || entry.spec.activePool.size() < 2) return;
  rotationIndex_ = 0;
  if (!isHidden() || !testAttribute(Qt::WA_WState_ExplicitShowHide)) rotation_.start();
}

void ProcessingView::advanceStatusLine() {
  const PhaseEntry& entry = phases_.at(activeIndex_);
  if (entry.spec.activePool.size() < 2) return;
  rotationIndex_ = (rotationIndex_ + 1) % static_cast<int>(entry.spec.activePool.size());
  updateLooks();
}

QStringList ProcessingView::rowLabels() const {
  QStringList labels;
  for (const PhaseEntry& entry : phases_) labels.append(entry.displayLabel(rotationIndex_));
  return labels;
}

QList<ProcessingView::RowLook> ProcessingView::currentLooks() const {
  QList<RowLook> looks;
  for (const PhaseEntry& entry : phases_)
    looks.append({entry.displayLabel(rotationIndex_), stateOf(entry), entry.active});
  return looks;
}

void ProcessingView::updateLooks() {
  const QList<RowLook> next = currentLooks();
  QList<RowTransition> transitions;
  for (qsizetype i = 0; i < next.size(); ++i) {
    RowTransition row;
    if (i < looks_.size() && i < transitions_.size()) row = transitions_[i];
    // A row changes with its label: the new line fades in as the old one
    // sinks away, carrying the row's new colours with it.
    if (i < looks_.size() && looks_[i].label != next[i].label) {
      row.from = looks_[i];
      row.fromText.reset();
      row.transition = Transition::startingAt(now(), kLabelTransitionSeconds, Easing::easeInOut);
    } else if (i >= looks_.size()) {
      row.from = next[i];
    }
    transitions.append(row);
  }
  const bool sameLooks =
      std::equal(looks_.begin(), looks_.end(), next.begin(), next.end(), [](const RowLook& a, const RowLook& b) {
        return a.label == b.label && a.state == b.state && a.italic == b.italic;
      });
  looks_ = next;
  transitions_ = transitions;
  forgetUnshownLabels();
  const std::optional<Layout> shown = std::move(layout_);
  layout_.reset();
  const double fraction = host_.processingProgress().fraction;
  const double shownFraction = std::exchange(shownFraction_, fraction);
  if (!shown) {
    frames_.kick();
    return;
  }
  // What changed on screen is repainted, if anything: the rows when their
  // looks changed (a frame at a time while they move), the progress's parts
  // when it moved; everything when something moved.
  layout_ = layout();
  reader().contentChanged();
  const Layout& now = *layout_;
  if (now.titleText.shownText() != shown->titleText.shownText() || now.ring != shown->ring) {
    update();
    frames_.kick();
    return;
  }
  const auto around = [](const QRectF& box) {
    return box.adjusted(-kRepaintMargin, -kRepaintMargin, kRepaintMargin, kRepaintMargin).toAlignedRect();
  };
  QRegion changed;
  if (now.rows != shown->rows || now.remaining.has_value() != shown->remaining.has_value()) {
    // The time left came or went under the ring: what lies below it moved,
    // and the title above stays as it is.
    QRectF below;
    for (const QRectF& row : now.rows + shown->rows) below |= row;
    for (const std::optional<QRectF>& remaining : {now.remaining, shown->remaining})
      if (remaining) below |= *remaining;
    const qreal reach = kLabelOffset + kRepaintMargin;
    changed += QRectF(0.0, below.top() - reach, kWidth, below.height() + 2.0 * reach).toAlignedRect();
    frames_.kick();
  }
  const qreal scale = devicePixelRatioF();
  if (ProcessingRing::sweepStep(fraction, now.ring.width(), scale) !=
      ProcessingRing::sweepStep(shownFraction, now.ring.width(), scale)) {
    changed += around(now.ring);
  }
  if (now.percentText.shownText() != shown->percentText.shownText())
    changed += around(now.percent.united(shown->percent));
  if (now.remaining && now.remainingText.shownText() != shown->remainingText.shownText())
    changed += around(now.remaining->united(*shown->remaining));
  if (!changed.isEmpty()) update(changed);
  if (!sameLooks) frames_.kick();
}

void ProcessingView::updateRows() {
  // A frame of a status line's change moves only the checklist's rows.
  if (!layout_) {
    update();
    return;
  }
  QRectF rows;
  for (const QRectF& row : layout_->rows) rows |= row;
  const qreal reach = kLabelOffset + kRepaintMargin;
  update(rows.adjusted(-reach, -reach, reach, reach).toAlignedRect());
}

bool ProcessingView::rowsMoving() const {
  const double at = now();
  return std::any_of(transitions_.begin(), transitions_.end(),
                     [at](const RowTransition& row) { return !row.transition.finished(at); });
}

ProcessingView::Layout ProcessingView::layout() const {
  Layout result;
  const DoubleBubbleLogo logo{kLogoSize};
  const QSizeF logoSize = logo.frameSize();
  result.wordmarkText = layoutText(QStringLiteral("murmela"), kWordmarkStyle);
  const qreal headerHeight = std::max(logoSize.height(), result.wordmarkText.height());
  const qreal headerWidth = logoSize.width() + kHeaderSpacing + result.wordmarkText.width();
  const qreal headerLeft = (kWidth - headerWidth) / 2.0;
  result.logo = QRectF(QPointF(headerLeft, kHeaderTop + (headerHeight - logoSize.height()) / 2.0), logoSize);
  result.wordmark = QRectF(
      QPointF(result.logo.right() + kHeaderSpacing, kHeaderTop + (headerHeight - result.wordmarkText.height()) / 2.0),
      result.wordmarkText.size);

  // The main column: title block, progress block, checklist.
  result.eyebrowText = eyebrow().layout();
  const QString title = QStringLiteral("Wrapping-up\nyou & ") + host_.processingDisplayName() + QLatin1Char('.');
  // A long name wraps, but the title stops at its last line that still
  // leaves the checklist clear of the aside.
  result.titleText = layoutText(title, OnbTitle{title, kTitleSize}.style(), kWidth, kTitleLines);
  const ProcessingProgress progress = host_.processingProgress();
  const std::optional<double>& estimate = progress.estimatedRemainingSeconds;
  const bool hasEstimate = estimate && std::isfinite(*estimate);
  if (hasEstimate)
    result.remainingText = layoutText(
        QStringLiteral("Est. ") + formatRemaining(*estimate) + QStringLiteral(" remaining"), kRemainingStyle);
  const qreal rowsWidth = kWidth - 2.0 * kChecklistInset;
  const qreal labelWidth = rowsWidth - kIndicator.diameter - kRowSpacing;
  QList<qreal> rowHeights;
  for (qsizetype i = 0; i < looks_.size(); ++i) {
    TextLayout label = layoutText(looks_[i].label, labelStyle(looks_[i].state, looks_[i].italic), labelWidth, 1);
    rowHeights.append(std::max(kIndicator.diameter, label.height()));
    result.labels.append(std::move(label));
  }

  Stack column = Stack::vertical(kMainColumnSpacing);
  Stack titleBlock = Stack::vertical(kTitleBlockSpacing);
  titleBlock.add(QSizeF(kWidth, result.eyebrowText.height()));
  titleBlock.add(QSizeF(kWidth, result.titleText.height()));
  Stack progressBlock = Stack::vertical(kProgressBlockSpacing);
  progressBlock.add(QSizeF(kRingSize, kRingSize));
  if (hasEstimate) progressBlock.add(result.remainingText.size, Insets{kRemainingTopPadding, 0, 0, 0});
  Stack checklist = Stack::vertical(kChecklistSpacing, StackAlign::leading);
  for (const qreal height : rowHeights) checklist.add(QSizeF(rowsWidth, height));
  column.add(titleBlock.idealLength(), kWidth);
  column.add(progressBlock.idealLength(), kWidth, Insets{0, 0, kProgressBlockBottomPadding, 0});
  column.add(checklist.idealLength(), rowsWidth, Insets::horizontal(kChecklistInset));
  const QList<QRectF> blocks = column.layout(QRectF(0.0, kMainColumnTop, kWidth, column.idealLength()));

  const QList<QRectF> titleFrames = titleBlock.layout(blocks[0]);
  result.eyebrow = alignedRect(result.eyebrowText.size, titleFrames[0], Qt::AlignCenter);
  result.title = alignedRect(result.titleText.size, titleFrames[1], Qt::AlignCenter);
  const QList<QRectF> progressFrames = progressBlock.layout(blocks[1]);
  result.ring = progressFrames[0];
  if (hasEstimate) result.remaining = progressFrames[1];
  result.percentText = layoutText(wholePercentText(progress.fraction), kPercentStyle);
  result.percentSign = layoutText(QStringLiteral("%"), kPercentSignStyle);
  const BaselineRowLayout percentRow =
      layoutBaselineRow({BaselineItem::of(result.percentText), BaselineItem::of(result.percentSign)}, 1.0);
  result.percent = alignedRect(percentRow.size, result.ring, Qt::AlignCenter);
  const QList<QRectF> rowFrames = checklist.layout(blocks[2]);
  for (qsizetype i = 0; i < rowFrames.size(); ++i) {
    const QRectF& row = rowFrames[i];
    result.rows.append(row);
    result.indicators.append(
        QRectF(row.left(), row.center().y() - kIndicator.diameter / 2.0, kIndicator.diameter, kIndicator.diameter));
  }

  result.asideText = layoutText(kAsideText, kAsideStyle, kWidth - 2.0 * kAsideInset);
  result.aside = QRectF(kAsideInset, kAsideTop, kWidth - 2.0 * kAsideInset, result.asideText.height());
  return result;
}

void ProcessingView::paintContent(QPainter& painter) const {
  if (!layout_) layout_ = layout();
  const Layout& geometry = *layout_;
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);

  DoubleBubbleLogo{kLogoSize}.paint(painter, geometry.logo);
  geometry.wordmarkText.draw(painter, geometry.wordmark.topLeft());
  eyebrow().paint(painter, geometry.eyebrow);
  geometry.titleText.draw(painter, geometry.title.topLeft());

  ring_.paint(painter, geometry.ring, host_.processingProgress().fraction);
  const BaselineRowLayout percentRow =
      layoutBaselineRow({BaselineItem::of(geometry.percentText), BaselineItem::of(geometry.percentSign)}, 1.0);
  geometry.percentText.draw(painter, geometry.percent.topLeft() + percentRow.frames[0].topLeft());
  geometry.percentSign.draw(painter, geometry.percent.topLeft() + percentRow.frames[1].topLeft());
  if (geometry.remaining) geometry.remainingText.draw(painter, geometry.remaining->topLeft());

  const double at = now();
  for (qsizetype i = 0; i < geometry.rows.size(); ++i) {
    const RowLook& look = looks_[i];
    RowTransition& change = transitions_[i];
    const qreal p = change.transition.progress(at);
    const QRectF labelBox(geometry.indicators[i].right() + kRowSpacing, geometry.rows[i].top(),
                          geometry.rows[i].right() - geometry.indicators[i].right() - kRowSpacing,
                          geometry.rows[i].height());
    const auto paintLook = [&](const RowLook& shown, const TextLayout& label, qreal opacity, qreal dy) {
      const OpacityScope faded(painter, opacity * rowOpacity(shown.state));
      const QRectF indicator = geometry.indicators[i];
      paintIndicator(painter, i, shown.state, indicator);
      paintLabel(painter, i, shown, label, labelBox, dy);
    };
    if (!change.transition.finished(at) && p < 1.0) {
      if (!change.fromText)
        change.fromText =
            layoutText(change.from.label, labelStyle(change.from.state, change.from.italic), labelBox.width(), 1);
      paintLook(change.from, *change.fromText, 1.0 - p, kLabelOffset * p);
      paintLook(look, geometry.labels[i], p, kLabelOffset * (1.0 - p));
    } else {
      paintLook(look, geometry.labels[i], 1.0, 0.0);
    }
  }

  geometry.asideText.draw(painter, geometry.aside, Qt::AlignHCenter | Qt::AlignTop);
}

void ProcessingView::paintIndicator(QPainter& painter, qsizetype row, StepState state, const QRectF& indicator) const {
  indicators_[{row, state}].paint(
      painter, indicator.adjusted(-2.0, -2.0, 2.0, 2.0), static_cast<quint64>(state),
      [&](QPainter& picture) { kIndicator.paint(picture, indicator, state); }, {},
      // Its rows are short: four of them stay well under the spans of a fill
      // that would go to the thread pool.
      [](qreal) { return kIndicatorBandRows; });
}

void ProcessingView::paintLabel(QPainter& painter, qsizetype row, const RowLook& look, const TextLayout& label,
                                const QRectF& box, qreal dy) const {
  const QRectF placed = alignedRect(label.size, box, Qt::AlignLeft | Qt::AlignVCenter);
  // A status line rises and sinks in whole device pixels, so its picture,
  // made once, is only blended (faded) while it moves: drawing faded text
  // afresh every frame is what a busy machine stalls on.
  const qreal scale = painter.deviceTransform().m11();
  const qreal shift = scale > 0.0 ? std::round(dy * scale) / scale : dy;
  const PainterStateScope moved(painter);
  painter.translate(0.0, shift);
  labelPictures_[{row, look.label, look.state, look.italic}].paint(
      painter, placed.adjusted(-kRepaintMargin, -kRepaintMargin, kRepaintMargin, kRepaintMargin), 0,
      [&](QPainter& picture) { label.draw(picture, placed.topLeft()); }, {}, [](qreal) { return kLabelBandRows; });
}

void ProcessingView::forgetUnshownLabels() {
  std::erase_if(labelPictures_, [this](const auto& entry) {
    const auto& [row, label, state, italic] = entry.first;
    const auto shows = [&](const RowLook& look) {
      return look.label == label && look.state == state && look.italic == italic;
    };
    return row >= looks_.size() ||
           (!shows(looks_[row]) && (row >= transitions_.size() || !shows(transitions_[row].from)));
  });
}

void ProcessingView::preparePictures() const {
  if (!layout_) layout_ = layout();
  QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
  scratch.setDevicePixelRatio(devicePixelRatioF());
  QPainter painter(&scratch);
  ring_.paint(painter, layout_->ring, host_.processingProgress().fraction);
  for (qsizetype i = 0; i < layout_->indicators.size() && i < looks_.size(); ++i)
    paintIndicator(painter, i, looks_[i].state, layout_->indicators[i]);
}

void ProcessingView::showEvent(QShowEvent* event) {
  OnboardingScreen::showEvent(event);
  // The first paint is the screen's costliest: the ring's and the marks'
  // pictures are made now, as the screen comes up, and that paint only shows them.
  preparePictures();
  const PhaseEntry& entry = phases_.at(activeIndex_);
  if (entry.active && entry.spec.activePool.size() >= 2 && !rotation_.isActive()) rotation_.start();
  frames_.kick();
}

void ProcessingView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  rotation_.stop();
}

}  // namespace murmela
