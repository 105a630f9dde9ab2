#include "screens/hybridsetup/HybridPrivacySetupView.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/layout/ButtonRow.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "screens/common/OnboardingText.h"
#include "screens/common/ProgressTexts.h"
#include "screens/common/StepIndicator.h"
#include "sheets/HybridSetupErrorSheet.h"
#include "theme/MurmelaTheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr int kStep = 2;
constexpr qreal kWidth = OnboardingFrame::kSize.width();
constexpr qreal kEyebrowTop = 100.0;
constexpr qreal kTitleTop = 134.0;
constexpr qreal kTitleSize = 38.0;
constexpr qreal kTitleSpacing = 14.0;
constexpr qreal kSubtitleInset = 36.0;
constexpr qreal kProgressTop = 320.0;
constexpr qreal kProgressInset = 32.0;
constexpr qreal kProgressSpacing = 8.0;
constexpr qreal kPercentSpacing = 1.0;
constexpr qreal kBarHeight = 8.0;
constexpr qreal kBarRadius = 4.0;
constexpr qreal kChecklistTop = 426.0;
constexpr qreal kChecklistInset = 32.0;
constexpr qreal kChecklistSpacing = 10.0;
constexpr qreal kRowSpacing = 10.0;  // indicator to text
constexpr qreal kIndicatorTopPadding = 1.0;
constexpr qreal kRowTextSpacing = 3.0;
constexpr int kDetailLines = 2;
constexpr qreal kPendingOpacity = 0.55;
constexpr qreal kFootnoteTop = 644.0;
constexpr qreal kFootnoteInset = 32.0;
constexpr qreal kButtonsTop = 706.0;
constexpr qreal kButtonsInset = 28.0;

const StepIndicator kIndicator{.diameter = 16.0, .lineWidth = 1.4, .checkmarkSize = 8.0, .dotDiameter = 5.0};

const Eyebrow kEyebrow{QStringLiteral("getting privacy ready \u2014"), MurmelaTheme::sageDeep, -1.5};
const QString kTitle = QStringLiteral("Installing your\nprivacy filter.");
const QString kSubtitle = QStringLiteral("Murmela installs an isolated privacy filter to sanitize your messages.");
const QString kCalmFootnote = QStringLiteral("no rush \u2014 feel free to grab some tea ;) ");
const QString kTroubleFootnote = QStringLiteral("setup needs a second look");
const QString kBack = QStringLiteral("\u2190 Back");
const QString kUseRawCloud = QStringLiteral("Use Raw Cloud \u2192");
const QString kContinue = QStringLiteral("Continue \u2192");

const TextStyle kSubtitleStyle{.typeface = Typeface::inter,
                               .size = 11,
                               .weight = QFont::Medium,
                               .tracking = 1.5,
                               .upperCase = true,
                               .color = MurmelaTheme::inkSoft,
                               .lineSpacing = 4,
                               .alignment = TextAlign::center};
const TextStyle kProgressLabelStyle{.typeface = Typeface::inter,
                                    .size = 9,
                                    .weight = QFont::Medium,
                                    .tracking = 1.6,
                                    .upperCase = true,
                                    .color = MurmelaTheme::inkSoft};
const TextStyle kPercentStyle{.typeface = Typeface::dmSerifDisplay, .size = 26, .color = MurmelaTheme::ink};
const TextStyle kPercentSignStyle{.typeface = Typeface::dmSerifDisplay, .size = 14, .color = MurmelaTheme::inkSoft};
const TextStyle kStatusStyle{.typeface = Typeface::inter,
                             .size = 9.5,
                             .weight = QFont::Medium,
                             .tracking = 1.2,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft};
const TextStyle kDetailStyle{.typeface = Typeface::inter,
                             .size = 9.5,
                             .weight = QFont::Medium,
                             .tracking = 1.0,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft};

TextStyle labelStyle(const SetupSubStep& step) {
  return {.typeface = Typeface::dmSerifDisplay,
          .size = 14,
          .color = step.done || step.active ? MurmelaTheme::ink : MurmelaTheme::inkSoft};
}

TextStyle footnoteStyle(bool trouble) {
  return {.typeface = Typeface::caveat,
          .size = 17,
          .color = trouble ? MurmelaTheme::rose : MurmelaTheme::sageDeep,
          .alignment = TextAlign::center};
}

