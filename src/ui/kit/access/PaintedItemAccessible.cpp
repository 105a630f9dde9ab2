#include "kit/access/PaintedItemAccessible.h"

#include "kit/access/PaintedReader.h"
#include "kit/access/PaintedWidgetAccessible.h"

#include <QApplication>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace murmela {
namespace {

using Kind = ReadingEntry::Kind;

QAccessible::Role roleOf(ButtonRole role) {
  switch (role) {
    case ButtonRole::button:
      return QAccessible::Button;
    case ButtonRole::checkBox:
      return QAccessible::CheckBox;
    case ButtonRole::link:
      return QAccessible::Link;
    case ButtonRole::radio:
      return QAccessible::RadioButton;
    case ButtonRole::tab:
      return QAccessible::PageTab;
    case ButtonRole::listItem:
      return QAccessible::ListItem;
    case ButtonRole::menuItem:
      return QAccessible::MenuItem;
  }
  return QAccessible::Button;
}

QRect onScreen(const QWidget* widget, const QRectF& rect) {
  const QRect aligned = rect.toAlignedRect();
  return QRect(widget->mapToGlobal(aligned.topLeft()), aligned.size());
}

// Whether a rect of the widget lies outside what it shows (a row scrolled away).
bool outsideOf(const QWidget* widget, const QRectF& rect) {
  return !rect.isEmpty() && !QRectF(widget->rect()).intersects(rect);
}

}  // namespace

// The button with the ring; in a list that holds the keyboard, its selected
// row; in a widget that holds it with no ring (a screen just shown, a sheet
// just closed by the pointer), its heading, so that arriving says where the
// user is.
std::optional<ReaderFocus> readerFocus(const PaintedReader& reader, const QWidget* widget) {
  const ButtonHost* host = reader.host();
  if (host && host->focused() && host->showsFocus(*host->focused())) return ReaderFocus{Kind::button, *host->focused()};
  if (!widget || !widget->hasFocus()) return std::nullopt;
  if (reader.role() == QAccessible::List) {
    const std::optional<int> selected = reader.selectedListItem();
    return selected ? std::optional<ReaderFocus>(ReaderFocus{Kind::button, *selected}) : std::nullopt;
  }
  for (const PaintedReader::KeyedText& keyed : reader.texts())
    if (keyed.text.heading) return ReaderFocus{Kind::text, keyed.key};
  return std::nullopt;
}

PaintedItemAccessible::PaintedItemAccessible(PaintedWidgetAccessible* owner, Kind kind, int key)
    : owner_(owner),
      widget_(qobject_cast<QWidget*>(owner->object())),
      reader_(owner->reader()),
      kind_(kind),
      key_(key) {}

ButtonHost* PaintedItemAccessible::hostOf() const { return reader_ ? reader_->host() : nullptr; }

std::optional<ButtonTarget> PaintedItemAccessible::button() const {
  return reader_ && kind_ == Kind::button ? reader_->button(key_) : std::nullopt;
}

std::optional<int> PaintedItemAccessible::row() const {
  const ReaderRows* rows = reader_ && kind_ == Kind::button ? reader_->rows() : nullptr;
  return rows ? rows->rowOf(key_) : std::nullopt;
}

std::optional<ShownText> PaintedItemAccessible::shown() const {
  return reader_ && kind_ == Kind::text ? reader_->text(key_) : std::nullopt;
}

QString PaintedItemAccessible::groupName() const {
  return reader_ && kind_ == Kind::group ? reader_->groupName(key_).value_or(QString()) : QString();
}

QList<int> PaintedItemAccessible::members() const {
  const QString name = groupName();
  return reader_ && !name.isEmpty() ? reader_->groupMembers(name) : QList<int>{};
}

ProgressValue PaintedItemAccessible::progress() const {
  const std::optional<ShownText> text = shown();
  return text && text->progress ? *text->progress : ProgressValue{};
}

