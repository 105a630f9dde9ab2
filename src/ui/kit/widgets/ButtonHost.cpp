#include "kit/widgets/ButtonHost.h"


#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace murmela {

ButtonHost::ButtonHost(QWidget* widget, Provider provider)
    : QObject(widget), widget_(widget), provider_(std::move(provider)) {
  widget->setMouseTracking(true);
  widget->setFocusPolicy(Qt::StrongFocus);
  widget->installEventFilter(this);
}

ButtonHost::~ButtonHost() { setKeepsFocus(false); }

namespace {
QList<ButtonHost*>& hostsKeepingFocus() {
  static QList<ButtonHost*> hosts;
  return hosts;
}
}  // namespace

const QList<ButtonHost*>& ButtonHost::keepingFocus() { return hostsKeepingFocus(); }

void ButtonHost::setKeepsFocus(bool keeps) {
  if (keepsFocus_ == keeps) return;
  keepsFocus_ = keeps;
  if (keeps)
    hostsKeepingFocus().append(this);
  else
    hostsKeepingFocus().removeOne(this);
}

ButtonState ButtonHost::state(int id) const { return {hovered_ == id, pressedInside_ && pressed_ == id, false}; }

bool ButtonHost::showsFocus(int id) const {
  return focusVisible_ && focused_ == id && widget_ && widget_->hasFocus() && !focusInChild();
}

bool ButtonHost::focusInChild() const {
  if (!widget_) return false;
  const QWidget* focus = widget_->window()->focusWidget();
  return focus && focus != widget_ && widget_->isAncestorOf(focus);
}

namespace {
std::optional<ButtonTarget> withId(const QList<ButtonTarget>& targets, int id) {
  for (const ButtonTarget& candidate : targets)
    if (candidate.id == id) return candidate;
  return std::nullopt;
}
}  // namespace

std::optional<ButtonTarget> ButtonHost::target(int id) const { return withId(targets(), id); }

std::optional<ButtonTarget> ButtonHost::targetAt(QPointF point) const {
  // Later buttons are painted over earlier ones, so they answer first.
  const QList<ButtonTarget> all = targets();
  for (auto it = all.crbegin(); it != all.crend(); ++it)
    if (it->contains(point)) return *it;
  return std::nullopt;
}

bool ButtonHost::activate(int id) {
  const std::optional<ButtonTarget> found = target(id);
  if (!found || !found->enabled || !found->action) return false;
  // The action may take the widget (and this host) away.
  const QPointer<ButtonHost> self(this);
  found->action();
  if (self) Q_EMIT acted(id);
  return true;
}

namespace {
QList<int> focusableIds(const QList<ButtonTarget>& targets) {
  QList<int> ids;
  for (const ButtonTarget& candidate : targets)
    if (candidate.focusable && candidate.enabled) ids.append(candidate.id);
  return ids;
}
}  // namespace

void ButtonHost::followVanishedFocus() {
  if (!widget_ || !focused_ || !focusVisible_ || !widget_->hasFocus()) return;
  const QList<int> now = focusableIds(targets());
  const int vanished = *focused_;
  if (target(vanished)) {
    tabOrder_ = now;
    return;
  }
  std::optional<int> next = focusFallback_ ? focusFallback_(vanished) : std::nullopt;
  if (next == vanished) return;  // it is coming back: the ring waits for it
  if (!next || !now.contains(*next)) {
    next.reset();
    const qsizetype was = tabOrder_.indexOf(vanished);
    for (qsizetype i = was + 1; was >= 0 && i < tabOrder_.size() && !next; ++i)
      if (now.contains(tabOrder_[i])) next = tabOrder_[i];
    for (qsizetype i = was - 1; i >= 0 && !next; --i)
      if (now.contains(tabOrder_[i])) next = tabOrder_[i];
    // A page that changed whole: the button in the same place of the new one.
    if (!next && !now.isEmpty()) next = now[std::clamp<qsizetype>(was, 0, now.size() - 1)];
  }
  tabOrder_ = now;
  if (next) {
    focused_ = next;
    focusMoved();
  } else {
    focused_.reset();
    focusVisible_ = false;
    changed();
  }
}