StepState stateOf(const SetupSubStep& step) {
  return step.done ? StepState::done : step.active ? StepState::active : StepState::pending;
}

// The share of the bar that is filled: the progress within 0...1, nothing
// for a value that is not a number.
qreal barShare(double progress) { return std::isnan(progress) ? 0.0 : std::clamp(progress, 0.0, 1.0); }

QString forwardLabel(HybridForwardButton kind) {
  return kind == HybridForwardButton::useRawCloud ? kUseRawCloud : kContinue;
}

}  // namespace

HybridPrivacySetupView::HybridPrivacySetupView(PrivacyFilterSetup& setup, HybridSetupHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent), host_(std::move(host)), status_(new PrivacySetupStatus(setup, this)) {
  watch();
}

HybridPrivacySetupView::HybridPrivacySetupView(PrivacySetupStatus& status, HybridSetupHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent), host_(std::move(host)), status_(&status) {
  watch();
}

void HybridPrivacySetupView::watch() {
  buttonHost().setDefaultButton(forwardButton);
  connect(status_, &PrivacySetupStatus::changed, this, [this] { contentChanged(); });
  host_.hybridSetupErrorChanged(this, [this] { followSetupError(); });
  followSetupError();
}

void HybridPrivacySetupView::followSetupError() {
  contentChanged();
  const std::optional<QString> error = host_.hybridSetupError();
  if (!error) {
    if (HybridSetupErrorSheet* sheet = sheet_.data()) {
      sheet_.clear();
      sheet->accept();
      sheet->deleteLater();
    }
    return;
  }
  if (sheet_) {
    sheet_->setError(*error);
    return;
  }
  auto* sheet = new HybridSetupErrorSheet(*error, this);
  sheet_ = sheet;
  connect(sheet, &QDialog::rejected, this, &HybridPrivacySetupView::sheetDismissed);
  // The choices act once the sheet's own click is over: they may take this
  // screen (and the sheet with it) away.
  connect(sheet, &HybridSetupErrorSheet::useRawCloudChosen, this, &HybridPrivacySetupView::useRawCloud,
          Qt::QueuedConnection);
  connect(
      sheet, &HybridSetupErrorSheet::tryAgainChosen, this,
      [this] {
        host_.setHybridSetupError(std::nullopt);
        host_.confirmIntelligenceChoice();
      },
      Qt::QueuedConnection);
  // A screen that is not on the window yet shows the sheet when it appears.
  if (isVisible()) sheet->present();
}

void HybridPrivacySetupView::showEvent(QShowEvent* event) {
  OnboardingScreen::showEvent(event);
  if (sheet_ && !sheet_->isVisible()) sheet_->present();
}

void HybridPrivacySetupView::sheetDismissed() {
  if (HybridSetupErrorSheet* sheet = sheet_.data()) {
    sheet_.clear();
    sheet->deleteLater();
  }
  host_.setHybridSetupError(std::nullopt);
}

void HybridPrivacySetupView::useRawCloud() {
  host_.selectIntelligence(IntelligenceChoice::cloud);
  host_.setHybridSetupError(std::nullopt);
  host_.backToIntelligence();
}