bool PaintedItemAccessible::isValid() const {
  if (!reader_ || !widget_) return false;
  if (leaving_) return true;  // until readers are told it went
  switch (kind_) {
    case Kind::button:
      return reader_->shows(key_);
    case Kind::text:
      return reader_->text(key_).has_value();
    case Kind::announcement:
      return true;
    case Kind::group:
      return !members().isEmpty();
    case Kind::widget:
      return false;
  }
  return false;
}

QWindow* PaintedItemAccessible::window() const { return widget_ ? widget_->window()->windowHandle() : nullptr; }

// A point on a tab of a tab list finds that tab.
QAccessibleInterface* PaintedItemAccessible::childAt(int x, int y) const {
  for (int index = 0; index < childCount(); ++index)
    if (QAccessibleInterface* member = child(index); member && member->rect().contains(x, y)) return member;
  return nullptr;
}

// A button in a group is the group's child; the rest are the widget's.
// The announcement names the application as its parent (a reader speaks
// the containers of what it announces first, and a sheet's would be read
// whole again before every announcement made in it); the widget does not
// list it among its children either.
QAccessibleInterface* PaintedItemAccessible::parent() const {
  if (kind_ == Kind::announcement) return QAccessible::queryAccessibleInterface(qApp);
  if (!widget_) return nullptr;
  if (row()) return owner_;
  const std::optional<ButtonTarget> target = button();
  if (QAccessibleInterface* group = target ? owner_->groupItem(target->group) : nullptr) return group;
  return owner_;
}

QAccessibleInterface* PaintedItemAccessible::child(int index) const {
  const QList<int> ids = members();
  return widget_ && index >= 0 && index < ids.size() ? owner_->item(Kind::button, ids[index]) : nullptr;
}

int PaintedItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const PaintedItemAccessible*>(child);
  if (!item || item->kind_ != Kind::button || item->owner_ != owner_) return -1;
  return static_cast<int>(members().indexOf(item->key_));
}

QString PaintedItemAccessible::text(QAccessible::Text which) const {
  if (kind_ == Kind::announcement) return which == QAccessible::Name && reader_ ? reader_->announcement() : QString();
  if (kind_ == Kind::group) return which == QAccessible::Name ? groupName() : QString();
  if (kind_ == Kind::text) {
    const std::optional<ShownText> text = shown();
    if (!text) return {};
    if (which == QAccessible::Name) return text->text;
    if (which == QAccessible::Value && text->progress) return text->text;
    return {};
  }
  const std::optional<ButtonTarget> target = button();
  if (!target) return {};
  switch (which) {
    case QAccessible::Name:
      return target->name;
    case QAccessible::Value:
      return target->value;
    case QAccessible::Description: {
      // A row is described only when a reader asks.
      const std::optional<int> at = row();
      return at ? reader_->rows()->description(*at) : target->description;
    }
    default:
      return {};
  }
}

QRect PaintedItemAccessible::rect() const {
  if (!widget_) return {};
  if (kind_ == Kind::button) {
    const std::optional<ButtonTarget> target = button();
    return target ? onScreen(widget_, target->rect) : QRect();
  }
  if (kind_ == Kind::text) {
    const std::optional<ShownText> text = shown();
    return text ? onScreen(widget_, text->rect) : QRect();
  }
  if (kind_ == Kind::group) {
    QRectF united;
    for (const int id : members())
      if (const std::optional<ButtonTarget> target = reader_->button(id)) united |= target->rect;
    return onScreen(widget_, united);
  }
  return {};
}

