#pragma once

#include <QApplication>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <stdexcept>

class QPainter;

namespace murmela {
class AppCoordinator;
class MurmelaDeckResultsView;
class MurmelaRootApp;
class RootView;
}  // namespace murmela

namespace murmela::test {

// A step that did not go as a person would expect.
struct WalkFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Drives the window as a person does: clicks land where a label is painted
// (through the window system, so whatever covers the spot gets them), keys go
// to the focused window. Every wait gives up and every picture fails once an
// error shows: an error text of the coordinator, the screen or a sheet, or a
// toast that is not a success message.
class WalkDriver {
 public:
  static constexpr int kTimeoutMs = 60000;

  // Pictures go to `shotFolder` (emptied first) as "NN-<step>.png".
  WalkDriver(MurmelaRootApp& app, QString shotFolder);
  ~WalkDriver();

  AppCoordinator& coordinator() const;

  void waitUntil(const std::function<bool()>& condition, const QString& what) const;

  // The screen of type T, once the window shows it.
  template <typename T>
  T& waitForScreen(const QString& what) const {
    T* found = nullptr;
    waitUntil([&] { return (found = qobject_cast<T*>(screenWidget())) && found->isVisible(); }, what);
    return *found;
  }
  // The sheet or alert of type T over the window, once it is exposed.
  template <typename T>
  T& waitForWindow(const QString& what) const {
    T* found = nullptr;
    waitUntil([&] { return (found = topLevel<T>()) && found->windowHandle() && found->windowHandle()->isExposed(); },
              what);
    return *found;
  }
  template <typename T>
  static T* topLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* typed = qobject_cast<T*>(widget); typed && typed->isVisible()) return typed;
    return nullptr;
  }

  // Where `label` is painted: the one text that is the label, else the one
  // that begins with it, in any case.
  using Painting = std::function<void(QPainter&)>;
  static QRectF labelRect(const Painting& painting, QSize size, const QString& label);

  void clickLabel(QWidget* surface, const QString& label) const;
  void click(QWidget* widget, QPointF point) const;
  void pressKey(Qt::Key key) const;
  void type(const QString& text) const;

  // The deck, once its slide stands still.
  MurmelaDeckResultsView& settledDeck(const QString& what) const;
  // A button of the deck's current slide, found where it is painted.
  void clickOnSlide(const QString& label) const;

  // Saves the window with its sheets as the next picture, then fails if an
  // error is on screen.
  void shot(const QString& step);
  void shotWhen(const std::function<bool()>& condition, const QString& step) {
    waitUntil(condition, step);
    shot(step);
  }

  // Every toast text shown so far, in order.
  const QStringList& toasts() const { return toasts_; }

 private:
  RootView& window() const;
  QWidget* screenWidget() const;
  QWidget* keyboardFocus() const;
  static Painting paintingOf(QWidget* surface);
  static void activate(QWidget* top);
  void watchDeck();
  QString where() const;
  QStringList errorsShown() const;
  QImage picture() const;

  MurmelaRootApp& app_;
  QString folder_;
  int shots_ = 0;
  QStringList toasts_;
  QObject context_;
  QPointer<MurmelaDeckResultsView> watchedDeck_;
};

bool isSuccessToast(const QString& text);

}  // namespace murmela::test
