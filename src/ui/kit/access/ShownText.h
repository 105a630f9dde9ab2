#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

namespace murmela {

struct TextLayout;

// Where a progress bar stands, for a screen reader.
struct ProgressValue {
  qreal value = 0.0;
  qreal minimum = 0.0;
  qreal maximum = 100.0;
};

// A text a painted widget shows, as a screen reader reads it: what it says
// and where it stands (in the widget's coordinates). Widgets build these from
// the same layout values they paint, so what is read is what is drawn.
struct ShownText {
  QString text;
  QRectF rect;
  bool heading = false;                     // a screen's title: readers jump from heading to heading
  std::optional<ProgressValue> progress{};  // set: a progress bar, `text` what it shows in words
  int id = -1;  // the widget's own name for it (kept while its words change); -1: known by its words
};

// A message as a screen reader says it when it is announced: whole when
// short; when long (an answer's body after its status), up to its first
// colon, else its first sentence, else its first words. The whole stays
// readable where it is shown.
QString spokenMessage(const QString& text);

// A button's visible label as a screen reader should say it: the arrows
// that only point the way ("Continue →", "↻ Check Again") left out.
QString spokenLabel(const QString& label);

// The text with the widget's own name for it: its place among all the widget
// may show, kept whether or not those before it show now.
inline ShownText withId(ShownText text, int id) {
  text.id = id;
  return text;
}

// The text of a laid-out paragraph placed at `rect`, its lines read as one.
ShownText shownText(const TextLayout& layout, const QRectF& rect, bool heading = false);

// What a screen reader meets, in order: one painted text, button, child
// widget or the widget's announcement (`key` is the text's index, the
// button's id or the child's index).
struct ReadingEntry {
  enum class Kind { text, button, widget, announcement, group };
  Kind kind = Kind::text;
  int key = 0;
  QRectF rect;

  friend bool operator==(const ReadingEntry&, const ReadingEntry&) = default;
};

// What names one painted child among its widget's, wherever it is kept: its kind and key.
inline quint64 readerKey(ReadingEntry::Kind kind, int key) { return (quint64(kind) << 32) | quint32(key); }

// Whether `a` is read before `b`: on one line (they overlap by half the
// lower one's height) the left one first, else the upper one.
bool readsBefore(const QRectF& a, const QRectF& b);

// Interleaves lists that are each in their own reading order into one: every
// list keeps its order, and at each step the head that reads first goes next.
QList<ReadingEntry> interleaveReadingOrder(const QList<QList<ReadingEntry>>& lists);

}  // namespace murmela
