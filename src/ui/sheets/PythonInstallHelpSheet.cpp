#include "sheets/PythonInstallHelpSheet.h"

#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "sheets/SheetCloseButton.h"
#include "theme/FontFactory.h"
#include "theme/MurmelaTheme.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

const QString kCopyLabel = QStringLiteral("Copy build command");
const QString kDoneLabel = QStringLiteral("Done");

TextStyle titleStyle() { return {.typeface = Typeface::dmSerifDisplay, .size = 26.0, .color = MurmelaTheme::ink}; }
TextStyle introStyle() {
  return {.typeface = Typeface::inter, .size = 12.0, .color = MurmelaTheme::inkSoft, .lineSpacing = 3.0};
}
TextStyle sectionHeaderStyle() {
  return {.typeface = Typeface::inter,
          .size = 10.0,
          .weight = QFont::DemiBold,
          .tracking = 1.6,
          .upperCase = true,
          .color = MurmelaTheme::sageDeep};
}
TextStyle stepNumberStyle() {
  return {.typeface = Typeface::inter, .size = 10.0, .weight = QFont::Bold, .color = MurmelaTheme::cream};
}
TextStyle stepTextStyle() {
  return {.typeface = Typeface::inter, .size = 12.0, .color = MurmelaTheme::ink, .lineSpacing = 2.0};
}

QFont commandFont() {
  return FontFactory::resized(QFontDatabase::systemFont(QFontDatabase::FixedFont),
                              PythonInstallHelpSheet::kCommandFontSize);
}

}  // namespace

QString PythonInstallHelpSheet::title() { return QStringLiteral("Install Hybrid Privacy Runtime"); }

QString PythonInstallHelpSheet::introduction() {
  return QStringLiteral(
      "Hybrid Intelligence uses Murmela's own downloadable Python/MLX runtime. No system Python, Homebrew, or "
      "user-side package install is required.");
}

QString PythonInstallHelpSheet::sectionHeader() { return QStringLiteral("Development setup"); }

QList<QString> PythonInstallHelpSheet::stepTexts() {
  return {
      QStringLiteral("Build the standalone runtime archive once in the repo."),
      QStringLiteral("Murmela looks for Build/MurmelaPrivacyRuntime.tar.gz next to the debug app, or for "
                     "MURMELA_PRIVACY_RUNTIME_ARCHIVE."),
      // The runtime is installed into the application folder, which on this
      // platform lives in the user's data folder.
      QStringLiteral("Hybrid setup verifies, extracts, and smoke-tests that archive into Murmela's data folder "
                     "(~/.local/share/murmela-app)."),
  };
}

void PythonInstallHelpSheet::copyToClipboard(const QString& text) {
  // A fresh mime record replaces everything the clipboard held.
  auto* data = new QMimeData;
  data->setText(text);
  QGuiApplication::clipboard()->setMimeData(data);
}

PythonInstallHelpSheet::PythonInstallHelpSheet(QString buildCommand, QWidget* parent)
    : OnboardingSheet(kWidth, parent), buildCommand_(std::move(buildCommand)) {
  setWindowTitle(title());
  command_ = new QLabel(this);
  command_->setTextFormat(Qt::PlainText);
  command_->setText(buildCommand_);
  command_->setWordWrap(true);
  command_->setFont(commandFont());
  command_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  command_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = command_->palette();
  palette.setColor(QPalette::WindowText, MurmelaTheme::ink);
  palette.setColor(QPalette::Text, MurmelaTheme::ink);
  palette.setColor(QPalette::Highlight, withOpacity(MurmelaTheme::sage, 0.45));
  palette.setColor(QPalette::HighlightedText, MurmelaTheme::ink);
  command_->setPalette(palette);
  command_->setContentsMargins(0, 0, 0, 0);
  relayout();
}

