#include "kit/access/PaintedWidgetAccessible.h"

#include "kit/access/PaintedAccessibleFactory.h"
#include "kit/access/PaintedItemAccessible.h"
#include "kit/access/PaintedReader.h"
#include "kit/widgets/ButtonHost.h"

#include <QAbstractScrollArea>
#include <QDialog>
#include <QWidget>

#include <algorithm>

namespace murmela {
namespace {

using Kind = ReadingEntry::Kind;

QAccessible::Role widgetRole(const QWidget* widget, const PaintedReader* reader) {
  if (qobject_cast<const QDialog*>(widget) || (reader->host() && reader->host()->keepsFocus()))
    return QAccessible::Dialog;
  return widget->isWindow() ? QAccessible::Window : QAccessible::Client;
}

}  // namespace

PaintedWidgetAccessible::PaintedWidgetAccessible(QWidget* widget, PaintedReader* reader)
    : QAccessibleWidget(widget, widgetRole(widget, reader)), reader_(reader) {
  reader->startWatching();
}

PaintedWidgetAccessible::~PaintedWidgetAccessible() {
  for (const QAccessible::Id id : std::as_const(items_)) QAccessible::deleteAccessibleInterface(id);
}

PaintedReader* PaintedWidgetAccessible::reader() const { return reader_; }

ButtonHost* PaintedWidgetAccessible::host() const { return reader_ ? reader_->host() : nullptr; }

PaintedWidgetAccessible* PaintedWidgetAccessible::of(QWidget* widget) {
  return dynamic_cast<PaintedWidgetAccessible*>(QAccessible::queryAccessibleInterface(widget));
}

// The child widgets a reader meets: not windows, and not the viewport of a
// painted scrolling list (its rows are the list's own children; the viewport,
// whose focus is the list's, would be an unnamed focused filler).
QList<QWidget*> PaintedWidgetAccessible::childWidgets() const {
  const auto* scrolling = qobject_cast<const QAbstractScrollArea*>(widget());
  QList<QWidget*> widgets;
  for (QObject* object : widget()->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child && !child->isWindow() && !(scrolling && child == scrolling->viewport())) widgets.append(child);
  }
  return widgets;
}

// A sheet covers the widget while it shows and holds the window's keyboard
// (one that fades out has handed the keyboard back already).
QWidget* PaintedWidgetAccessible::modalCover() const {
  const QWidget* keyboard = widget()->window()->focusWidget();
  if (!keyboard) return nullptr;
  for (ButtonHost* other : ButtonHost::keepingFocus()) {
    QWidget* sheet = qobject_cast<QWidget*>(other->parent());
    if (other != host() && sheet && sheet != widget() && widget()->isAncestorOf(sheet) && !sheet->isWindow() &&
        sheet->isVisibleTo(widget()) && (keyboard == sheet || sheet->isAncestorOf(keyboard)))
      return sheet;
  }
  return nullptr;
}

