#include "kit/access/PaintedAccessible.h"

#include "kit/access/PaintedReader.h"
#include "kit/access/TextFieldAccessible.h"
#include "kit/widgets/ButtonHost.h"

#include <QAbstractScrollArea>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QDialog>
#include <QLineEdit>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>

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

struct ReaderFocus {
  Kind kind = Kind::button;
  int key = 0;
  friend bool operator==(const ReaderFocus&, const ReaderFocus&) = default;
};

// What a reader is told has the keyboard: the button with the ring; in a
// list that holds the keyboard, its selected row; in a widget that holds it
// with no ring (a screen just shown, a sheet just closed by the pointer), its
// heading, so that arriving says where the user is.
std::optional<ReaderFocus> readerFocus(const PaintedReader& reader, const QWidget* widget) {
  const ButtonHost* host = reader.host();
  if (host && host->focused() && host->showsFocus(*host->focused())) return ReaderFocus{Kind::button, *host->focused()};
  if (!widget || !widget->hasFocus()) return std::nullopt;
  if (reader.role() == QAccessible::List) {
    for (const ButtonTarget& target : reader.buttons())
      if (target.role == ButtonRole::listItem && target.checked.value_or(false))
        return ReaderFocus{Kind::button, target.id};
    return std::nullopt;
  }
  for (const PaintedReader::KeyedText& keyed : reader.texts())
    if (keyed.text.heading) return ReaderFocus{Kind::text, keyed.key};
  return std::nullopt;
}

// A painted widget is covered while a widget inside it that stands for a
// modal sheet (its host keeps the focus) shows.
bool coveredByModal(const QWidget* widget) {
  const PaintedWidgetAccessible* painted = widget ? PaintedWidgetAccessible::of(const_cast<QWidget*>(widget)) : nullptr;
  return painted && painted->modalCover();
}

// Whether a rect of the widget lies outside what it shows (a row scrolled away).
bool outsideOf(const QWidget* widget, const QRectF& rect) {
  return !rect.isEmpty() && !QRectF(widget->rect()).intersects(rect);
}

