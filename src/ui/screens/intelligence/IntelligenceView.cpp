#include "screens/intelligence/IntelligenceView.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "screens/common/OnboardingButtonRow.h"
#include "sheets/PythonInstallHelpSheet.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

constexpr qreal kFullWidth = OnboardingFrame::kSize.width();

const QString kEyebrow = QStringLiteral("help me understand —");
const QString kTitle = QStringLiteral("How should Murmela think?");
const QString kRuntimeSetup = QStringLiteral("Show runtime setup");

IntelligenceCard makeHybridCard(bool selected, bool disabled) {
  return {IntelligenceCard::Kind::hybrid,
          QStringLiteral("Hybrid intelligence"),
          QStringLiteral("Local privacy filter · Cloud Analysis"),
          true,
          selected,
          disabled,
          {QStringLiteral("PII is replaced locally before cloud analysis."),
           QStringLiteral("Uses a one-time Murmela privacy runtime download."),
           QStringLiteral("Equivalent quality to fully Cloud Intelligence.")}};
}

IntelligenceCard makeCloudCard(bool selected) {
  return {
      IntelligenceCard::Kind::cloud,
      QStringLiteral("Cloud intelligence"),
      QStringLiteral("Less setup · Faster · No PII filtering"),
      false,
      selected,
      false,
      {QStringLiteral("Conversation excerpts are processed by cloud AI model."),
       QStringLiteral("Murmela does not store your data."), QStringLiteral("PII is not filtered before analysis.")}};
}

TextStyle reasonStyle() {
  return {.typeface = Typeface::inter,
          .size = 10.0,
          .color = MurmelaTheme::rose,
          .lineSpacing = 2.0,
          .alignment = TextAlign::center};
}

// The runtime is what keeps hybrid mode from running: its setup help can help.
bool runtimeIsTheReason(HybridPrivacyCapability::Kind kind) {
  return kind == HybridPrivacyCapability::Kind::pythonTooOld || kind == HybridPrivacyCapability::Kind::pythonTooNew ||
         kind == HybridPrivacyCapability::Kind::pythonMissing;
}

}  // namespace

IntelligenceView::IntelligenceView(IntelligenceHost host, QWidget* parent)
    : OnboardingScreen(kStep, parent), host_(std::move(host)) {
  buttonHost().setDefaultButton(continueButton);
  host_.choiceChanged(this, [this] { contentChanged(); });
  host_.pythonInstallHelpVisibleChanged(this, [this] { followHelpFlag(); });
}

IntelligenceView::~IntelligenceView() {
  if (helpSheet_) {
    // Going away with the sheet up counts as closing it.
    PythonInstallHelpSheet* sheet = helpSheet_;
    helpSheet_ = nullptr;
    sheet->disconnect(this);
    delete sheet;
    if (host_.pythonInstallHelpVisible()) host_.setPythonInstallHelpVisible(false);
  }
}

void IntelligenceView::showEvent(QShowEvent* event) {
  OnboardingScreen::showEvent(event);
  followHelpFlag();
}

void IntelligenceView::followHelpFlag() {
  const bool wanted = host_.pythonInstallHelpVisible();
  if (!wanted && helpSheet_) {
    helpSheet_->reject();
    return;
  }
  // The sheet needs this screen in its window to sit over it.
  if (!wanted || helpSheet_ || !isVisible()) return;
  auto* sheet = new PythonInstallHelpSheet(kBuildCommand, this);
  helpSheet_ = sheet;
  buttonHost().returnFocusAfter(sheet);
  connect(sheet, &QDialog::finished, this, [this, sheet] {
    if (helpSheet_ == sheet) helpSheet_ = nullptr;
    sheet->deleteLater();
    if (host_.pythonInstallHelpVisible()) host_.setPythonInstallHelpVisible(false);
  });
  sheet->present();
}

void IntelligenceView::back() { host_.back(); }

