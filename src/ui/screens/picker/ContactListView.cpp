#include "screens/picker/ContactListView.h"

#include "kit/access/PaintedAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/paint/PainterState.h"
#include "screens/picker/ContactNaming.h"

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
  buttons_ = new ButtonHost(this, [this] { return rowTargets(); });
  // Readers are shown every row, asked for by index (those out of view
  // marked so); a row's name and description are its data, so rows not laid
  // out yet stay so. The keys and the pointer only meet rows in view.
  reader_ = new PaintedReader(this, buttons_);
  reader_->setRows({
      .count = [this] { return static_cast<int>(contacts_.size()); },
      .id = [this](int row) { return ids_[row]; },
      .rowOf = [this](int id) -> std::optional<int> {
        const auto row = rowOfId_.constFind(id);
        return row == rowOfId_.cend() ? std::nullopt : std::optional<int>(*row);
      },
      .target = [this](int row) { return rowTarget(row); },
      .description = [this](int row) { return descriptionOf(contacts_[row]); },
      .at = [this](QPointF point) { return rowAt(point - QPointF(viewport()->pos())); },
      .selected = [this] { return selectedRow(); },
      .activate = [this](int row) { Q_EMIT rowActivated(contacts_[row].handle); },
  });
  reader_->setRole(QAccessible::List);
  setAccessibleName(QStringLiteral("Chats"));
}

// Dates and counts in the user's locale take a while to write: a row is
// described when a reader asks, and kept while its chat is the same.
QString ContactListView::descriptionOf(const ContactSummary& contact) const {
  auto found = descriptions_.find(contact.handle);
  if (found == descriptions_.end() || !(found->first == contact)) {
    const ChatRow row{contact, false};
    found = descriptions_.insert(
        contact.handle,
        {contact, QStringList{row.countLabel(), contact.handle, row.rangeLabel()}.join(QStringLiteral(", "))});
  }
  return found->second;
}

QRectF ContactListView::rowFrame(int row) const {
  if (row < layout_.frames.size()) return layout_.frames[row];
  // A row not laid out yet stands where the laid-out rows' average height puts it.
  const qsizetype done = layout_.frames.size();
  const qreal pitch = done > 0 ? (layout_.contentHeight + kRowSpacing) / static_cast<qreal>(done) : 0.0;
  const qreal top = done > 0 ? layout_.contentHeight + kRowSpacing + pitch * static_cast<qreal>(row - done) : 0.0;
  return QRectF(0.0, top, layoutWidth_, std::max(0.0, pitch - kRowSpacing));
}

ButtonTarget ContactListView::rowTarget(int row) const {
  // Clicks reach the viewport, not this widget: rows are placed in this
  // widget's coordinates, for the keys and screen readers.
  const QPointF shift = QPointF(viewport()->pos()) - QPointF(0.0, scrollOffset());
  const bool selected = selectedHandle_ == contacts_[row].handle;
  return {.id = ids_[row],
          .rect = rowFrame(row).translated(shift),
          .focusable = selected,
          .role = ButtonRole::listItem,
          .name = contactRowName(contacts_[row]),
          .checked = selected};
}

// The rows in view and the selected one (which keeps the ring while it
// scrolls away and back), in order: what the keys and the ring meet.
QList<ButtonTarget> ContactListView::rowTargets() const {
  const QRectF shown(0.0, scrollOffset(), layoutWidth_, viewport()->height());
  const int count = static_cast<int>(contacts_.size());
  // Rows stand top to bottom: the first that reaches into view is found by halves.
  int first = 0;
  for (int last = count; first < last;) {
    const int middle = first + (last - first) / 2;
    if (rowFrame(middle).bottom() <= shown.top())
      first = middle + 1;
    else
      last = middle;
  }
  const std::optional<int> selected = selectedRow();
  auto* self = const_cast<ContactListView*>(this);
  QList<ButtonTarget> targets;
  const auto add = [&](int row) {
    ButtonTarget target = rowTarget(row);
    target.action = [self, id = target.id] { self->activateRow(id); };
    targets.append(std::move(target));
  };
  if (selected && *selected < first) add(*selected);
  int row = first;
  for (; row < count; ++row) {
    const QRectF frame = rowFrame(row);
    if (frame.isEmpty() || frame.top() >= shown.bottom()) break;
    if (row == selected || frame.intersects(shown)) add(row);
  }
  if (selected && *selected >= row) add(*selected);
  return targets;
}

void ContactListView::activateRow(int id) {
  if (const auto row = rowOfId_.constFind(id); row != rowOfId_.cend()) Q_EMIT rowActivated(contacts_[*row].handle);
}