void ButtonHost::contentChanged() {
  if (focused_ && focusVisible_ && !target(*focused_)) followVanishedFocus();
}

void ButtonHost::changed() {
  if (widget_) widget_->update();
}

void ButtonHost::focusMoved() {
  changed();
  if (!widget_ || !focused_ || !showsFocus(*focused_)) return;
  const int id = *focused_;
  tabOrder_ = focusableIds(targets());
  Q_EMIT focusMovedTo(id);
}

bool ButtonHost::focusButton(int id) {
  const std::optional<ButtonTarget> found = target(id);
  if (!widget_ || !found || !found->focusable || !found->enabled) return false;
  // The ring already there is not news to a reader.
  const bool already = showsFocus(id);
  focused_ = id;
  focusVisible_ = true;
  // Taking the keyboard by a reason other than Tab keeps the button chosen here.
  if (!widget_->hasFocus()) widget_->setFocus(Qt::OtherFocusReason);
  if (!already) focusMoved();
  return true;
}

void ButtonHost::dropFocus() {
  focused_.reset();
  focusVisible_ = false;
  changed();
}

void ButtonHost::returnFocusAfter(QDialog* sheet) {
  const std::optional<int> opener = focusVisible_ ? focused_ : std::nullopt;
  connect(sheet, &QDialog::finished, this, [this, opener] {
    if (!widget_) return;
    // Without a window manager to do it, the window takes the keyboard back itself.
    widget_->activateWindow();
    if (opener && focusButton(*opener)) return;
    widget_->setFocus(Qt::OtherFocusReason);
  });
}

void ButtonHost::setHovered(std::optional<int> id, Qt::CursorShape cursor) {
  if (widget_ && widget_->cursor().shape() != cursor) widget_->setCursor(cursor);
  if (hovered_ == id) return;
  hovered_ = id;
  changed();
}

void ButtonHost::pointerMoved(QPointF point) {
  const std::optional<ButtonTarget> over = targetAt(point);
  const bool live = over && over->enabled;
  setHovered(live ? std::optional<int>(over->id) : std::nullopt, live ? over->cursor : Qt::ArrowCursor);
  if (pressed_) {
    const bool inside = over && over->id == *pressed_;
    if (inside != pressedInside_) {
      pressedInside_ = inside;
      changed();
    }
  }
}

bool ButtonHost::pointerPressed(QPointF point) {
  const std::optional<ButtonTarget> over = targetAt(point);
  const bool hadFocusShown = focusVisible_;
  focusVisible_ = false;
  if (!over || !over->enabled) {
    if (hadFocusShown) changed();
    return over.has_value();  // a disabled button still swallows its click
  }
  pressed_ = over->id;
  pressedInside_ = true;
  if (over->focusable) focused_ = over->id;
  changed();
  return true;
}

bool ButtonHost::pointerReleased(QPointF point) {
  if (!pressed_) return false;
  const int id = *pressed_;
  const std::optional<ButtonTarget> over = targetAt(point);
  pressed_.reset();
  pressedInside_ = false;
  changed();
  if (over && over->id == id) activate(id);
  return true;
}

bool ButtonHost::hasOtherTabStops() const {
  if (!widget_ || keepsFocus_) return false;
  const QWidget* window = widget_->window();
  const QList<QWidget*> widgets = window->findChildren<QWidget*>();
  return std::any_of(widgets.cbegin(), widgets.cend(), [&](const QWidget* other) {
    return other != widget_ && (other->focusPolicy() & Qt::TabFocus) && other->isEnabled() &&
           other->isVisibleTo(window);
  });
}

ButtonHost::TabStops ButtonHost::tabStops() const {
  TabStops stops;
  QHash<QString, qsizetype> stopOfGroup;  // a tab list's stop, by the group's name
  for (const ButtonTarget& candidate : targets()) {
    if (!candidate.focusable || !candidate.enabled) continue;
    const bool focused = focusVisible_ && focused_ == candidate.id;
    if (candidate.role != ButtonRole::tab || candidate.group.isEmpty()) {
      if (focused) stops.current = stops.ids.size();
      stops.ids.append(candidate.id);
      continue;
    }
    auto stop = stopOfGroup.find(candidate.group);
    if (stop == stopOfGroup.end()) {
      stop = stopOfGroup.insert(candidate.group, stops.ids.size());
      stops.ids.append(candidate.id);
    } else if (candidate.checked.value_or(false)) {
      stops.ids[*stop] = candidate.id;  // the selected tab stands for its list
    }
    if (focused) stops.current = *stop;
  }
  return stops;
}

