#include "kit/access/PaintedReader.h"

#include "kit/access/AccessibleEvents.h"
#include "kit/access/ApplicationAccessible.h"
#include "kit/access/PaintedAccessible.h"

#include <QChildEvent>
#include <QMetaObject>
#include <QWidget>

namespace murmela {

namespace {
// Keys of texts known by their words lie above any id a widget gives.
constexpr int kWordKeyBase = 1 << 24;
}  // namespace

PaintedReader::PaintedReader(QWidget* widget, ButtonHost* host) : QObject(widget), widget_(widget), host_(host) {
  installPaintedAccessibility();
  // Readers meet the widget's child widgets where they stand while they show.
  widget->installEventFilter(this);
  for (QObject* child : widget->children())
    if (child->isWidgetType()) child->installEventFilter(this);
  if (!host) return;
  connect(host, &ButtonHost::focusMovedTo, this, &PaintedReader::focusMoved);
  connect(host, &ButtonHost::acted, this, &PaintedReader::contentChanged);
}

PaintedReader::~PaintedReader() = default;

PaintedReader* PaintedReader::of(const QWidget* widget) {
  return widget ? widget->findChild<PaintedReader*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool PaintedReader::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved: {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (watched != widget_ || !child->isWidgetType()) break;
      if (event->type() == QEvent::ChildAdded)
        child->installEventFilter(this);
      else
        child->removeEventFilter(this);
      ++revision_;
      break;
    }
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange:
      if (watched != widget_) ++revision_;
      break;
    default:
      break;
  }
  return false;
}

void PaintedReader::setTexts(TextProvider provider) {
  texts_ = std::move(provider);
  view_.reset();
  ++revision_;
}

void PaintedReader::setButtons(ButtonProvider provider) {
  buttons_ = std::move(provider);
  view_.reset();
  ++revision_;
}

void PaintedReader::setRows(ReaderRows rows) {
  rows_ = std::move(rows);
  view_.reset();
  ++revision_;
}

PaintedReader::View PaintedReader::look() const {
  View now;
  if (buttons_)
    now.buttons = buttons_();
  else if (host_ && !rows())
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
  return now;
}

const PaintedReader::View& PaintedReader::view() const {
  if (!view_) view_ = look();
  return *view_;
}

std::optional<ButtonTarget> PaintedReader::button(int id) const {
  const View& now = view();
  if (const auto found = now.buttonAt.constFind(id); found != now.buttonAt.cend()) return now.buttons[*found];
  const std::optional<int> row = rows() ? rows_.rowOf(id) : std::nullopt;
  return row ? std::optional<ButtonTarget>(rows_.target(*row)) : std::nullopt;
}

bool PaintedReader::shows(int id) const {
  return view().buttonAt.contains(id) || (rows() && rows_.rowOf(id).has_value());
}

std::optional<int> PaintedReader::selectedListItem() const {
  const std::optional<int> row = rows() ? rows_.selected() : std::nullopt;
  return row ? std::optional<int>(rows_.id(*row)) : std::nullopt;
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
  ++revision_;
  if (host_) host_->contentChanged();
  if (!watched_ || tellPosted_ || !readersListen()) return;
  tellPosted_ = true;
  QMetaObject::invokeMethod(this, &PaintedReader::tellChanges, Qt::QueuedConnection);
}

void PaintedReader::rowsChanged() {
  rowsChangePending_ = true;
  contentChanged();
}

void PaintedReader::tellChanges() {
  tellPosted_ = false;
  if (!watched_ || !widget_ || !readersListen()) return;
  view_.reset();
  ++revision_;
  auto now = std::make_unique<AccessibleSnapshot>(accessibleSnapshot(*this));
  const bool first = !told_;
  if (!first && now->items != told_->items) sendAccessibleChanges(widget_, *told_, *now);
  told_ = std::move(now);
  if (rows()) tellRows(first);
}

// A list's rows are told as Qt's item views tell of a model that changed:
// one reset, whatever their number, and the selection that moved.
void PaintedReader::tellRows(bool first) {
  const std::optional<int> selected = selectedListItem();
  if (first) {
    rowsChangePending_ = false;
    selectedTold_ = selected;
    return;
  }
  if (std::exchange(rowsChangePending_, false)) sendRowsChanged(widget_);
  if (selected != selectedTold_) sendSelectionMoved(widget_, std::exchange(selectedTold_, selected), selected);
}

void PaintedReader::focusMoved() {
  if (!watched_ || !widget_ || !readersListen()) return;
  // Readers hear of the button (a page that changed with it) before its focus.
  tellChanges();
  sendFocus(widget_);
}

void PaintedReader::announce(const QString& text) {
  announcement_ = spokenMessage(text);
  if (widget_ && !announcement_.isEmpty()) ApplicationAccessible::noteAnnouncer(widget_);
  // A reader that has not looked at this widget yet (a toast layer) still
  // hears it: the widget's interface is made now, which starts the watch.
  if (!watched_ && widget_ && QAccessible::isActive()) QAccessible::queryAccessibleInterface(widget_);
  if (!watched_ || !widget_ || text.isEmpty()) return;
  // What changed with the announcement (a focus that moved with it) is told first.
  if (host_) host_->contentChanged();
  tellChanges();
  sendAnnouncement(widget_);
}

}  // namespace murmela
