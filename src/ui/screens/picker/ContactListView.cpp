#include "screens/picker/ContactListView.h"

#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/paint/PainterState.h"

#include <QImage>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace murmela {

ContactListView::ContactListView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(false);
  setAutoFillBackground(false);
  verticalScrollBar()->setSingleStep(16);
  buttons_ = new ButtonHost(this, [this] { return rowTargets(layout_); });
  // Readers are shown every row (those out of view marked so), laid out now
  // if need be; the keys and the pointer only meet rows laid out already.
  reader_ = new PaintedReader(this, buttons_);
  reader_->setButtons([this] { return rowTargets(listLayout()); });
  reader_->setRole(QAccessible::List);
  setAccessibleName(QStringLiteral("Chats"));
}

QList<ButtonTarget> ContactListView::rowTargets(const Layout& laidOut) const {
  // Clicks reach the viewport, not this widget: the rows are listed for the
  // keys and screen readers, in this widget's coordinates.
  const QPointF shift = QPointF(viewport()->pos()) - QPointF(0.0, scrollOffset());
  auto* self = const_cast<ContactListView*>(this);
  QList<ButtonTarget> targets;
  for (int i = 0; i < laidOut.rows.size(); ++i) {
    const ChatRow::Layout& row = laidOut.rows[i];
    const bool selected = selectedHandle_ == contacts_[i].handle;
    const QString handle = contacts_[i].handle;
    targets.append({.id = i,
                    .rect = laidOut.frames[i].translated(shift),
                    .focusable = selected,
                    .action = [self, handle] { Q_EMIT self->rowActivated(handle); },
                    .role = ButtonRole::listItem,
                    .name = shownText(row.name, row.nameRect).text,
                    .checked = selected,
                    .description = QStringList{shownText(row.count, row.countRect).text,
                                               shownText(row.handle, row.handleRect).text,
                                               shownText(row.range, row.rangeRect).text}
                                       .join(QStringLiteral(", "))});
  }
  return targets;
}

void ContactListView::setContacts(const QList<ContactSummary>& contacts) {
  if (contacts == contacts_ && layoutWidth_ == viewport()->width()) return;
  contacts_ = contacts;
  relayout();
}

void ContactListView::setSelectedHandle(const std::optional<QString>& handle) {
  if (selectedHandle_ == handle) return;
  selectedHandle_ = handle;
  // A row's layout is the same selected or not: only its look changes.
  viewport()->update();
  reader_->contentChanged();
}

void ContactListView::setCoveredTop(qreal height) {
  if (coveredTop_ == height) return;
  coveredTop_ = height;
  updateRange();
  viewport()->update();
  reader_->contentChanged();
}

void ContactListView::relayout() {
  layout_ = {};
  layoutWidth_ = viewport()->width();
  layOutThrough(scrollOffset() + viewport()->height());
  updateRange();
  viewport()->update();
  reader_->contentChanged();
}

void ContactListView::layOutThrough(qreal contentY) const {
  while (layout_.rows.size() < contacts_.size() && (layout_.frames.isEmpty() || layout_.contentHeight <= contentY)) {
    const ContactSummary& contact = contacts_[layout_.rows.size()];
    ChatRow::Layout rowLayout = ChatRow{contact, selectedHandle_ == contact.handle}.layout(layoutWidth_);
    const qreal top = layout_.frames.isEmpty() ? 0.0 : layout_.contentHeight + kRowSpacing;
    layout_.frames.append(rowLayout.bounds.translated(0.0, top));
    layout_.contentHeight = top + rowLayout.bounds.height();
    layout_.rows.append(std::move(rowLayout));
  }
}

const ContactListView::Layout& ContactListView::listLayout() const {
  layOutThrough(std::numeric_limits<qreal>::infinity());
  return layout_;
}

void ContactListView::updateRange() {
  const qsizetype done = layout_.rows.size();
  qreal height = layout_.contentHeight;
  if (done > 0 && done < contacts_.size())
    height +=
        static_cast<qreal>(contacts_.size() - done) * (layout_.contentHeight + kRowSpacing) / static_cast<qreal>(done);
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(viewport()->height());
  bar->setRange(-static_cast<int>(std::ceil(coveredTop_)),
                std::max(0, static_cast<int>(std::ceil(height)) - viewport()->height()));
}

void ContactListView::scrollContentsBy(int dx, int dy) {
  QAbstractScrollArea::scrollContentsBy(dx, dy);
  // Rows laid out since (also by painting) make the range more exact.
  layOutThrough(scrollOffset() + viewport()->height());
  updateRange();
  reader_->contentChanged();
}