IntelligenceView::Layout IntelligenceView::layout() const {
  Layout l;
  l.eyebrow = Eyebrow{kEyebrow, MurmelaTheme::sageDeep, kEyebrowRotation};
  l.eyebrowRect = l.eyebrow.rect(kEyebrowTop, 0.0, kFullWidth);
  l.title = OnbTitle{kTitle, kTitleSize}.layout(kFullWidth);
  l.titleRect = centredRect(l.title, kTitleTop, 0.0, kFullWidth);

  const HybridPrivacyCapability capability = host_.hybridCapability();
  l.cloudMode = host_.intelligenceChoice() == IntelligenceChoice::cloud;
  const qreal cardWidth = kFullWidth - 2.0 * kCardsSides;
  l.hybrid = makeHybridCard(!l.cloudMode, !capability.isAvailable());
  l.hybridLayout = l.hybrid.layout(QPointF(kCardsSides, kCardsTop), cardWidth);
  l.cloud = makeCloudCard(l.cloudMode);
  l.cloudLayout = l.cloud.layout(QPointF(kCardsSides, l.hybridLayout.card.bottom() + kCardSpacing), cardWidth);

  if (const std::optional<QString> reason = host_.hybridUnavailableReason()) {
    // The notice sits 532 from the top, or lower where the two cards reach
    // further down (they grow with their texts), so that it never runs over
    // the cloud card's edge; it ends above the pill, which stays in place.
    l.hasNotice = true;
    l.noticeTop = std::max(kNoticeTop, l.cloudLayout.card.bottom() + kNoticeClearance);
    const qreal width = kFullWidth - 2.0 * kNoticeSides;
    qreal room = kPillTop - kNoticeGap - l.noticeTop;
    std::optional<QSizeF> button;
    if (runtimeIsTheReason(capability.kind())) {
      button = MurmelaGhostButtonStyle{true}.size(kRuntimeSetup);
      room -= kNoticeSpacing + button->height();
    }
    // A long reason wraps, then shrinks a little, and is cut short only
    // after that, before it would reach the pill.
    l.reason = fitText(*reason, reasonStyle(), QSizeF(width, room), kReasonMinimumScale);
    l.reasonRect = centredRect(l.reason, l.noticeTop, kNoticeSides, width);
    if (button)
      l.runtimeSetup =
          QRectF(QPointF((kFullWidth - button->width()) / 2.0, l.reasonRect.bottom() + kNoticeSpacing), *button);
  }

  // The pill: the lock and two lines, centred in a padded capsule.
  const QColor accent = l.cloudMode ? MurmelaTheme::rose : MurmelaTheme::sageDeep;
  Pill& pill = l.pill;
  pill.first =
      layoutText(l.cloudMode ? QStringLiteral("Cloud Processing") : QStringLiteral("Local Privacy · Cloud Analysis"),
                 TextStyle{.typeface = Typeface::inter,
                           .size = 11.0,
                           .weight = QFont::DemiBold,
                           .tracking = 1.7,
                           .upperCase = true,
                           .color = accent});
  pill.second = layoutText(
      l.cloudMode ? QStringLiteral("Excerpts processed in the cloud") : QStringLiteral("PII scrubbed before upload"),
      TextStyle{.typeface = Typeface::inter,
                .size = 9.0,
                .weight = QFont::Medium,
                .tracking = 1.3,
                .upperCase = true,
                .color = MurmelaTheme::inkSoft});
  const QSizeF icon = symbolSize(Symbol::lockFill, kPillIconSize);
  const qreal linesWidth = std::max(pill.first.width(), pill.second.width());
  const qreal linesHeight = pill.first.height() + kPillLineSpacing + pill.second.height();
  const QSizeF content(icon.width() + kPillSpacing + linesWidth, std::max(icon.height(), linesHeight));
  pill.rect = QRectF(QPointF((kFullWidth - content.width() - kPillPadding.width()) / 2.0, kPillTop),
                     kPillPadding.grown(content));
  const QRectF inner = kPillPadding.inset(pill.rect);
  pill.icon = QRectF(QPointF(inner.left(), inner.center().y() - icon.height() / 2.0), icon);
  const qreal linesLeft = pill.icon.right() + kPillSpacing;
  const qreal linesTop = inner.center().y() - linesHeight / 2.0;
  pill.firstRect = QRectF(QPointF(linesLeft + (linesWidth - pill.first.width()) / 2.0, linesTop), pill.first.size);
  pill.secondRect =
      QRectF(QPointF(linesLeft + (linesWidth - pill.second.width()) / 2.0, pill.firstRect.bottom() + kPillLineSpacing),
             pill.second.size);

  const OnboardingButtonRow row = OnboardingButtonRow::layout();
  l.back = row.back;
  l.continueRect = row.next;
  return l;
}