// One painted child: a text, a progress bar, a button, a group of buttons or
// the announcement.
// It keeps only its widget, kind and key, and asks the widget's reader for
// what it is each time, so it never tells an old state.
class PaintedItemAccessible : public QAccessibleInterface,
                              public QAccessibleActionInterface,
                              public QAccessibleValueInterface {
 public:
  PaintedItemAccessible(QWidget* widget, Kind kind, int key) : widget_(widget), kind_(kind), key_(key) {}

  bool isValid() const override {
    const PaintedReader* reader = readerOf();
    if (!reader) return false;
    if (leaving_) return true;  // until readers are told it went
    switch (kind_) {
      case Kind::button:
        return reader->button(key_).has_value();
      case Kind::text:
        return reader->text(key_).has_value();
      case Kind::announcement:
        return true;
      case Kind::group:
        return !members().isEmpty();
      case Kind::widget:
        return false;
    }
    return false;
  }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return widget_ ? widget_->window()->windowHandle() : nullptr; }
  QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation) const override {
    return {};
  }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  // A point on a tab of a tab list finds that tab.
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int index = 0; index < childCount(); ++index)
      if (QAccessibleInterface* member = child(index); member && member->rect().contains(x, y)) return member;
    return nullptr;
  }
  // A button in a group is the group's child; the rest are the widget's.
  // The announcement names the application as its parent: a reader speaks
  // the containers of what it announces first, and a sheet's would be read
  // whole again before every announcement made in it.
  QAccessibleInterface* parent() const override {
    if (kind_ == Kind::announcement) return QAccessible::queryAccessibleInterface(qApp);
    PaintedWidgetAccessible* painted = widget_ ? PaintedWidgetAccessible::of(widget_.data()) : nullptr;
    if (!painted) return nullptr;
    const std::optional<ButtonTarget> target = button();
    if (QAccessibleInterface* group = target ? painted->groupItem(target->group) : nullptr) return group;
    return painted;
  }
  QAccessibleInterface* child(int index) const override {
    const QList<int> ids = members();
    PaintedWidgetAccessible* painted = widget_ ? PaintedWidgetAccessible::of(widget_.data()) : nullptr;
    return painted && index >= 0 && index < ids.size() ? painted->item(Kind::button, ids[index]) : nullptr;
  }
  int childCount() const override { return static_cast<int>(members().size()); }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int index = 0; index < childCount(); ++index)
      if (this->child(index) == child) return index;
    return -1;
  }

  QString text(QAccessible::Text which) const override {
    if (kind_ == Kind::announcement) {
      const PaintedReader* reader = readerOf();
      return which == QAccessible::Name && reader ? reader->announcement() : QString();
    }
    if (kind_ == Kind::group) return which == QAccessible::Name ? groupName() : QString();
    if (kind_ == Kind::text) {
      const std::optional<ShownText> shown = text();
      if (!shown) return {};
      if (which == QAccessible::Name) return shown->text;
      if (which == QAccessible::Value && shown->progress) return shown->text;
      return {};
    }
    const std::optional<ButtonTarget> target = button();
    if (!target) return {};
    switch (which) {
      case QAccessible::Name:
        return target->name;
      case QAccessible::Value:
        return target->value;
      case QAccessible::Description:
        return target->description;
      default:
        return {};
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!widget_) return {};
    if (kind_ == Kind::button) {
      const std::optional<ButtonTarget> target = button();
      return target ? onScreen(widget_, target->rect) : QRect();
    }
    if (kind_ == Kind::text) {
      const std::optional<ShownText> shown = text();
      return shown ? onScreen(widget_, shown->rect) : QRect();
    }
    if (kind_ == Kind::group) {
      const PaintedReader* reader = readerOf();
      QRectF united;
      for (const int id : members())
        if (const std::optional<ButtonTarget> target = reader->button(id)) united |= target->rect;
      return onScreen(widget_, united);
    }
    return {};
  }

  QAccessible::Role role() const override {
    switch (kind_) {
      case Kind::announcement:
        return QAccessible::Notification;
      case Kind::group: {
        const PaintedReader* reader = readerOf();
        const QList<int> ids = members();
        const bool tabs = reader && std::all_of(ids.cbegin(), ids.cend(), [reader](int id) {
                            const std::optional<ButtonTarget> target = reader->button(id);
                            return target && target->role == ButtonRole::tab;
                          });
        const auto all = [&](ButtonRole role) {
          return reader && std::all_of(ids.cbegin(), ids.cend(), [&](int id) {
                   const std::optional<ButtonTarget> target = reader->button(id);
                   return target && target->role == role;
                 });
        };
        if (all(ButtonRole::menuItem)) return QAccessible::PopupMenu;
        return tabs ? QAccessible::PageTabList : QAccessible::Grouping;
      }
      case Kind::text: {
        const std::optional<ShownText> shown = text();
        if (shown && shown->progress) return QAccessible::ProgressBar;
        return shown && shown->heading ? QAccessible::Heading : QAccessible::StaticText;
      }
      default: {
        const std::optional<ButtonTarget> target = button();
        return target ? roleOf(target->role) : QAccessible::Button;
      }
    }
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    const PaintedReader* reader = readerOf();
    if (!reader || !widget_->isVisible()) state.invisible = true;
    if (kind_ == Kind::announcement && (!reader || reader->announcement().isEmpty())) state.invisible = true;
    if (kind_ == Kind::text) state.readOnly = true;
    if (kind_ == Kind::text && reader) {
      state.focused = readerFocus(*reader, widget_) == ReaderFocus{Kind::text, key_};
      if (const std::optional<ShownText> shown = text()) state.offscreen = outsideOf(widget_, shown->rect);
    }
    if (kind_ != Kind::button || !reader) return state;
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

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface && kind_ == Kind::button)
      return static_cast<QAccessibleActionInterface*>(this);
    if (type == QAccessible::ValueInterface && kind_ == Kind::text) {
      const std::optional<ShownText> shown = text();
      if (shown && shown->progress) return static_cast<QAccessibleValueInterface*>(this);
    }
    return nullptr;
  }

  // Actions: press (and toggle for what is checked) run what a click runs.
  // They run from the event loop: an action may close the widget, and the
  // bridge that asked still holds this interface.
  QStringList actionNames() const override {
    const std::optional<ButtonTarget> target = button();
    if (!target || !target->enabled || !hostOf() || coveredByModal(widget_)) return {};
    QStringList names{pressAction()};
    if (target->checked && target->role == ButtonRole::checkBox) names.append(toggleAction());
    if (target->focusable) names.append(setFocusAction());
    return names;
  }
  void doAction(const QString& name) override {
    ButtonHost* host = hostOf();
    if (!host || !actionNames().contains(name)) return;
    const int id = key_;
    if (name == setFocusAction()) {
      host->focusButton(id);
      return;
    }
    QMetaObject::invokeMethod(
        host, [host, id] { host->activate(id); }, Qt::QueuedConnection);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }
  void setLeaving() { leaving_ = true; }

  QVariant currentValue() const override { return progress().value; }
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return progress().maximum; }
  QVariant minimumValue() const override { return progress().minimum; }
  // A hundredth of the range, as Qt's own progress bar (a reader sizes its figures by it).
  QVariant minimumStepSize() const override { return (progress().maximum - progress().minimum) / 100.0; }

 private:
  const PaintedReader* readerOf() const { return PaintedReader::of(widget_.data()); }
  ButtonHost* hostOf() const {
    const PaintedReader* reader = readerOf();
    return reader ? reader->host() : nullptr;
  }
  std::optional<ButtonTarget> button() const {
    const PaintedReader* reader = readerOf();
    return reader && kind_ == Kind::button ? reader->button(key_) : std::nullopt;
  }
  std::optional<ShownText> text() const {
    const PaintedReader* reader = readerOf();
    return reader && kind_ == Kind::text ? reader->text(key_) : std::nullopt;
  }
  QString groupName() const {
    const PaintedReader* reader = readerOf();
    return reader && kind_ == Kind::group ? reader->groupName(key_).value_or(QString()) : QString();
  }
  QList<int> members() const {
    const PaintedReader* reader = readerOf();
    const QString name = groupName();
    QList<int> ids;
    if (reader && !name.isEmpty())
      for (const ButtonTarget& target : reader->buttons())
        if (target.group == name) ids.append(target.id);
    return ids;
  }
  ProgressValue progress() const {
    const std::optional<ShownText> shown = text();
    return shown && shown->progress ? *shown->progress : ProgressValue{};
  }

  QPointer<QWidget> widget_;
  Kind kind_;
  int key_;
  bool leaving_ = false;
};