int ContactListView::scrollOffset() const { return verticalScrollBar()->value(); }

std::optional<int> ContactListView::rowAt(QPointF viewportPoint) const {
  const QPointF point = viewportPoint + QPointF(0.0, scrollOffset());
  layOutThrough(point.y());
  for (int i = 0; i < layout_.frames.size(); ++i)
    if (layout_.frames[i].contains(point)) return i;
  return std::nullopt;
}

void ContactListView::paintRows(QPainter& painter) const {
  const QSize size = viewport()->size();
  // The layer takes the resolution the rows land at: the device's, or the
  // scale of a painter that renders this widget into an image.
  const QTransform device = painter.deviceTransform();
  const qreal scale = std::sqrt(std::abs(device.determinant()));
  const qreal ratio = std::max({1.0, scale, painter.device() ? painter.device()->devicePixelRatioF() : 1.0});
  QImage layer(size * ratio, QImage::Format_ARGB32_Premultiplied);
  layer.setDevicePixelRatio(ratio);
  layer.fill(Qt::transparent);
  {
    QPainter rows(&layer);
    rows.setRenderHint(QPainter::Antialiasing);
    const qreal offset = scrollOffset();
    layOutThrough(offset + size.height());
    for (int i = 0; i < layout_.frames.size(); ++i) {
      const QRectF frame = layout_.frames[i].translated(0.0, -offset);
      if (frame.bottom() < 0.0 || frame.top() > size.height()) continue;
      const PainterStateScope scope(rows);
      rows.translate(frame.topLeft());
      const ChatRow row{contacts_[i], selectedHandle_ == contacts_[i].handle};
      row.paint(rows, layout_.rows[i]);
      if (buttons_->showsFocus(i)) paintInnerFocusRing(rows, layout_.rows[i].bounds, ChatRow::kCornerRadius);
    }
    // The last stretch of the visible height fades to nothing.
    QLinearGradient fade(0.0, 0.0, 0.0, size.height());
    fade.setColorAt(0.0, Qt::black);
    fade.setColorAt(kFadeStart, Qt::black);
    fade.setColorAt(1.0, Qt::transparent);
    rows.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    rows.fillRect(QRectF(QPointF(0.0, 0.0), size), fade);
  }
  painter.drawImage(QRectF(QPointF(0.0, 0.0), QSizeF(size)), layer);
}

void ContactListView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  paintRows(painter);
}

void ContactListView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  relayout();
}

void ContactListView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  if (const std::optional<int> row = rowAt(event->position())) Q_EMIT rowActivated(contacts_[*row].handle);
  event->accept();
}

void ContactListView::keyPressEvent(QKeyEvent* event) {
  const int step = event->key() == Qt::Key_Down ? 1 : event->key() == Qt::Key_Up ? -1 : 0;
  if (step == 0 || contacts_.isEmpty()) return QAbstractScrollArea::keyPressEvent(event);
  const std::optional<int> current = selectedRow();
  const int next = !current ? 0 : std::clamp(*current + step, 0, static_cast<int>(contacts_.size()) - 1);
  scrollToRow(next);
  Q_EMIT rowActivated(contacts_[next].handle);
  buttons_->focusButton(next);  // the row the keys chose shows that it has them
  event->accept();
}

void ContactListView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (const std::optional<int> row = selectedRow()) scrollToRow(*row);  // clear of what lies over the list
  // Qt tells screen readers the list took the keyboard once this returns;
  // then they hear which row has it.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (const std::optional<int> row = selectedRow(); row && hasFocus()) sendButtonFocus(this, *row);
      },
      Qt::QueuedConnection);
}

std::optional<int> ContactListView::selectedRow() const {
  for (int i = 0; i < contacts_.size(); ++i)
    if (selectedHandle_ == contacts_[i].handle) return i;
  return std::nullopt;
}

void ContactListView::scrollToRow(int row) {
  while (layout_.frames.size() <= row && layout_.rows.size() < contacts_.size())
    layOutThrough(layout_.contentHeight + kRowSpacing);
  updateRange();
  const QRectF frame = layout_.frames.value(row);
  QScrollBar* bar = verticalScrollBar();
  if (frame.top() < bar->value() + coveredTop_) bar->setValue(static_cast<int>(std::floor(frame.top() - coveredTop_)));
  const qreal visibleBottom = bar->value() + viewport()->height() * kFadeStart;
  if (frame.bottom() > visibleBottom)
    bar->setValue(static_cast<int>(std::ceil(frame.bottom() - viewport()->height() * kFadeStart)));
}

}  // namespace murmela