QAccessible::Role PaintedItemAccessible::role() const {
  switch (kind_) {
    case Kind::announcement:
      return QAccessible::Notification;
    case Kind::group: {
      const QList<int> ids = members();
      const auto all = [&](ButtonRole role) {
        return reader_ && std::all_of(ids.cbegin(), ids.cend(), [&](int id) {
                 const std::optional<ButtonTarget> target = reader_->button(id);
                 return target && target->role == role;
               });
      };
      if (all(ButtonRole::menuItem)) return QAccessible::PopupMenu;
      return all(ButtonRole::tab) ? QAccessible::PageTabList : QAccessible::Grouping;
    }
    case Kind::text: {
      const std::optional<ShownText> text = shown();
      if (text && text->progress) return QAccessible::ProgressBar;
      return text && text->heading ? QAccessible::Heading : QAccessible::StaticText;
    }
    default: {
      const std::optional<ButtonTarget> target = button();
      return target ? roleOf(target->role) : QAccessible::Button;
    }
  }
}

QAccessible::State PaintedItemAccessible::state() const {
  QAccessible::State state;
  const PaintedReader* reader = reader_.data();
  if (!reader || !widget_) {
    state.invisible = true;
    return state;
  }
  if (!widget_->isVisible()) state.invisible = true;
  if (kind_ == Kind::announcement && reader->announcement().isEmpty()) state.invisible = true;
  if (kind_ == Kind::text) state.readOnly = true;
  if (kind_ == Kind::text) {
    state.focused = readerFocus(*reader, widget_) == ReaderFocus{Kind::text, key_};
    if (const std::optional<ShownText> text = shown()) state.offscreen = outsideOf(widget_, text->rect);
  }
  if (kind_ != Kind::button) return state;
  const std::optional<ButtonTarget> target = button();
  if (!target) {
    state.invisible = true;
    return state;
  }
  state.disabled = !target->enabled;
  state.focusable = target->focusable && target->enabled;
  state.focused = readerFocus(*reader, widget_) == ReaderFocus{Kind::button, key_};
  state.offscreen = outsideOf(widget_, target->rect);
  state.defaultButton = reader->host() && reader->host()->defaultButton() == key_;
  if (target->checked) {
    if (target->role == ButtonRole::tab || target->role == ButtonRole::listItem) {
      state.selectable = true;
      state.selected = *target->checked;
    } else {
      state.checkable = true;
      state.checked = *target->checked;
    }
  }
  if (target->role == ButtonRole::link) state.linked = true;
  return state;
}

void* PaintedItemAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ActionInterface && kind_ == Kind::button)
    return static_cast<QAccessibleActionInterface*>(this);
  if (type == QAccessible::ValueInterface && kind_ == Kind::text) {
    const std::optional<ShownText> text = shown();
    if (text && text->progress) return static_cast<QAccessibleValueInterface*>(this);
  }
  return nullptr;
}

QStringList PaintedItemAccessible::actionNames() const {
  const std::optional<ButtonTarget> target = button();
  // A modal sheet inside the widget covers it.
  if (!target || !target->enabled || !hostOf() || owner_->modalCover()) return {};
  QStringList names{pressAction()};
  if (target->checked && target->role == ButtonRole::checkBox) names.append(toggleAction());
  if (target->focusable) names.append(setFocusAction());
  return names;
}

// They run from the event loop: an action may close the widget, and the
// bridge that asked still holds this interface.
void PaintedItemAccessible::doAction(const QString& name) {
  ButtonHost* host = hostOf();
  if (!host || !actionNames().contains(name)) return;
  const int id = key_;
  if (name == setFocusAction()) {
    host->focusButton(id);
    return;
  }
  // A row out of view is not among the host's buttons: its list runs it.
  if (reader_->rows()) {
    QMetaObject::invokeMethod(
        host,
        [reader = reader_, id] {
          const ReaderRows* rows = reader ? reader->rows() : nullptr;
          if (const std::optional<int> at = rows ? rows->rowOf(id) : std::nullopt) rows->activate(*at);
        },
        Qt::QueuedConnection);
    return;
  }
  QMetaObject::invokeMethod(
      host, [host, id] { host->activate(id); }, Qt::QueuedConnection);
}

}  // namespace murmela
