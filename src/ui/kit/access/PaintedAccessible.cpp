#include "kit/access/PaintedAccessible.h"

#include "kit/access/TextFieldAccessible.h"
#include "kit/widgets/ButtonHost.h"

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

// The button a reader is told has the keyboard: the one with the ring, or,
// in a list that holds the keyboard, its selected row.
std::optional<int> readerFocus(const ButtonHost& host, const QWidget* widget) {
  if (host.focused() && host.showsFocus(*host.focused())) return host.focused();
  if (host.readerRole() != QAccessible::List || !widget || !widget->hasFocus()) return std::nullopt;
  for (const ButtonTarget& target : host.targets())
    if (target.role == ButtonRole::listItem && target.checked.value_or(false)) return target.id;
  return std::nullopt;
}

// One painted child: a text, a progress bar, a button or the announcement.
// It keeps only its widget, kind and key, and asks the host afresh for what
// it is each time, so it never tells an old state.
class PaintedItemAccessible : public QAccessibleInterface,
                              public QAccessibleActionInterface,
                              public QAccessibleValueInterface {
 public:
  PaintedItemAccessible(QWidget* widget, Kind kind, int key) : widget_(widget), kind_(kind), key_(key) {}

  bool isValid() const override {
    ButtonHost* host = hostOf();
    if (!host) return false;
    switch (kind_) {
      case Kind::button:
        return host->target(key_).has_value();
      case Kind::text:
        return key_ < host->texts().size();
      case Kind::announcement:
        return true;
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
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return widget_ ? QAccessible::queryAccessibleInterface(widget_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text which) const override {
    if (kind_ == Kind::announcement) {
      const ButtonHost* host = hostOf();
      return which == QAccessible::Name && host ? host->announcement() : QString();
    }
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
    return {};
  }

  QAccessible::Role role() const override {
    switch (kind_) {
      case Kind::announcement:
        return QAccessible::Notification;
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
    const ButtonHost* host = hostOf();
    if (!host || !widget_->isVisible()) state.invisible = true;
    if (kind_ == Kind::announcement && (!host || host->announcement().isEmpty())) state.invisible = true;
    if (kind_ == Kind::text) state.readOnly = true;
    if (kind_ != Kind::button || !host) return state;
    const std::optional<ButtonTarget> target = button();
    if (!target) {
      state.invisible = true;
      return state;
    }
    state.disabled = !target->enabled;
    state.focusable = target->focusable && target->enabled;
    state.focused = readerFocus(*host, widget_) == key_;
    state.defaultButton = host->defaultButton() == key_;
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
    if (!target || !target->enabled) return {};
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

  QVariant currentValue() const override { return progress().value; }
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override { return progress().maximum; }
  QVariant minimumValue() const override { return progress().minimum; }
  QVariant minimumStepSize() const override { return 0.0; }

 private:
  ButtonHost* hostOf() const {
    const PaintedWidgetAccessible* parent = widget_ ? PaintedWidgetAccessible::of(widget_.data()) : nullptr;
    return parent ? parent->host() : nullptr;
  }
  std::optional<ButtonTarget> button() const {
    const ButtonHost* host = hostOf();
    return host && kind_ == Kind::button ? host->target(key_) : std::nullopt;
  }
  std::optional<ShownText> text() const {
    const ButtonHost* host = hostOf();
    if (!host || kind_ != Kind::text) return std::nullopt;
    const QList<ShownText> texts = host->texts();
    return key_ < texts.size() ? std::optional<ShownText>(texts[key_]) : std::nullopt;
  }
  ProgressValue progress() const {
    const std::optional<ShownText> shown = text();
    return shown && shown->progress ? *shown->progress : ProgressValue{};
  }

  QPointer<QWidget> widget_;
  Kind kind_;
  int key_;
};

const char* const kApplicationFrame = "murmelaApplicationFrame";

QAccessibleInterface* paintedFactory(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  if (auto* field = qobject_cast<QLineEdit*>(object)) return new TextFieldAccessible(field);
  if (object->property(kApplicationFrame).toBool())
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  auto* host = object->findChild<ButtonHost*>(QString(), Qt::FindDirectChildrenOnly);
  return host ? new PaintedWidgetAccessible(static_cast<QWidget*>(object), host) : nullptr;
}

QAccessible::Role widgetRole(const QWidget* widget) {
  if (qobject_cast<const QDialog*>(widget)) return QAccessible::Dialog;
  return widget->isWindow() ? QAccessible::Window : QAccessible::Client;
}

}  // namespace

void installPaintedAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(paintedFactory);
    return true;
  }();
  Q_UNUSED(installed);
}

void exposeAsApplicationFrame(QWidget* window) {
  installPaintedAccessibility();
  window->setProperty(kApplicationFrame, true);
}

PaintedWidgetAccessible::PaintedWidgetAccessible(QWidget* widget, ButtonHost* host)
    : QAccessibleWidget(widget, widgetRole(widget)), host_(host) {
  host->readersWatch_ = true;
}

PaintedWidgetAccessible::~PaintedWidgetAccessible() {
  for (const QAccessible::Id id : std::as_const(items_)) QAccessible::deleteAccessibleInterface(id);
}

ButtonHost* PaintedWidgetAccessible::host() const { return host_; }

PaintedWidgetAccessible* PaintedWidgetAccessible::of(QWidget* widget) {
  return dynamic_cast<PaintedWidgetAccessible*>(QAccessible::queryAccessibleInterface(widget));
}

QList<QWidget*> PaintedWidgetAccessible::childWidgets() const {
  QList<QWidget*> widgets;
  for (QObject* object : widget()->children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child && !child->isWindow()) widgets.append(child);
  }
  return widgets;
}

