#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace murmela {

// The one transient message of a deck ("Slide copied to clipboard.", a save
// error). show() replaces whatever is shown at once and restarts the one
// dismissal timer, so only the newest message's delay can clear the text.
// The delay runs through a seam (the manager's own single-shot timer by
// default), so a test fires it by hand; a delay that fires for an older
// message leaves a newer one alone.
class ToastManager : public QObject {
  Q_OBJECT

 public:
  // Arms the dismissal: call `fire` after `milliseconds`, forgetting any earlier arming.
  using Scheduler = std::function<void(int milliseconds, std::function<void()> fire)>;
  // Every share outcome stays on screen this long.
  static constexpr double kDefaultDuration = 2.4;

  explicit ToastManager(QObject* parent = nullptr);
  ToastManager(Scheduler scheduler, QObject* parent = nullptr);

  // The text on screen; none means no toast.
  const std::optional<QString>& current() const { return current_; }
  // Shows `text` for `durationSeconds` (0 clears it at the next turn of the
  // event loop; a negative or non-finite duration counts as 0).
  void show(const QString& text, double durationSeconds = kDefaultDuration);
  // Takes the message down at once (a deck that goes away; tests).
  void clear();

 Q_SIGNALS:
  void currentChanged();

 private:
  void dismiss(quint64 shown);

  QTimer timer_;
  std::function<void()> armed_;
  Scheduler scheduler_;
  std::optional<QString> current_;
  quint64 generation_ = 0;
};

}  // namespace murmela