bool ButtonHost::moveFocus(bool forward) {
  const TabStops stops = tabStops();
  const QList<int>& order = stops.ids;
  if (order.isEmpty()) return false;
  const qsizetype current = stops.current;
  qsizetype next = current < 0 ? (forward ? 0 : order.size() - 1) : current + (forward ? 1 : -1);
  if (next < 0 || next >= order.size()) {
    if (hasOtherTabStops()) {
      focusVisible_ = false;
      changed();
      return false;  // let the window move on to its next widget
    }
    next = forward ? 0 : order.size() - 1;
  }
  const bool stays = focusVisible_ && focused_ == order[next];
  focused_ = order[next];
  focusVisible_ = true;
  focusMoved();
  if (stays) Q_EMIT focusStayed(order[next]);
  return true;
}

bool ButtonHost::moveFocusAlongTabs(bool forward) {
  const std::optional<ButtonTarget> on = focused_ && focusVisible_ ? target(*focused_) : std::nullopt;
  if (!on || on->role != ButtonRole::tab || on->group.isEmpty()) return false;
  QList<int> tabs;
  for (const ButtonTarget& candidate : targets())
    if (candidate.role == ButtonRole::tab && candidate.group == on->group && candidate.focusable && candidate.enabled)
      tabs.append(candidate.id);
  const qsizetype next = tabs.indexOf(on->id) + (forward ? 1 : -1);
  if (next < 0 || next >= tabs.size()) return true;
  focused_ = tabs[next];
  focusMoved();
  return true;
}

bool ButtonHost::keyPressed(QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  switch (event.key()) {
    case Qt::Key_Tab:
      if (modifiers & ~Qt::ShiftModifier) return false;
      return moveFocus(!(modifiers & Qt::ShiftModifier));
    case Qt::Key_Backtab:
      return moveFocus(false);
    case Qt::Key_Space:
      if (modifiers || !focusVisible_ || !focused_ || focusInChild()) return false;
      activate(*focused_);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (modifiers) return false;
      // Keys a child (a text field) leaves come on to the widget: they were
      // typed there, not on the focused button. A check box toggles with
      // Space only: Return on it is the default button's, as in a dialog.
      if (const std::optional<ButtonTarget> on =
              focusVisible_ && focused_ && !focusInChild() ? target(*focused_) : std::nullopt;
          on && on->role != ButtonRole::checkBox) {
        activate(on->id);
        return true;
      }
      if (defaultButton_) return activate(*defaultButton_);
      return false;
    default:
      return false;
  }
}

bool ButtonHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_) return false;
  switch (event->type()) {
    case QEvent::MouseMove:
      pointerMoved(static_cast<QMouseEvent*>(event)->position());
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      return mouse->button() == Qt::LeftButton && pointerPressed(mouse->position());
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      return mouse->button() == Qt::LeftButton && pointerReleased(mouse->position());
    }
    case QEvent::Leave:
      setHovered(std::nullopt, Qt::ArrowCursor);
      return false;
    case QEvent::KeyPress:
      return keyPressed(*static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn: {
      // A dialog being shown sends its focus widget a FocusIn "by Tab" of its
      // own without giving it the focus; only a real Tab shows the ring.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && widget_->hasFocus()) {
        focused_.reset();
        focusVisible_ = false;
        moveFocus(reason == Qt::TabFocusReason);
      } else {
        focusMoved();  // back on the button that had it (the window came back, a sheet closed)
      }
      return false;
    }
    case QEvent::FocusOut: {
      // Focus moving on (into a child, to another widget) takes the ring
      // along; the window losing its activation or a popup keeps it for
      // when the focus comes back.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) focusVisible_ = false;
      changed();
      return false;
    }
    default:
      return false;
  }
}

}  // namespace murmela