void PythonInstallHelpSheet::relayout() {
  Layout& l = layout_;
  const qreal inner = kWidth - 2.0 * kPadding;

  // Header: the title column, a spacer and the close button, top-aligned.
  l.close = SheetCloseButton::rectAt(QPointF(kWidth - kPadding - SheetCloseButton::kDiameter, kPadding));
  const qreal columnWidth = inner - SheetCloseButton::kDiameter - 2.0 * kHeaderSpacing;
  l.title = layoutText(title(), titleStyle(), columnWidth);
  l.titleRect = QRectF(QPointF(kPadding, kPadding), l.title.size);
  l.intro = layoutText(introduction(), introStyle(), columnWidth);
  l.introRect = QRectF(QPointF(kPadding, l.titleRect.bottom() + kTitleSpacing), l.intro.size);
  const qreal headerBottom = std::max(l.introRect.bottom(), l.close.bottom());

  // The development section, its rows stacked 10 apart inside 14 of padding.
  const qreal sectionTop = headerBottom + kPartSpacing;
  const qreal left = kPadding + kSectionPadding;
  const qreal rowWidth = inner - 2.0 * kSectionPadding;
  qreal y = sectionTop + kSectionPadding;
  l.sectionHeader = layoutText(sectionHeader(), sectionHeaderStyle());
  l.sectionHeaderRect = QRectF(QPointF(left, y), l.sectionHeader.size);
  y = l.sectionHeaderRect.bottom() + kSectionSpacing;

  const QList<QString> texts = stepTexts();
  l.steps.clear();
  const auto addStep = [&](int index) {
    Step step;
    step.badge = QRectF(left, y, kStepBadge, kStepBadge);
    step.number = layoutText(QString::number(index + 1), stepNumberStyle());
    step.text = layoutText(texts[index], stepTextStyle(), rowWidth - kStepBadge - 2.0 * kStepSpacing);
    step.textRect = QRectF(QPointF(step.badge.right() + kStepSpacing, y), step.text.size);
    y = std::max(step.badge.bottom(), step.textRect.bottom()) + kSectionSpacing;
    l.steps.append(step);
  };
  addStep(0);

  const qreal commandWidth = rowWidth - 2.0 * kCommandPadding;
  const qreal commandHeight = command_->heightForWidth(static_cast<int>(commandWidth));
  l.commandText = QRectF(left + kCommandPadding, y + kCommandPadding, commandWidth,
                         commandHeight > 0 ? commandHeight : command_->sizeHint().height());
  l.commandBox = QRectF(left, y, rowWidth, l.commandText.height() + 2.0 * kCommandPadding);
  const QSizeF copySize = MurmelaGhostButtonStyle{true}.size(kCopyLabel);
  l.copy = QRectF(QPointF(left, l.commandBox.bottom() + kCommandSpacing), copySize);
  y = l.copy.bottom() + kSectionSpacing;

  addStep(1);
  addStep(2);
  const qreal sectionBottom = y - kSectionSpacing + kSectionPadding;
  l.section = QRectF(kPadding, sectionTop, inner, sectionBottom - sectionTop);

  l.done = QRectF(QPointF(kPadding, l.section.bottom() + kPartSpacing), MurmelaGhostButtonStyle{}.size(kDoneLabel));
  l.height = l.done.bottom() + kPadding;

  command_->setGeometry(l.commandText.toAlignedRect());
  setContentHeight(l.height);
}

QList<ButtonTarget> PythonInstallHelpSheet::buttonTargets() const {
  auto* self = const_cast<PythonInstallHelpSheet*>(this);
  return {
      {.id = closeButton,
       .rect = layout_.close,
       .shape = SheetCloseButton::shape(layout_.close),
       .action = [self] { self->reject(); },
       .name = SheetCloseButton::kName},
      {.id = copyButton,
       .rect = layout_.copy,
       .action = [self] { self->copy_(self->buildCommand_); },
       .name = kCopyLabel},
      {.id = doneButton, .rect = layout_.done, .action = [self] { self->reject(); }, .name = kDoneLabel},
  };
}

QList<ShownText> PythonInstallHelpSheet::shownTexts() const {
  QList<ShownText> texts{shownText(layout_.title, layout_.titleRect, true), shownText(layout_.intro, layout_.introRect),
                         shownText(layout_.sectionHeader, layout_.sectionHeaderRect)};
  for (const Step& step : layout_.steps)
    texts.append({.text = step.number.shownText() + QStringLiteral(". ") + shownText(step.text, step.textRect).text,
                  .rect = step.textRect.united(step.badge)});
  return texts;
}

void PythonInstallHelpSheet::paintStep(QPainter& painter, const Step& step) const {
  painter.fillPath(ellipsePath(step.badge), MurmelaTheme::sageDeep);
  step.number.draw(painter, step.badge, Qt::AlignCenter);
  step.text.draw(painter, step.textRect.topLeft());
}

void PythonInstallHelpSheet::paintContent(QPainter& painter) const {
  const Layout& l = layout_;
  painter.setRenderHint(QPainter::Antialiasing);
  l.title.draw(painter, l.titleRect.topLeft());
  l.intro.draw(painter, l.introRect.topLeft());
  SheetCloseButton::paint(painter, l.close, buttonState(closeButton), showsFocus(closeButton));

  const QPainterPath section = roundedRectPath(l.section, kSectionRadius);
  painter.fillPath(section, MurmelaTheme::creamDeep);
  l.sectionHeader.draw(painter, l.sectionHeaderRect.topLeft());
  paintStep(painter, l.steps[0]);
  const QPainterPath box = roundedRectPath(l.commandBox, kCommandRadius);
  painter.fillPath(box, MurmelaTheme::cream);
  painter.strokePath(box, StrokeStyle{}.pen(withOpacity(MurmelaTheme::sageDeep, kCommandOutlineOpacity)));
  MurmelaGhostButtonStyle{true}.paint(painter, l.copy, kCopyLabel, buttonState(copyButton), showsFocus(copyButton));
  paintStep(painter, l.steps[1]);
  paintStep(painter, l.steps[2]);
  {
    // The section is clipped to its shape, which trims the outer half of its outline.
    PainterStateScope clipped(painter);
    painter.setClipPath(section, Qt::IntersectClip);
    painter.strokePath(section, StrokeStyle{}.pen(withOpacity(MurmelaTheme::sageDeep, kSectionOutlineOpacity)));
  }
  MurmelaGhostButtonStyle{}.paint(painter, l.done, kDoneLabel, buttonState(doneButton), showsFocus(doneButton));
}

}  // namespace murmela