HybridPrivacySetupView::Layout HybridPrivacySetupView::layout() const {
  Layout result;
  const PrivacySetupSnapshot& state = setup();
  result.eyebrow = kEyebrow.rect(kEyebrowTop, 0.0, kWidth);
  result.titleText = OnbTitle{kTitle, kTitleSize}.layout(kWidth);
  result.title = centredRect(result.titleText, kTitleTop, 0.0, kWidth);
  result.subtitleText = layoutText(kSubtitle, kSubtitleStyle, kWidth - 2.0 * kSubtitleInset);
  result.subtitle = centredRect(result.subtitleText, result.title.bottom() + kTitleSpacing, kSubtitleInset,
                                kWidth - 2.0 * kSubtitleInset);

  // Progress: the header on one baseline, the bar, the status line.
  const qreal blockLeft = kProgressInset;
  const qreal blockWidth = kWidth - 2.0 * kProgressInset;
  result.progressLabel = layoutText(QStringLiteral("Progress"), kProgressLabelStyle);
  result.percent = layoutText(wholePercentText(state.progress), kPercentStyle);
  result.percentSign = layoutText(QStringLiteral("%"), kPercentSignStyle);
  const BaselineRowLayout percentRow =
      layoutBaselineRow({BaselineItem::of(result.percent), BaselineItem::of(result.percentSign)}, kPercentSpacing);
  const BaselineRowLayout header =
      layoutBaselineRow({BaselineItem::of(result.progressLabel), BaselineItem::spacer(),
                         BaselineItem{percentRow.size.width(), percentRow.size.height(), percentRow.baseline}},
                        0.0, blockWidth);
  const QPointF headerOrigin(blockLeft, kProgressTop);
  result.progressLabelRect = header.frames[0].translated(headerOrigin);
  const QPointF percentOrigin = header.frames[2].topLeft() + headerOrigin;
  result.percentRect = percentRow.frames[0].translated(percentOrigin);
  result.percentSignRect = percentRow.frames[1].translated(percentOrigin);
  result.bar = QRectF(blockLeft, kProgressTop + header.size.height() + kProgressSpacing, blockWidth, kBarHeight);
  const qreal share = barShare(state.progress);
  if (share > 0.0) result.barFill = QRectF(result.bar.topLeft(), QSizeF(blockWidth * share, kBarHeight));
  result.statusLeft = layoutText(HybridSetupTexts::statusLeftText(state), kStatusStyle);
  result.statusRight = layoutText(HybridSetupTexts::activeStepShortLabel(state), kStatusStyle);
  const qreal statusTop = result.bar.bottom() + kProgressSpacing;
  const qreal statusHeight = std::max(result.statusLeft.height(), result.statusRight.height());
  result.statusLeftRect = alignedRect(result.statusLeft.size, QRectF(blockLeft, statusTop, blockWidth, statusHeight),
                                      Qt::AlignLeft | Qt::AlignVCenter);
  result.statusRightRect = alignedRect(result.statusRight.size, QRectF(blockLeft, statusTop, blockWidth, statusHeight),
                                       Qt::AlignRight | Qt::AlignVCenter);
  result.progressBlock = QRectF(blockLeft, kProgressTop, blockWidth, statusTop + statusHeight - kProgressTop);

  // The checklist: indicator, then the label over its detail.
  const qreal rowsWidth = kWidth - 2.0 * kChecklistInset;
  const qreal textLeft = kChecklistInset + kIndicator.diameter + kRowSpacing;
  const qreal textWidth = rowsWidth - kIndicator.diameter - kRowSpacing;
  qreal top = kChecklistTop;
  for (const SetupSubStep& step : HybridSetupTexts::checklist(state)) {
    Row row;
    row.step = step;
    row.indicator = QRectF(kChecklistInset, top + kIndicatorTopPadding, kIndicator.diameter, kIndicator.diameter);
    row.label = layoutText(step.label, labelStyle(step), textWidth, 1);
    row.labelRect = QRectF(QPointF(textLeft, top), row.label.size);
    qreal bottom = row.labelRect.bottom();
    if (step.detail) {
      row.detail = layoutText(*step.detail, kDetailStyle, textWidth, kDetailLines);
      row.detailRect = QRectF(QPointF(textLeft, bottom + kRowTextSpacing), row.detail.size);
      bottom = row.detailRect.bottom();
    }
    bottom = std::max(bottom, row.indicator.bottom());
    row.frame = QRectF(kChecklistInset, top, rowsWidth, bottom - top);
    top = bottom + kChecklistSpacing;
    result.rows.append(std::move(row));
  }

  const bool trouble = host_.hybridSetupError().has_value();
  result.footnote =
      layoutText(trouble ? kTroubleFootnote : kCalmFootnote, footnoteStyle(trouble), kWidth - 2.0 * kFootnoteInset);
  result.footnoteRect = centredRect(result.footnote, kFootnoteTop, kFootnoteInset, kWidth - 2.0 * kFootnoteInset);

  result.forwardKind = HybridSetupTexts::forwardButton(state, trouble);
  const MurmelaPrimaryButtonStyle primary{result.forwardKind == HybridForwardButton::continueDisabled};
  const ButtonRow buttons =
      ButtonRow::place(MurmelaGhostButtonStyle{}.size(kBack), primary.size(forwardLabel(result.forwardKind)),
                       kButtonsInset, kWidth - kButtonsInset, kButtonsTop);
  result.back = buttons.leading;
  result.forward = buttons.trailing;
  return result;
}

