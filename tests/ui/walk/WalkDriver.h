#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <mutex>
#include <stdexcept>

class QPainter;

namespace murmela {
class AppCoordinator;
class MurmelaDeckResultsView;
class MurmelaRootApp;
class RootView;
}  // namespace murmela

namespace murmela::test {

// A step of a walk that did not go as a person would expect; the test turns
// it into its failure message.
struct WalkFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Records every warning, critical and fatal message Qt prints while it lives,
// from any thread; each still reaches the handler that was there before.
class QtWarningRecorder {
 public:
  QtWarningRecorder();
  ~QtWarningRecorder();
  QtWarningRecorder(const QtWarningRecorder&) = delete;
  QtWarningRecorder& operator=(const QtWarningRecorder&) = delete;

  QStringList messages() const;

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

  mutable std::mutex lock_;
  QStringList messages_;
  QtMessageHandler previous_ = nullptr;
};

// Drives the application's window as a person does: it waits for what the
// window shows, clicks where a label is painted (pressed and released through
// the window system, so whatever covers the spot gets the click), presses
// keys in the focused window, and saves a picture of each step. Every wait
// gives up early when an error shows, and every picture fails the walk when
// one is on screen: an error text of the coordinator or of the shown screen,
// a sheet's error, or a toast that is not one of the expected success texts.
class WalkDriver {
 public:
  static constexpr int kTimeoutMs = 60000;

  // Pictures go to `shotFolder` (emptied first) as "NN-<step>.png".
  WalkDriver(MurmelaRootApp& app, QString shotFolder);
  ~WalkDriver();

  RootView& window() const;
  AppCoordinator& coordinator() const;
  QString screenName() const;  // the class of the shown screen widget

  // Waits until `condition` holds; throws when the time runs out or an
  // error shows first.
  void waitUntil(const std::function<bool()>& condition, const QString& what, int timeoutMs = kTimeoutMs) const;

  // Waits until the window shows a screen of type T (visible) and returns it.
  template <typename T>
  T& waitForScreen(const QString& what, int timeoutMs = kTimeoutMs) const {
    waitUntil([this] { return shown<T>() != nullptr; }, what, timeoutMs);
    return *shown<T>();
  }
  template <typename T>
  T* shown() const {
    auto* screen = qobject_cast<T*>(screenWidget());
    return screen && screen->isVisible() ? screen : nullptr;
  }

  // Waits until a window of type T (a sheet or an alert over the window) is
  // shown and exposed, and returns it.
  template <typename T>
  T& waitForWindow(const QString& what, int timeoutMs = kTimeoutMs) const {
    T* found = nullptr;
    waitUntil([&found] { return (found = topLevel<T>()) != nullptr; }, what, timeoutMs);
    exposed(found);
    return *found;
  }
  template <typename T>
  static T* topLevel() {
    for (QWidget* widget : topLevels())
      if (auto* typed = qobject_cast<T*>(widget); typed && typed->isVisible()) return typed;
    return nullptr;
  }

  // Where `label` is painted (in the painting's coordinates): the one text
  // that is the label, else the one that begins with it, in any case.
  using Painting = std::function<void(QPainter&)>;
  static QRectF labelRect(const Painting& painting, QSize size, const QString& label);
  // The painting of a screen, sheet or list as it stands now.
  static Painting paintingOf(QWidget* surface);

  // A click on the spot of `surface` where `label` is painted.
  void clickLabel(QWidget* surface, const QString& label) const;
  // The pointer moves to `point` of `widget`, presses and releases there
  // (its window activated first, as a window manager does).
  void click(QWidget* widget, QPointF point) const;
  // A key pressed and released in the window that holds the focus.
  void pressKey(Qt::Key key) const;
  // Typed into the widget that holds the focus.
  void type(const QString& text) const;

  // The deck shown now, waited for until its slide stands still.
  MurmelaDeckResultsView& settledDeck(const QString& what) const;
  // A click on a button of the deck's current slide, found where it is painted.
  void clickOnSlide(const QString& label) const;

  // Saves the window (with the sheets over it) as the next picture, after
  // checking that no error is on screen.
  void shot(const QString& step);

  // The errors on screen now, as short descriptions.
  QStringList errorsShown() const;
  // Every toast text shown so far, in order.
  const QStringList& toasts() const { return toasts_; }
  // The picture a shot saves.
  QImage picture() const;

 private:
  QWidget* screenWidget() const;
  QWidget* keyboardFocus() const;
  static QList<QWidget*> topLevels();
  static void exposed(QWidget* window);
  static void activate(QWidget* top);
  void watchDeck();
  QString where() const;

  MurmelaRootApp& app_;
  QString folder_;
  int shots_ = 0;
  QStringList toasts_;
  QObject context_;
  QPointer<MurmelaDeckResultsView> watchedDeck_;
};

// Whether a toast text is one of the success messages of the share actions.
bool isSuccessToast(const QString& text);

}  // namespace murmela::test
