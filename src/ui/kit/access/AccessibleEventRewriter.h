#pragma once

#include <QAccessible>

namespace murmela {

// Every event screen readers hear passes here, Qt's own (this is the update
// handler Qt calls) and the kit's alike, and is told as readers are to hear it:
// - a focus on a painted widget, which Qt tells as a focus on the widget
//   itself (an unnamed area to a reader), names the child that shows the
//   ring (a button, a list's row) or the heading instead; the same child is
//   told once per turn of the event loop, whoever told it first;
// - a text field's caret, selection and edit events count characters (code
//   points) where Qt counts UTF-16 units.
// Every other event goes on unchanged: to the sink a test set, else to the
// handler that was installed before the rewriter, else to Qt's own handling;
// a handler installed after the rewriter stays installed.
class AccessibleEventRewriter {
 public:
  explicit AccessibleEventRewriter(QAccessible::UpdateHandler previous = nullptr) : previous_(previous) {}

  // The one rewriter of the application, installed on first use.
  static AccessibleEventRewriter& installed();

  void rewrite(QAccessibleEvent* event);

 private:
  void forward(QAccessibleEvent* event);
  void rewriteFocus(QAccessibleEvent* event);

  QAccessible::UpdateHandler previous_ = nullptr;
  // The focus readers were last told of in this turn.
  QAccessible::Id focusTold_ = 0;
  bool turnEndPosted_ = false;
};

// Installs the rewriter above (once, in front of whatever handler was there).
void installAccessibleEventRewriter();
// The handler Qt calls: the installed rewriter.
void rewriteAccessibleEvent(QAccessibleEvent* event);

// Where events go once rewritten: to readers by default (only while one
// listens). A test hands in its own sink to see them without a reader; null
// gives them back to readers.
using AccessibleEventSink = void (*)(QAccessibleEvent* event);
void setAccessibleEventSink(AccessibleEventSink sink);
// Whether anything hears the kit's events: a screen reader, or a test's sink.
bool readersListen();

}  // namespace murmela
