#include "kit/access/PaintedReader.h"

#include "kit/access/AccessibleEvents.h"
#include "kit/access/ApplicationAccessible.h"
#include "kit/access/PaintedAccessible.h"

#include <QMetaObject>
#include <QWidget>

namespace murmela {

namespace {
// Keys of texts known by their words lie above any id a widget gives.
constexpr int kWordKeyBase = 1 << 24;
}  // namespace

PaintedReader::PaintedReader(QWidget* widget, ButtonHost* host) : QObject(widget), widget_(widget), host_(host) {
  installPaintedAccessibility();
  if (!host) return;
  connect(host, &ButtonHost::focusMovedTo, this, &PaintedReader::focusMoved);
  connect(host, &ButtonHost::acted, this, &PaintedReader::contentChanged);
}

PaintedReader::~PaintedReader() = default;

PaintedReader* PaintedReader::of(const QWidget* widget) {
  return widget ? widget->findChild<PaintedReader*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void PaintedReader::setTexts(TextProvider provider) {
  texts_ = std::move(provider);
  view_.reset();
}

void PaintedReader::setButtons(ButtonProvider provider) {
  buttons_ = std::move(provider);
  view_.reset();
}

PaintedReader::View PaintedReader::look() const {
  View now;
  if (buttons_)
    now.buttons = buttons_();
  else if (host_)
    now.buttons = host_->targets();
  QHash<QString, int> seen;
  QHash<QString, int> keys;
  for (const ShownText& shown : texts_ ? texts_() : QList<ShownText>{}) {
    if (shown.id >= 0) {
      now.texts.append({shown.id, shown});
      continue;
    }
    const QString identity = shown.progress ? QStringLiteral("\x01progress") : shown.text;
    const QString word = identity + u'\x02' + QString::number(seen[identity]++);
    const int key = wordKeys_.value(word, kWordKeyBase + nextKey_);
    if (key == kWordKeyBase + nextKey_) ++nextKey_;
    keys.insert(word, key);
    now.texts.append({key, shown});
  }
  wordKeys_ = keys;  // a text gone is forgotten
  now.textAt.reserve(now.texts.size());
  for (qsizetype index = 0; index < now.texts.size(); ++index) now.textAt.insert(now.texts[index].key, index);
  now.buttonAt.reserve(now.buttons.size());
  for (qsizetype index = 0; index < now.buttons.size(); ++index) {
    const ButtonTarget& target = now.buttons[index];
    now.buttonAt.insert(target.id, index);
    if (!now.selectedListItem && target.role == ButtonRole::listItem && target.checked.value_or(false))
      now.selectedListItem = target.id;
    if (target.group.isEmpty()) continue;
    QList<int>& members = now.members[target.group];
    if (members.isEmpty()) {
      now.groups.append(target.group);
      // A group keeps its key by its name: closed and opened again, it is the same item.
      if (!groupKeys_.contains(target.group)) {
        groupKeys_.insert(target.group, nextKey_);
        groupNames_.insert(nextKey_++, target.group);
      }
    }
    members.append(target.id);
  }
  ++generation_;
  return now;
}

const PaintedReader::View& PaintedReader::view() const {
  if (!view_) view_ = look();
  return *view_;
}

std::optional<ButtonTarget> PaintedReader::button(int id) const {
  const View& now = view();
  const auto found = now.buttonAt.constFind(id);
  return found == now.buttonAt.cend() ? std::nullopt : std::optional<ButtonTarget>(now.buttons[*found]);
}

std::optional<ShownText> PaintedReader::text(int key) const {
  const View& now = view();
  const auto found = now.textAt.constFind(key);
  return found == now.textAt.cend() ? std::nullopt : std::optional<ShownText>(now.texts[*found].text);
}

QStringList PaintedReader::groups() const { return view().groups; }

std::optional<int> PaintedReader::groupKey(const QString& name) const {
  if (name.isEmpty() || !view().members.contains(name)) return std::nullopt;
  return groupKeys_.value(name);
}

std::optional<QString> PaintedReader::groupName(int key) const {
  const auto found = groupNames_.constFind(key);
  if (found == groupNames_.cend() || !view().members.contains(*found)) return std::nullopt;
  return *found;
}

void PaintedReader::startWatching() { watched_ = true; }

void PaintedReader::contentChanged() {
  view_.reset();
  if (host_) host_->contentChanged();
  if (!watched_ || tellPosted_ || !readersListen()) return;
  tellPosted_ = true;
  QMetaObject::invokeMethod(this, &PaintedReader::tellChanges, Qt::QueuedConnection);
}

void PaintedReader::tellChanges() {
  tellPosted_ = false;
  if (!watched_ || !widget_ || !readersListen()) return;
  view_.reset();
  auto now = std::make_unique<AccessibleSnapshot>(accessibleSnapshot(*this));
  if (told_ && now->items != told_->items) sendAccessibleChanges(widget_, *told_, *now);
  told_ = std::move(now);
}

void PaintedReader::focusMoved(int id) {
  if (!watched_ || !widget_ || !readersListen()) return;
  // Readers hear of the button (a page that changed with it) before its focus.
  tellChanges();
  sendButtonFocus(widget_, id);
}

void PaintedReader::announce(const QString& text) {
  announcement_ = spokenMessage(text);
  if (widget_ && !announcement_.isEmpty()) ApplicationAccessible::noteAnnouncer(widget_);
  // A reader that has not looked at this widget yet (a toast layer) still
  // hears it: the widget's interface is made now, which starts the watch.
  if (!watched_ && widget_ && QAccessible::isActive()) QAccessible::queryAccessibleInterface(widget_);
  if (!watched_ || !widget_ || text.isEmpty()) return;
  // A focus that moves with what is announced goes first: a focus change
  // cuts short whatever a reader is saying.
  if (host_) host_->contentChanged();
  tellChanges();
  sendAnnouncement(widget_);
}

}  // namespace murmela