const char* const kApplicationFrame = "murmelaApplicationFrame";

// The window as a frame whose hit-test meets only the screens that show (the
// others wait hidden beside them, where they stood).
class ApplicationFrameAccessible : public QAccessibleWidget {
 public:
  explicit ApplicationFrameAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int index = childCount() - 1; index >= 0; --index) {
      QAccessibleInterface* shown = child(index);
      auto* widget = shown ? qobject_cast<QWidget*>(shown->object()) : nullptr;
      if (widget && widget->isVisible() && shown->rect().contains(x, y)) return shown;
    }
    return nullptr;
  }
};

QAccessibleInterface* paintedFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (auto* field = qobject_cast<QLineEdit*>(object)) return new TextFieldAccessible(field);
  if (object->property(kApplicationFrame).toBool()) return new ApplicationFrameAccessible(static_cast<QWidget*>(object));
  auto* reader = object->findChild<PaintedReader*>(QString(), Qt::FindDirectChildrenOnly);
  return reader ? new PaintedWidgetAccessible(static_cast<QWidget*>(object), reader) : nullptr;
}

QAccessible::Role widgetRole(const QWidget* widget, const PaintedReader* reader) {
  if (qobject_cast<const QDialog*>(widget) || (reader->host() && reader->host()->keepsFocus()))
    return QAccessible::Dialog;
  return widget->isWindow() ? QAccessible::Window : QAccessible::Client;
}

}  // namespace

void installPaintedAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(paintedFactory);
    routeFocusToPaintedChildren();
    return true;
  }();
  Q_UNUSED(installed);
}

void exposeAsApplicationFrame(QWidget* window) {
  installPaintedAccessibility();
  window->setProperty(kApplicationFrame, true);
}

PaintedWidgetAccessible::PaintedWidgetAccessible(QWidget* widget, PaintedReader* reader)
    : QAccessibleWidget(widget, widgetRole(widget, reader)), reader_(reader) {
  reader->startWatching();
}

PaintedWidgetAccessible::~PaintedWidgetAccessible() {
  for (const QAccessible::Id id : std::as_const(items_)) QAccessible::deleteAccessibleInterface(id);
}

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
  const QList<ButtonHost*> hosts = widget()->findChildren<ButtonHost*>();
  for (ButtonHost* other : hosts) {
    QWidget* sheet = qobject_cast<QWidget*>(other->parent());
    if (other != host() && other->keepsFocus() && sheet && sheet != widget() && !sheet->isWindow() &&
        sheet->isVisibleTo(widget()) && keyboard && (keyboard == sheet || sheet->isAncestorOf(keyboard)))
      return sheet;
  }
  return nullptr;
}