QList<ButtonTarget> IntelligenceView::buttonTargets() const {
  const Layout l = layout();
  auto* self = const_cast<IntelligenceView*>(this);
  // The two cards are a choice of one: radio buttons named by their titles.
  QList<ButtonTarget> targets{
      {.id = hybridCard,
       .rect = l.hybridLayout.card,
       .shape = roundedRectPath(l.hybridLayout.card, IntelligenceCard::kRadius),
       .enabled = !l.hybrid.disabled,
       .action = [self] { self->host_.selectIntelligence(IntelligenceChoice::hybrid); },
       .role = ButtonRole::radio,
       .name = l.hybrid.title,
       .checked = l.hybrid.selected,
       .description = IntelligenceCard::spokenDetails(l.hybridLayout)},
      {.id = cloudCard,
       .rect = l.cloudLayout.card,
       .shape = roundedRectPath(l.cloudLayout.card, IntelligenceCard::kRadius),
       .action = [self] { self->host_.selectIntelligence(IntelligenceChoice::cloud); },
       .role = ButtonRole::radio,
       .name = l.cloud.title,
       .checked = l.cloud.selected,
       .description = IntelligenceCard::spokenDetails(l.cloudLayout)},
  };
  if (l.runtimeSetup)
    targets.append({.id = runtimeSetupButton,
                    .rect = *l.runtimeSetup,
                    .shape = capsulePath(*l.runtimeSetup),
                    .action = [self] { self->host_.showPythonInstallHelp(); },
                    .name = spokenLabel(kRuntimeSetup)});
  targets.append({.id = backButton,
                  .rect = l.back,
                  .shape = capsulePath(l.back),
                  .action = [self] { self->back(); },
                  .name = spokenLabel(OnboardingButtonRow::kBack)});
  targets.append({.id = continueButton,
                  .rect = l.continueRect,
                  .shape = capsulePath(l.continueRect),
                  .action = [self] { self->host_.confirmIntelligenceChoice(); },
                  .name = spokenLabel(OnboardingButtonRow::kContinue)});
  return targets;
}

QList<ShownText> IntelligenceView::shownTexts() const {
  const Layout l = layout();
  QList<ShownText> texts{withId(shownText(l.eyebrow.layout(), l.eyebrowRect), 0),
                         withId(shownText(l.title, l.titleRect, true), 1)};
  if (l.hasNotice) texts.append(withId(shownText(l.reason, l.reasonRect), 2));
  texts.append(withId(shownText(l.pill.first, l.pill.firstRect), 3));
  texts.append(withId(shownText(l.pill.second, l.pill.secondRect), 4));
  return texts;
}

void IntelligenceView::paintContent(QPainter& painter) const {
  const Layout l = layout();
  painter.setRenderHint(QPainter::Antialiasing);
  l.eyebrow.paint(painter, l.eyebrowRect);
  l.title.draw(painter, l.titleRect.topLeft());
  l.hybrid.paint(painter, l.hybridLayout, buttonState(hybridCard), showsFocus(hybridCard));
  l.cloud.paint(painter, l.cloudLayout, buttonState(cloudCard), showsFocus(cloudCard));
  if (l.hasNotice) {
    l.reason.draw(painter, l.reasonRect.topLeft());
    if (l.runtimeSetup)
      MurmelaGhostButtonStyle{true}.paint(painter, *l.runtimeSetup, kRuntimeSetup, buttonState(runtimeSetupButton),
                                          showsFocus(runtimeSetupButton));
  }

  const Pill& pill = l.pill;
  const QColor accent = l.cloudMode ? MurmelaTheme::rose : MurmelaTheme::sageDeep;
  const QPainterPath capsule = capsulePath(pill.rect);
  painter.fillPath(capsule, MurmelaTheme::creamDeep);
  drawSymbol(painter, Symbol::lockFill, pill.icon, kPillIconSize, SymbolWeight::regular, accent);
  pill.first.draw(painter, pill.firstRect.topLeft());
  pill.second.draw(painter, pill.secondRect.topLeft());
  {
    // Clipped to the capsule: only the inner half of the outline shows.
    PainterStateScope clipped(painter);
    painter.setClipPath(capsule, Qt::IntersectClip);
    painter.strokePath(capsule, StrokeStyle{}.pen(withOpacity(accent, kPillOutlineOpacity)));
  }

  MurmelaGhostButtonStyle{}.paint(painter, l.back, OnboardingButtonRow::kBack, buttonState(backButton),
                                  showsFocus(backButton));
  MurmelaPrimaryButtonStyle{false}.paint(painter, l.continueRect, OnboardingButtonRow::kContinue,
                                         buttonState(continueButton), showsFocus(continueButton));
}

}  // namespace murmela
