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
  if (row < 0 || row >= tops_.size()) return {};
  return QRectF(0.0, tops_[row], layoutWidth_, heights_[row]);
}

std::pair<int, int> ContactListView::rowsBetween(qreal top, qreal bottom) const {
  // The last row that starts at or above `top` may still reach below it.
  const auto after = std::upper_bound(tops_.cbegin(), tops_.cend(), top);
  int from = static_cast<int>(after - tops_.cbegin()) - 1;
  if (from < 0 || tops_[from] + heights_[from] < top) ++from;
  const auto past = std::upper_bound(tops_.cbegin(), tops_.cend(), bottom);
  return {from, std::max(from, static_cast<int>(past - tops_.cbegin()))};
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
  if (layoutWidth_ != viewport()->width()) shapes_.clear();
  layoutWidth_ = viewport()->width();
  caseHeights_.clear();  // the count's and the dates' boxes follow the locale
  longestList_ = std::max(longestList_, contacts_.size());
  if (sorted_.size() > 2 * longestList_) sorted_.clear();
  const qreal plainHeight = ChatRow::height(ChatRow::lines({}));
  tops_.resize(contacts_.size());
  heights_.resize(contacts_.size());
  qreal top = 0.0;
  for (qsizetype row = 0; row < contacts_.size(); ++row) {
    tops_[row] = top;
    heights_[row] = rowHeight(contacts_[row], plainHeight);
    top += heights_[row] + kRowSpacing;
  }
  contentHeight_ = contacts_.isEmpty() ? 0.0 : top - kRowSpacing;
  updateRange();
  viewport()->update();
  reader_->contentChanged();
}

qreal ContactListView::rowHeight(const ContactSummary& contact, qreal plainHeight) {
  const ChatRow row{contact, false};
  if (row.plainAtAGlance()) return plainHeight;
  const auto sameName = [&contact](const Sorted& sorted) {
    return sorted.displayName.has_value() == contact.displayName.has_value() &&
           (!sorted.displayName || sorted.displayName->constData() == contact.displayName->constData());
  };
  auto sorted = sorted_.find(contact.handle.constData());
  if (sorted == sorted_.end() || !sameName(*sorted))
    sorted = sorted_.insert(contact.handle.constData(), {contact.handle, contact.displayName, row.fallbackCase()});
  auto height = caseHeights_.constFind(sorted->fallbackCase);
  if (height == caseHeights_.cend())
    height = caseHeights_.insert(sorted->fallbackCase, ChatRow::height(ChatRow::lines(sorted->fallbackCase)));
  return *height;
}

qsizetype ContactListView::shapesToKeep() const {
  // Three screens of the shortest rows, and never fewer than a few dozen.
  constexpr qsizetype kLeastKept = 48;
  const qreal shortest = ChatRow::kBadgeSize + 2.0 * ChatRow::kPadding + kRowSpacing;
  return std::max(kLeastKept, 3 * (static_cast<qsizetype>(viewport()->height() / shortest) + 2));
}

ChatRow::Layout ContactListView::shapedRow(int row) const {
  const ContactSummary& contact = contacts_[row];
  auto found = shapes_.find(contact.handle);
  if (found == shapes_.end() || !(found->contact == contact)) {
    if (found == shapes_.end() && shapes_.size() >= shapesToKeep()) {
      // The shape drawn longest ago makes room.
      auto oldest = shapes_.begin();
      for (auto shape = shapes_.begin(); shape != shapes_.end(); ++shape)
        if (shape->used < oldest->used) oldest = shape;
      shapes_.erase(oldest);
    }
    ++shapedRows_;
    found = shapes_.insert(contact.handle, {contact, ChatRow{contact, false}.layout(layoutWidth_), 0});
  }
  found->used = ++shapeClock_;
  return found->layout;
}

const ContactListView::Layout& ContactListView::listLayout() const {
  layout_.frames.clear();
  layout_.rows.clear();
  layout_.frames.reserve(contacts_.size());
  layout_.rows.reserve(contacts_.size());
  for (int row = 0; row < contacts_.size(); ++row) {
    layout_.frames.append(rowFrame(row));
    layout_.rows.append(ChatRow{contacts_[row], false}.layout(layoutWidth_));
    ++shapedRows_;
  }
  layout_.contentHeight = contentHeight_;
  return layout_;
}

void ContactListView::updateRange() {
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(viewport()->height());
  bar->setRange(-static_cast<int>(std::ceil(coveredTop_)),
                std::max(0, static_cast<int>(std::ceil(contentHeight_)) - viewport()->height()));
}

void ContactListView::scrollContentsBy(int dx, int dy) {
  QAbstractScrollArea::scrollContentsBy(dx, dy);
  reader_->contentChanged();
}

int ContactListView::scrollOffset() const { return verticalScrollBar()->value(); }

std::optional<int> ContactListView::rowAt(QPointF viewportPoint) const {
  const QPointF point = viewportPoint + QPointF(0.0, scrollOffset());
  const auto [from, to] = rowsBetween(point.y(), point.y());
  for (int row = from; row < to; ++row)
    if (rowFrame(row).contains(point)) return row;
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
    const auto [from, to] = rowsBetween(offset, offset + size.height());
    for (int i = from; i < to; ++i) {
      const QRectF frame = rowFrame(i).translated(0.0, -offset);
      const PainterStateScope scope(rows);
      rows.translate(frame.topLeft());
      const ChatRow row{contacts_[i], selectedHandle_ == contacts_[i].handle};
      const ChatRow::Layout shaped = shapedRow(i);
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
  if (row < 0 || row >= tops_.size()) return;
  const QRectF frame = rowFrame(row);
  QScrollBar* bar = verticalScrollBar();
  if (frame.top() < bar->value() + coveredTop_) bar->setValue(static_cast<int>(std::floor(frame.top() - coveredTop_)));
  const qreal visibleBottom = bar->value() + viewport()->height() * kFadeStart;
  if (frame.bottom() > visibleBottom)
    bar->setValue(static_cast<int>(std::ceil(frame.bottom() - viewport()->height() * kFadeStart)));
}

}  // namespace murmela
