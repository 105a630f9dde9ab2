#include "screens/picker/FailedRunPanel.h"

#include "kit/access/PaintedReader.h"
#include "kit/controls/MurmelaButtonStyles.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "sheets/ScrollingPlainText.h"
#include "theme/MurmelaTheme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextEdit>

#include <cmath>

namespace murmela {
namespace {

const QString kTitle = QStringLiteral("Last analysis failed");
const QString kCopyLog = QStringLiteral("Copy log");
const QString kDismiss = QStringLiteral("Dismiss");

const TextStyle kTitleStyle{
    .typeface = Typeface::inter, .size = 10, .weight = QFont::DemiBold, .color = MurmelaTheme::rose};
const TextStyle kErrorStyle{
    .typeface = Typeface::inter, .size = 10, .color = MurmelaTheme::rose, .alignment = TextAlign::center};

const MurmelaGhostButtonStyle kButton{.compact = true};

// Read-only text that shows exactly the lines it is given, centred, and that
// the user can select and copy (clicked, it takes the keyboard for that; Tab
// passes it by). Readers see it as read-only text, not as a label.
QTextEdit* selectableText(const QFont& font, const QColor& color, const QString& name, QWidget* parent) {
  auto* text = new QTextEdit(parent);
  text->setReadOnly(true);
  text->setAcceptRichText(false);
  text->setUndoRedoEnabled(false);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text->setFocusPolicy(Qt::ClickFocus);
  text->setFrameShape(QFrame::NoFrame);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text->setLineWrapMode(QTextEdit::WidgetWidth);
  text->setWordWrapMode(QTextOption::NoWrap);  // the lines come broken
  text->document()->setDocumentMargin(0.0);
  QTextOption centred = text->document()->defaultTextOption();
  centred.setAlignment(Qt::AlignHCenter);
  text->document()->setDefaultTextOption(centred);
  text->setFont(font);
  text->setContentsMargins(0, 0, 0, 0);
  text->viewport()->setAutoFillBackground(false);
  QPalette colours = text->palette();
  colours.setColor(QPalette::Base, Qt::transparent);
  colours.setColor(QPalette::Text, color);
  colours.setColor(QPalette::Highlight, withOpacity(MurmelaTheme::sage, 0.45));
  colours.setColor(QPalette::HighlightedText, color);
  text->setPalette(colours);
  text->setAccessibleName(name);
  return text;
}

// Shows `lines` in `text` at `rect`'s top left and width; returns the rectangle it takes.
QRectF place(QTextEdit* text, const QString& lines, QPointF topLeft, qreal width) {
  text->setPlainText(lines);
  text->document()->setTextWidth(width);
  const QRectF rect(topLeft, QSizeF(width, std::ceil(text->document()->size().height())));
  text->setGeometry(rect.toAlignedRect());
  return rect;
}

// The longest start of `text` that fits `width`.
qsizetype fittingLength(const QString& text, const QFontMetricsF& metrics, qreal width) {
  qsizetype fit = text.size();
  while (fit > 1 && metrics.horizontalAdvance(text.left(fit)) > width) --fit;
  return fit;
}

}  // namespace

QString FailedRunPanel::logLines(const QString& text, const QFontMetricsF& metrics, qreal width) {
  const qsizetype fit = fittingLength(text, metrics, width);
  if (fit == text.size()) return text;
  // The first line ends after the last separator that fits (a folder's
  // "/", or the space after "Log:"), so no name is split in two; only a
  // name too long for a whole line is broken where the line is full.
  qsizetype cut = fit;
  for (qsizetype at = fit; at > 0; --at) {
    const QChar before = text.at(at - 1);
    if (before == QLatin1Char('/') || before == QLatin1Char('\\') || before == QLatin1Char(' ')) {
      cut = at;
      break;
    }
  }
  // The second line keeps the end (the file's name) and loses the middle of what is left.
  return text.left(cut).trimmed() + QLatin1Char('\n') + metrics.elidedText(text.mid(cut), Qt::ElideMiddle, width);
}

QString FailedRunPanel::spokenSummary(const QString& error) { return kTitle + QStringLiteral(". ") + error; }

FailedRunPanel::FailedRunPanel(std::function<void()> copyLog, std::function<void()> dismiss, QWidget* parent)
    : QWidget(parent), copyLog_(std::move(copyLog)), dismiss_(std::move(dismiss)) {
  setAutoFillBackground(false);
  errorText_ = selectableText(kErrorStyle.font(), MurmelaTheme::rose, QStringLiteral("Error"), this);
  logText_ = selectableText(monospacedFont(kLogFontSize), MurmelaTheme::inkSoft, QStringLiteral("Log file"), this);
  buttons_ = new ButtonHost(this, [this] { return targets(); });
  reader_ = new PaintedReader(this, buttons_);
  reader_->setTexts([this] { return QList<ShownText>{shownText(layout_.title, layout_.titleRect, true)}; });
  setFocusPolicy(Qt::TabFocus);
  // A named group to screen readers, not an anonymous area.
  setAccessibleName(kTitle);
  reader_->setRole(QAccessible::Grouping);
}

void FailedRunPanel::setContent(const QString& error, const std::optional<QString>& logFilePath) {
  // The same again changes nothing: readers hear of a text each time it is set.
  if (content_ && content_->first == error && content_->second == logFilePath) return;
  content_.emplace(error, logFilePath);
  const qreal textWidth = kWidth - 2.0 * kPadding;
  Layout result;
  result.title = layoutText(kTitle, kTitleStyle);
  result.titleRect = QRectF(QPointF((kWidth - result.title.width()) / 2.0, kPadding), result.title.size);
  qreal top = result.titleRect.bottom() + kSpacing;
  // The lines are the kit's (cut to six with an ellipsis); the text shows
  // them as they are and is as tall as it sets them.
  result.error = layoutText(error, kErrorStyle, textWidth, kErrorLines);
  result.errorRect = place(errorText_, result.error.shownText(), QPointF(kPadding, top), textWidth);
  top = result.errorRect.bottom() + kSpacing;

  // Readers are given the whole of both, however much the box shows.
  QString description = error;
  if (logFilePath) {
    const QString log = QStringLiteral("Log: ") + *logFilePath;
    result.logText = logLines(log, QFontMetricsF(logText_->font()), textWidth);
    result.logRect = place(logText_, result.logText, QPointF(kPadding, top), textWidth);
    logText_->show();
    top = result.logRect.bottom() + kSpacing;
    description += QLatin1Char('\n') + log;
  } else {
    logText_->clear();
    logText_->hide();
  }
  setAccessibleDescription(description);

  const QSizeF copySize = kButton.size(kCopyLog);
  const QSizeF dismissSize = kButton.size(kDismiss);
  const qreal rowWidth = copySize.width() + kButtonSpacing + dismissSize.width();
  const qreal rowHeight = std::max(copySize.height(), dismissSize.height());
  const qreal left = (kWidth - rowWidth) / 2.0;
  result.copyLog = QRectF(QPointF(left, top + (rowHeight - copySize.height()) / 2.0), copySize);
  result.dismiss = QRectF(
      QPointF(result.copyLog.right() + kButtonSpacing, top + (rowHeight - dismissSize.height()) / 2.0), dismissSize);
  result.height = top + rowHeight + kPadding;
  layout_ = std::move(result);
  resize(static_cast<int>(kWidth), static_cast<int>(std::ceil(layout_.height)));
  update();
  reader_->contentChanged();
}

void FailedRunPanel::paintPanel(QPainter& painter) const {
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds(0.0, 0.0, kWidth, layout_.height);
  // A plain fill: its corners show outside the rounded outline.
  painter.fillRect(bounds, MurmelaTheme::creamDeep);
  painter.strokePath(roundedRectPath(bounds.adjusted(0.5, 0.5, -0.5, -0.5), kCornerRadius),
                     QPen(withOpacity(MurmelaTheme::rose, 0.4), 1.0));
  layout_.title.draw(painter, layout_.titleRect.topLeft());
  kButton.paint(painter, layout_.copyLog, kCopyLog, buttons_->state(copyLogButton),
                buttons_->showsFocus(copyLogButton));
  kButton.paint(painter, layout_.dismiss, kDismiss, buttons_->state(dismissButton),
                buttons_->showsFocus(dismissButton));
}

void FailedRunPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintPanel(painter);
}

QList<ButtonTarget> FailedRunPanel::targets() const {
  return {{.id = copyLogButton, .rect = layout_.copyLog, .action = copyLog_, .name = kCopyLog},
          {.id = dismissButton, .rect = layout_.dismiss, .action = dismiss_, .name = kDismiss}};
}

}  // namespace murmela