void ContactListView::setContacts(const QList<ContactSummary>& contacts) {
  if (contacts == contacts_ && layoutWidth_ == viewport()->width()) return;
  contacts_ = contacts;
  // A row is known by its handle: the same chat keeps its id whatever the
  // filter leaves before it.
  ids_.clear();
  ids_.reserve(contacts_.size());
  rowOfId_.clear();
  rowOfId_.reserve(contacts_.size());
  for (int row = 0; row < contacts_.size(); ++row) {
    auto id = idOfHandle_.constFind(contacts_[row].handle);
    if (id == idOfHandle_.cend()) id = idOfHandle_.insert(contacts_[row].handle, nextId_++);
    ids_.append(*id);
    rowOfId_.insert(*id, row);
  }
  relayout();
  reader_->rowsChanged();
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
  shaped_.clear();
  if (layoutWidth_ != viewport()->width()) plainHeight_.reset();
  layoutWidth_ = viewport()->width();
  layOutThrough(scrollOffset() + viewport()->height());
  updateRange();
  viewport()->update();
  reader_->contentChanged();
}

void ContactListView::layOutThrough(qreal contentY) const {
  while (layout_.frames.size() < contacts_.size() &&
         (layout_.frames.isEmpty() || layout_.contentHeight <= contentY)) {
    const int index = static_cast<int>(layout_.frames.size());
    const ChatRow row{contacts_[index], selectedHandle_ == contacts_[index].handle};
    const bool plain = row.inOwnTypefaces();
    qreal height = plain && plainHeight_ ? *plainHeight_ : 0.0;
    if (!(plain && plainHeight_)) {
      const ChatRow::Layout& shaped = shaped_.insert(index, row.layout(layoutWidth_)).value();
      height = shaped.bounds.height();
      if (plain) plainHeight_ = height;
    }
    const qreal top = layout_.frames.isEmpty() ? 0.0 : layout_.contentHeight + kRowSpacing;
    layout_.frames.append(QRectF(0.0, top, layoutWidth_, height));
    layout_.contentHeight = top + height;
  }
}

const ChatRow::Layout& ContactListView::shapedRow(int row) const {
  auto found = shaped_.find(row);
  if (found == shaped_.end())
    found = shaped_.insert(row, ChatRow{contacts_[row], selectedHandle_ == contacts_[row].handle}.layout(layoutWidth_));
  return *found;
}

const ContactListView::Layout& ContactListView::listLayout() const {
  layOutThrough(std::numeric_limits<qreal>::infinity());
  layout_.rows.clear();
  layout_.rows.reserve(layout_.frames.size());
  for (int row = 0; row < layout_.frames.size(); ++row) layout_.rows.append(shapedRow(row));
  return layout_;
}

void ContactListView::updateRange() {
  const qsizetype done = layout_.frames.size();
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
      const ChatRow::Layout& shaped = shapedRow(i);
      row.paint(rows, shaped);
      if (buttons_->showsFocus(ids_[i])) paintInnerFocusRing(rows, shaped.bounds, ChatRow::kCornerRadius);
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

// As in a desktop list view: Up and Down move by a row, Page Up and Page
// Down by the rows in view, Home and End to the first and the last.
void ContactListView::keyPressEvent(QKeyEvent* event) {
  const int last = static_cast<int>(contacts_.size()) - 1;
  const std::optional<int> current = selectedRow();
  const int from = current.value_or(0);
  std::optional<int> next;
  switch (event->modifiers() & ~Qt::KeypadModifier ? 0 : event->key()) {
    case Qt::Key_Down:
      next = current ? from + 1 : 0;
      break;
    case Qt::Key_Up:
      next = current ? from - 1 : 0;
      break;
    case Qt::Key_PageDown:
      next = from + rowsPerPage();
      break;
    case Qt::Key_PageUp:
      next = from - rowsPerPage();
      break;
    case Qt::Key_Home:
      next = 0;
      break;
    case Qt::Key_End:
      next = last;
      break;
    default:
      break;
  }
  if (!next || contacts_.isEmpty()) return QAbstractScrollArea::keyPressEvent(event);
  const int row = std::clamp(*next, 0, last);
  scrollToRow(row);
  Q_EMIT rowActivated(contacts_[row].handle);
  buttons_->focusButton(ids_[row]);  // the row the keys chose shows that it has them
  event->accept();
}

int ContactListView::rowsPerPage() const {
  const QRectF first = rowFrame(0);
  const qreal pitch = first.height() + kRowSpacing;
  const qreal visible = viewport()->height() * kFadeStart - coveredTop_;
  return pitch > 0.0 ? std::max(1, static_cast<int>(visible / pitch)) : 1;
}

void ContactListView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (const std::optional<int> row = selectedRow()) scrollToRow(*row);  // clear of what lies over the list
}

std::optional<int> ContactListView::selectedRow() const {
  if (!selectedHandle_) return std::nullopt;
  const auto id = idOfHandle_.constFind(*selectedHandle_);
  const auto row = id == idOfHandle_.cend() ? rowOfId_.cend() : rowOfId_.constFind(*id);
  return row == rowOfId_.cend() ? std::nullopt : std::optional<int>(*row);
}

void ContactListView::scrollToRow(int row) {
  while (layout_.frames.size() <= row && layout_.frames.size() < contacts_.size())
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
