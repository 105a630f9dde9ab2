#pragma once

#include "kit/access/ReaderRows.h"
#include "kit/access/ShownText.h"
#include "kit/widgets/ButtonHost.h"

#include <QAccessible>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace murmela {

struct AccessibleSnapshot;

// What screen readers see of one painted widget: its texts and buttons as
// items that keep their identity while they show (a button by its id, a text
// by the id the widget gives it, a group of buttons by its name), with their
// role, name, description, value and state; a list's rows by index from the
// list's own model.
//
// Readers are answered from the view taken when the widget last said its
// content changed (a reader asks hundreds of questions about one change, and
// the widget is not laid out again for each), and are told how it differs
// from what they were told before: at once when the focus moves or an
// announcement is made, else before the event loop turns again. Painting
// plays no part: a widget that shows something new says so with
// contentChanged(). The button host's focus moves and actions say so too, and
// so do the widget's child widgets as they show, hide, move or come and go.
//
// The widget's accessibility interface (PaintedWidgetAccessible) reads this;
// a widget is served by one when it has a reader among its direct children.
class PaintedReader : public QObject {
  Q_OBJECT

 public:
  using TextProvider = std::function<QList<ShownText>()>;
  using ButtonProvider = std::function<QList<ButtonTarget>()>;

  // Serves `widget` for as long as both live; `host` (may be null) has its buttons.
  PaintedReader(QWidget* widget, ButtonHost* host);
  ~PaintedReader() override;

  // The texts the widget shows, in reading order; a reader meets them
  // between the buttons by where they stand.
  void setTexts(TextProvider provider);
  // The buttons readers are shown, where they are more than the host lists
  // (a slide's buttons while it moves).
  void setButtons(ButtonProvider provider);
  // A list's rows: readers meet them (and only them) as the widget's
  // children, asked for by index; the host's buttons then stand for the rows
  // the keys and the pointer meet.
  void setRows(ReaderRows rows);
  const ReaderRows* rows() const { return rows_.count ? &rows_ : nullptr; }
  // What the widget is as a whole (a list of rows); by default a dialog, a
  // window or a plain area.
  void setRole(QAccessible::Role role) { role_ = role; }
  std::optional<QAccessible::Role> role() const { return role_; }

  QWidget* widget() const { return widget_; }
  ButtonHost* host() const { return host_; }

  // The widget shows something new: readers are answered from it now and
  // told the difference before the event loop turns again.
  void contentChanged();
  // The list's rows came, went or changed: readers are told so in one event
  // (they ask again for what they need), whatever the number of rows.
  void rowsChanged();
  // Tells readers what changed since they were last told, now.
  void tellChanges();
  // Has a screen reader speak `text` once now (a toast, an error that
  // appears, a new phase), in short when it is long; it stays readable as
  // the application's child of role notification.
  void announce(const QString& text);
  const QString& announcement() const { return announcement_; }

  // The view readers are answered from.
  struct KeyedText {
    int key = 0;
    ShownText text;
  };
  const QList<ButtonTarget>& buttons() const { return view().buttons; }
  // A button, or a row by its id.
  std::optional<ButtonTarget> button(int id) const;
  bool shows(int id) const;
  const QList<KeyedText>& texts() const { return view().texts; }
  std::optional<ShownText> text(int key) const;
  // The names of the button groups that show, in the order their first
  // button comes, and the key each keeps by its name (the same whenever it shows).
  QStringList groups() const;
  std::optional<int> groupKey(const QString& name) const;
  std::optional<QString> groupName(int key) const;

  // The buttons of a group, in their order; the id of a list's selected row.
  QList<int> groupMembers(const QString& name) const { return view().members.value(name); }
  std::optional<int> selectedListItem() const;
  // Counts the widget's changes (its content, its child widgets): what is
  // worked out from one holds until the next.
  quint64 revision() const { return revision_; }

  // Called by the widget's interface: readers look at the widget from now on.
  void startWatching();
  bool watched() const { return watched_; }

  // The reader of a widget, if it has one.
  static PaintedReader* of(const QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct View {
    QList<ButtonTarget> buttons;
    QList<KeyedText> texts;
    QHash<int, qsizetype> buttonAt;  // by id
    QHash<int, qsizetype> textAt;    // by key
    QStringList groups;              // in the order their first button comes
    QHash<QString, QList<int>> members;
  };
  const View& view() const;
  View look() const;
  void focusMoved();
  void tellRows(bool first);

  QPointer<QWidget> widget_;
  QPointer<ButtonHost> host_;
  TextProvider texts_;
  ButtonProvider buttons_;
  ReaderRows rows_;
  std::optional<QAccessible::Role> role_;
  QString announcement_;
  bool watched_ = false;
  bool tellPosted_ = false;
  quint64 revision_ = 0;
  mutable std::optional<View> view_;
  // Texts the widget gives no id: keyed by their words and which of the
  // equal ones they are, for as long as they show.
  mutable QHash<QString, int> wordKeys_;
  mutable QHash<QString, int> groupKeys_;  // every group shown so far
  mutable QHash<int, QString> groupNames_;
  mutable int nextKey_ = 0;
  std::unique_ptr<AccessibleSnapshot> told_;  // what readers were last told
  bool rowsChangePending_ = false;            // a change of the rows waits to be told
  std::optional<int> selectedTold_;           // the selected row readers were told of
};

}  // namespace murmela