void HybridPrivacySetupView::paintContent(QPainter& painter) const {
  const Layout geometry = layout();
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  kEyebrow.paint(painter, geometry.eyebrow);
  geometry.titleText.draw(painter, geometry.title.topLeft());
  geometry.subtitleText.draw(painter, geometry.subtitle.topLeft());

  geometry.progressLabel.draw(painter, geometry.progressLabelRect.topLeft());
  geometry.percent.draw(painter, geometry.percentRect.topLeft());
  geometry.percentSign.draw(painter, geometry.percentSignRect.topLeft());
  painter.fillPath(roundedRectPath(geometry.bar, kBarRadius), withOpacity(MurmelaTheme::sageDeep, 0.14));
  if (!geometry.barFill.isEmpty()) {
    QLinearGradient gradient(geometry.barFill.topLeft(), geometry.barFill.topRight());
    gradient.setColorAt(0.0, MurmelaTheme::sageDeep);
    gradient.setColorAt(1.0, MurmelaTheme::rose);
    painter.fillPath(roundedRectPath(geometry.barFill, kBarRadius), gradient);
  }
  geometry.statusLeft.draw(painter, geometry.statusLeftRect.topLeft());
  geometry.statusRight.draw(painter, geometry.statusRightRect.topLeft());

  for (const Row& row : geometry.rows) {
    const OpacityScope faded(painter, row.step.done || row.step.active ? 1.0 : kPendingOpacity);
    kIndicator.paint(painter, row.indicator, stateOf(row.step));
    row.label.draw(painter, row.labelRect.topLeft());
    if (row.step.detail) row.detail.draw(painter, row.detailRect.topLeft());
  }

  geometry.footnote.draw(painter, geometry.footnoteRect.topLeft());
  MurmelaGhostButtonStyle{}.paint(painter, geometry.back, kBack, buttonState(backButton), showsFocus(backButton));
  const MurmelaPrimaryButtonStyle primary{geometry.forwardKind == HybridForwardButton::continueDisabled};
  primary.paint(painter, geometry.forward, forwardLabel(geometry.forwardKind), buttonState(forwardButton),
                showsFocus(forwardButton));
}

QList<ButtonTarget> HybridPrivacySetupView::buttonTargets() const {
  const Layout geometry = layout();
  ButtonTarget forward{
      .id = forwardButton, .rect = geometry.forward, .name = spokenLabel(forwardLabel(geometry.forwardKind))};
  switch (geometry.forwardKind) {
    case HybridForwardButton::useRawCloud:
      forward.action = [self = const_cast<HybridPrivacySetupView*>(this)] { self->useRawCloud(); };
      break;
    case HybridForwardButton::continueEnabled:
      forward.action = host_.confirmIntelligenceChoice;
      break;
    case HybridForwardButton::continueDisabled:
      forward.enabled = false;
      break;
  }
  return {{.id = backButton,
           .rect = geometry.back,
           .action =
               [host = host_] {
                 host.setHybridSetupError(std::nullopt);
                 host.backToIntelligence();
               },
           .name = spokenLabel(kBack)},
          forward};
}

QList<ShownText> HybridPrivacySetupView::shownTexts() const {
  const Layout geometry = layout();
  const QString percent = shownText(geometry.percent, geometry.percentRect).text;
  QList<ShownText> texts{shownText(kEyebrow.layout(), geometry.eyebrow),
                         shownText(geometry.titleText, geometry.title, true),
                         shownText(geometry.subtitleText, geometry.subtitle),
                         shownText(geometry.progressLabel, geometry.progressLabelRect),
                         {.text = percent + QLatin1Char('%'),
                          .rect = geometry.bar,
                          .progress = ProgressValue{.value = percent.toDouble()}},
                         shownText(geometry.statusLeft, geometry.statusLeftRect),
                         shownText(geometry.statusRight, geometry.statusRightRect)};
  for (int index = 0; index < static_cast<int>(texts.size()); ++index) texts[index].id = index;
  // A row's detail keeps its place whether or not the row shows one.
  const int footnote = static_cast<int>(texts.size());
  for (int index = 0; index < static_cast<int>(geometry.rows.size()); ++index) {
    const Row& row = geometry.rows[index];
    texts.append(withId(shownText(row.label, row.labelRect), footnote + 1 + 2 * index));
    if (!row.detail.lines.isEmpty())
      texts.append(withId(shownText(row.detail, row.detailRect), footnote + 2 + 2 * index));
  }
  texts.append(withId(shownText(geometry.footnote, geometry.footnoteRect), footnote));
  return texts;
}

}  // namespace murmela