// What the widget shows, in reading order: its texts and buttons and the
// child widgets that show. While a modal sheet inside it shows, only the
// way to that sheet (and the announcement) is left: what lies behind is out.
QList<ReadingEntry> PaintedWidgetAccessible::entries() const {
  QList<ReadingEntry> texts, buttons, children;
  const QWidget* cover = modalCover();
  if (reader_ && !cover) {
    for (const PaintedReader::KeyedText& keyed : reader_->texts())
      texts.append({Kind::text, keyed.key, keyed.text.rect});
    // A group is read where its first button stands, and covers all of them.
    for (const ButtonTarget& target : reader_->buttons()) {
      const std::optional<int> group = reader_->groupKey(target.group);
      if (!group) {
        buttons.append({Kind::button, target.id, target.rect});
        continue;
      }
      const auto placed = std::find_if(buttons.begin(), buttons.end(), [&](const ReadingEntry& entry) {
        return entry.kind == Kind::group && entry.key == *group;
      });
      if (placed == buttons.end())
        buttons.append({Kind::group, *group, target.rect});
      else
        placed->rect |= target.rect;
    }
  }
  const QList<QWidget*> widgets = childWidgets();
  for (qsizetype index = 0; index < widgets.size(); ++index) {
    QWidget* child = widgets[index];
    if (!child->isVisibleTo(widget()) || (cover && child != cover && !child->isAncestorOf(cover))) continue;
    children.append({Kind::widget, static_cast<int>(index), QRectF(child->geometry())});
  }
  QList<ReadingEntry> order = interleaveReadingOrder({texts, buttons, children});
  if (reader_ && !reader_->announcement().isEmpty()) order.append({Kind::announcement, 0, {}});
  return order;
}

QAccessible::State PaintedWidgetAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  if ((host() && host()->keepsFocus()) || (widget()->isWindow() && widget()->isModal())) state.modal = true;
  return state;
}

void PaintedWidgetAccessible::release(Kind kind, int key) {
  const auto found = items_.find({static_cast<int>(kind), key});
  if (found == items_.end()) return;
  const QAccessible::Id id = *found;
  items_.erase(found);
  if (auto* item = dynamic_cast<PaintedItemAccessible*>(QAccessible::accessibleInterface(id))) {
    item->setLeaving();
    sendAccessibleEvent(QAccessibleEvent(item, QAccessible::ObjectDestroyed));
  }
  QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* PaintedWidgetAccessible::readerFocusItem() const {
  const std::optional<ReaderFocus> focus = reader_ ? readerFocus(*reader_, widget()) : std::nullopt;
  return focus ? item(focus->kind, focus->key) : nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::item(Kind kind, int key) const {
  const QList<ReadingEntry> all = entries();
  for (const ReadingEntry& entry : all)
    if (entry.kind == kind && entry.key == key) return interfaceFor(entry);
  // A button of a group that shows is the group's child.
  const std::optional<ButtonTarget> target = kind == Kind::button && reader_ ? reader_->button(key) : std::nullopt;
  if (target && groupItem(target->group)) return interfaceFor({Kind::button, key, target->rect});
  return nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::groupItem(const QString& name) const {
  const std::optional<int> group = reader_ ? reader_->groupKey(name) : std::nullopt;
  return group ? item(Kind::group, *group) : nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::interfaceFor(const ReadingEntry& entry) const {
  if (entry.kind == Kind::widget) {
    const QList<QWidget*> widgets = childWidgets();
    return entry.key < widgets.size() ? QAccessible::queryAccessibleInterface(widgets[entry.key]) : nullptr;
  }
  const std::pair<int, int> key{static_cast<int>(entry.kind), entry.key};
  if (const auto found = items_.constFind(key); found != items_.cend()) return QAccessible::accessibleInterface(*found);
  auto* item = new PaintedItemAccessible(widget(), entry.kind, entry.key);
  items_.insert(key, QAccessible::registerAccessibleInterface(item));
  return item;
}

QAccessible::Role PaintedWidgetAccessible::role() const {
  return reader_ && reader_->role() ? *reader_->role() : QAccessibleWidget::role();
}

int PaintedWidgetAccessible::childCount() const { return static_cast<int>(entries().size()); }

QAccessibleInterface* PaintedWidgetAccessible::child(int index) const {
  const QList<ReadingEntry> all = entries();
  return index >= 0 && index < all.size() ? interfaceFor(all[index]) : nullptr;
}

int PaintedWidgetAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (!child) return -1;
  const QList<ReadingEntry> all = entries();
  for (qsizetype index = 0; index < all.size(); ++index)
    if (interfaceFor(all[index]) == child) return static_cast<int>(index);
  return -1;
}

QAccessibleInterface* PaintedWidgetAccessible::childAt(int x, int y) const {
  if (!widget()->isVisible()) return nullptr;
  const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
  const QList<ReadingEntry> all = entries();
  const auto shown = [&](Kind kind, int key) {
    return std::any_of(all.cbegin(), all.cend(), [&](const ReadingEntry& e) { return e.kind == kind && e.key == key; });
  };
  // Child widgets are on top of the buttons, and the buttons of the texts.
  for (auto it = all.crbegin(); it != all.crend(); ++it)
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
  for (auto it = all.crbegin(); it != all.crend(); ++it)
    if (it->kind == Kind::text && it->rect.contains(local)) return interfaceFor(*it);
  return nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::focusChild() const {
  if (QAccessibleInterface* focused = readerFocusItem()) return focused;
  return QAccessibleWidget::focusChild();
}

}  // namespace murmela