QList<ReadingEntry> PaintedWidgetAccessible::entries() const {
  QList<ReadingEntry> texts, buttons, children, hidden;
  if (host_) {
    const QList<ShownText> shown = host_->texts();
    for (qsizetype index = 0; index < shown.size(); ++index)
      texts.append({Kind::text, static_cast<int>(index), shown[index].rect});
    for (const ButtonTarget& target : host_->targets()) buttons.append({Kind::button, target.id, target.rect});
  }
  const QList<QWidget*> widgets = childWidgets();
  for (qsizetype index = 0; index < widgets.size(); ++index) {
    const ReadingEntry entry{Kind::widget, static_cast<int>(index), QRectF(widgets[index]->geometry())};
    (widgets[index]->isVisibleTo(widget()) ? children : hidden).append(entry);
  }
  QList<ReadingEntry> order = interleaveReadingOrder({texts, buttons, children});
  order.append(hidden);
  if (host_ && !host_->announcement().isEmpty()) order.append({Kind::announcement, 0, {}});
  return order;
}

QAccessibleInterface* PaintedWidgetAccessible::item(Kind kind, int key) const {
  const QList<ReadingEntry> all = entries();
  for (const ReadingEntry& entry : all)
    if (entry.kind == kind && entry.key == key) return interfaceFor(entry);
  return nullptr;
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
  return host_ && host_->readerRole() ? *host_->readerRole() : QAccessibleWidget::role();
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
  const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
  const QList<ReadingEntry> all = entries();
  // Buttons and child widgets are on top of the texts; later ones on top of earlier.
  for (const Kind kind : {Kind::widget, Kind::button, Kind::text})
    for (auto it = all.crbegin(); it != all.crend(); ++it)
      if (it->kind == kind && it->rect.contains(local)) return interfaceFor(*it);
  return nullptr;
}

QAccessibleInterface* PaintedWidgetAccessible::focusChild() const {
  if (const std::optional<int> focused = host_ ? readerFocus(*host_, widget()) : std::nullopt)
    return item(Kind::button, *focused);
  return QAccessibleWidget::focusChild();
}

AccessibleSnapshot accessibleSnapshot(const ButtonHost& host) {
  AccessibleSnapshot snapshot;
  const QList<ShownText> texts = host.texts();
  for (qsizetype index = 0; index < texts.size(); ++index) {
    const ShownText& shown = texts[index];
    snapshot.items.append({.kind = Kind::text,
                           .key = static_cast<int>(index),
                           .name = shown.text,
                           .progress = shown.progress ? std::optional<qreal>(shown.progress->value) : std::nullopt});
  }
  for (const ButtonTarget& target : host.targets())
    snapshot.items.append({.kind = Kind::button,
                           .key = target.id,
                           .name = target.name,
                           .value = target.value,
                           .checked = target.checked,
                           .enabled = target.enabled});
  return snapshot;
}

namespace {

AccessibleEventSink eventSink = &QAccessible::updateAccessibility;

void send(QAccessibleEvent&& event) { eventSink(&event); }

}  // namespace

void setAccessibleEventSink(AccessibleEventSink sink) { eventSink = sink ? sink : &QAccessible::updateAccessibility; }

void sendAccessibleChanges(QWidget* widget, const AccessibleSnapshot& before, const AccessibleSnapshot& after) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (!parent) return;
  for (const AccessibleItemState& now : after.items) {
    const AccessibleItemState* was = nullptr;
    for (const AccessibleItemState& candidate : before.items)
      if (candidate.kind == now.kind && candidate.key == now.key) was = &candidate;
    QAccessibleInterface* item = parent->item(now.kind, now.key);
    if (!item) continue;
    if (!was) {
      send(QAccessibleEvent(item, QAccessible::ObjectCreated));
      continue;
    }
    if (was->name != now.name) send(QAccessibleEvent(item, QAccessible::NameChanged));
    QAccessible::State changed;
    if (was->checked != now.checked) {
      changed.checked = true;
      changed.selected = true;
    }
    if (was->enabled != now.enabled) changed.disabled = true;
    if (!(changed == QAccessible::State())) send(QAccessibleStateChangeEvent(item, changed));
    if (was->progress != now.progress && now.progress)
      send(QAccessibleValueChangeEvent(item, *now.progress));
    else if (was->value != now.value)
      send(QAccessibleValueChangeEvent(item, now.value));
  }
}

void sendButtonFocus(QWidget* widget, int id) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (QAccessibleInterface* item = parent ? parent->item(Kind::button, id) : nullptr)
    send(QAccessibleEvent(item, QAccessible::Focus));
}

void sendAnnouncement(QWidget* widget) {
  PaintedWidgetAccessible* parent = PaintedWidgetAccessible::of(widget);
  if (QAccessibleInterface* item = parent ? parent->item(Kind::announcement, 0) : nullptr) {
    send(QAccessibleEvent(item, QAccessible::NameChanged));
    send(QAccessibleEvent(item, QAccessible::ObjectShow));
  }
}

}  // namespace murmela