// What the widget shows, in reading order: its texts and buttons and the
// child widgets that show. While a modal sheet inside it shows, only the
// way to that sheet is left: what lies behind is out.
const PaintedWidgetAccessible::Reading& PaintedWidgetAccessible::reading() const {
  const quint64 revision = reader_ ? reader_->revision() : 0;
  const QWidget* cover = modalCover();
  if (reading_ && reading_->revision == revision && reading_->cover == cover) return *reading_;
  Reading now{.revision = revision, .cover = cover};
  for (QWidget* child : childWidgets())
    now.widgets.append(
        child->isVisibleTo(widget()) && (!cover || child == cover || child->isAncestorOf(cover)) ? child : nullptr);
  QList<ReadingEntry> texts, buttons, children;
  if (reader_ && !cover) {
    for (const PaintedReader::KeyedText& keyed : reader_->texts())
      texts.append({Kind::text, keyed.key, keyed.text.rect});
    // A group is read where its first button stands, and covers all of them.
    QHash<int, qsizetype> groupAt;
    const QList<ButtonTarget>& all = reader_->buttons();
    buttons.reserve(all.size());
    for (const ButtonTarget& target : all) {
      const std::optional<int> group = target.group.isEmpty() ? std::nullopt : reader_->groupKey(target.group);
      if (!group) {
        buttons.append({Kind::button, target.id, target.rect});
        continue;
      }
      if (const auto placed = groupAt.constFind(*group); placed != groupAt.cend()) {
        buttons[*placed].rect |= target.rect;
        continue;
      }
      groupAt.insert(*group, buttons.size());
      buttons.append({Kind::group, *group, target.rect});
    }
  }
  for (qsizetype index = 0; index < now.widgets.size(); ++index)
    if (now.widgets[index])
      children.append({Kind::widget, static_cast<int>(index), QRectF(now.widgets[index]->geometry())});
  now.order = interleaveReadingOrder({texts, buttons, children});
  now.at.reserve(now.order.size());
  for (qsizetype index = 0; index < now.order.size(); ++index)
    now.at.insert(readerKey(now.order[index].kind, now.order[index].key), static_cast<int>(index));
  reading_ = std::move(now);
  return *reading_;
}

QList<ReadingEntry> PaintedWidgetAccessible::entries() const { return reading().order; }

QAccessible::State PaintedWidgetAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  if ((host() && host()->keepsFocus()) || (widget()->isWindow() && widget()->isModal())) state.modal = true;
  // One object has the focus: a child with the ring has it, not the dialog
  // or screen around it (a list keeps it beside its row, as Qt's do).
  if (state.focused && role() != QAccessible::List && readerFocusItem()) state.focused = false;
  return state;
}

void PaintedWidgetAccessible::release(Kind kind, int key, bool tell) {
  const auto found = items_.find(readerKey(kind, key));
  if (found == items_.end()) return;
  const QAccessible::Id id = *found;
  items_.erase(found);
  if (auto* item = tell ? dynamic_cast<PaintedItemAccessible*>(QAccessible::accessibleInterface(id)) : nullptr) {
    item->setLeaving();
    sendAccessibleEvent(QAccessibleEvent(item, QAccessible::ObjectDestroyed));
  }
  QAccessible::deleteAccessibleInterface(id);
}

void PaintedWidgetAccessible::forgetGoneRows() {
  QList<QAccessible::Id> gone;
  for (auto it = items_.begin(); it != items_.end();) {
    const auto* item = dynamic_cast<const PaintedItemAccessible*>(QAccessible::accessibleInterface(*it));
    if (item && item->kind() == Kind::button && reader_ && !reader_->shows(item->key())) {
      gone.append(*it);
      it = items_.erase(it);
    } else {
      ++it;
    }
  }
  for (const QAccessible::Id id : gone) QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* PaintedWidgetAccessible::readerFocusItem() const {
  const std::optional<ReaderFocus> focus = reader_ ? readerFocus(*reader_, widget()) : std::nullopt;
  return focus ? item(focus->kind, focus->key) : nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::item(Kind kind, int key) const {
  // The announcement stands under the application, not in the reading order.
  if (kind == Kind::announcement)
    return reader_ && !reader_->announcement().isEmpty() ? interfaceFor({Kind::announcement, 0, {}}) : nullptr;
  // A list's rows are its children by index, not in the reading order.
  if (kind == Kind::button && reader_ && reader_->rows() && reader_->rows()->rowOf(key))
    return interfaceFor({Kind::button, key, {}});
  const Reading& now = reading();
  if (const auto found = now.at.constFind(readerKey(kind, key)); found != now.at.cend())
    return interfaceFor(now.order[*found]);
  // A button of a group that shows is the group's child.
  const std::optional<ButtonTarget> target = kind == Kind::button && reader_ ? reader_->button(key) : std::nullopt;
  if (target && groupItem(target->group)) return interfaceFor({Kind::button, key, target->rect});
  return nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::knownItem(Kind kind, int key) const {
  const auto found = items_.constFind(readerKey(kind, key));
  return found == items_.cend() ? nullptr : QAccessible::accessibleInterface(*found);
}

QAccessibleInterface* PaintedWidgetAccessible::groupItem(const QString& name) const {
  const std::optional<int> group = reader_ ? reader_->groupKey(name) : std::nullopt;
  return group ? item(Kind::group, *group) : nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::interfaceFor(const ReadingEntry& entry) const {
  if (entry.kind == Kind::widget) {
    QWidget* child = reading().widgets.value(entry.key);
    return child ? QAccessible::queryAccessibleInterface(child) : nullptr;
  }
  const quint64 key = readerKey(entry.kind, entry.key);
  if (const auto found = items_.constFind(key); found != items_.cend()) return QAccessible::accessibleInterface(*found);
  auto* item = new PaintedItemAccessible(const_cast<PaintedWidgetAccessible*>(this), entry.kind, entry.key);
  items_.insert(key, QAccessible::registerAccessibleInterface(item));
  return item;
}

QAccessible::Role PaintedWidgetAccessible::role() const {
  return reader_ && reader_->role() ? *reader_->role() : QAccessibleWidget::role();
}

int PaintedWidgetAccessible::childCount() const { return static_cast<int>(reading().order.size()); }

QAccessibleInterface* PaintedWidgetAccessible::child(int index) const {
  const Reading& now = reading();
  return index >= 0 && index < now.order.size() ? interfaceFor(now.order[index]) : nullptr;
}

int PaintedWidgetAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!child) return -1;
  const Reading& now = reading();
  std::optional<quint64> key;
  if (const auto* item = dynamic_cast<const PaintedItemAccessible*>(child)) {
    if (item->owner() == this) key = readerKey(item->kind(), item->key());
  } else if (const auto* widget = qobject_cast<const QWidget*>(child->object())) {
    for (qsizetype index = 0; index < now.widgets.size() && !key; ++index)
      if (now.widgets[index].data() == widget) key = readerKey(Kind::widget, static_cast<int>(index));
  }
  const auto found = key ? now.at.constFind(*key) : now.at.cend();
  return found == now.at.cend() ? -1 : *found;
}

QAccessibleInterface* PaintedWidgetAccessible::childAt(int x, int y) const {
  if (!widget()->isVisible()) return nullptr;
  const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
  const Reading& now = reading();
  const auto shown = [&](Kind kind, int key) { return now.at.contains(readerKey(kind, key)); };
  // Child widgets are on top of the buttons, and the buttons of the texts.
  for (auto it = now.order.crbegin(); it != now.order.crend(); ++it)
    if (it->kind == Kind::widget && it->rect.contains(local)) return interfaceFor(*it);
  // Buttons as the pointer meets them: by their hit shape, a later one over
  // an earlier (a sheet's backdrop lies under its card); a button of a group
  // is met through its group.
  const QList<ButtonTarget>& buttons = reader_ ? reader_->buttons() : QList<ButtonTarget>{};
  for (auto it = buttons.crbegin(); it != buttons.crend(); ++it) {
    if (!it->contains(local)) continue;
    if (const std::optional<int> group = reader_->groupKey(it->group); group && shown(Kind::group, *group))
      return item(Kind::group, *group);
    if (shown(Kind::button, it->id)) return item(Kind::button, it->id);
  }
  for (auto it = now.order.crbegin(); it != now.order.crend(); ++it)
    if (it->kind == Kind::text && it->rect.contains(local)) return interfaceFor(*it);
  return nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::focusChild() const {
  if (QAccessibleInterface* focused = readerFocusItem()) return focused;
  return QAccessibleWidget::focusChild();
}

}  // namespace murmela
