#pragma once

#include <QList>
#include <QObject>

#include <memory>

class QSocketNotifier;
class QWidget;

namespace murmela {

// Quits the application the usual way (QCoreApplication::quit() on the GUI
// thread, so aboutToQuit runs and the coordinator stops its work) when the
// process gets one of the termination signals. The handler only writes the
// signal's number into a socket pair; a notifier on the other end reads it in
// the event loop. A signal that arrives before the event loop runs takes
// effect as soon as it does. A signal that the process was started ignoring
// (as under nohup) is left ignored.
//
// One instance at a time; it restores the handlers it replaced when it goes.
class QuitSignals : public QObject {
  Q_OBJECT

 public:
  static QList<int> defaultSignals();  // SIGTERM, SIGINT, SIGHUP

  explicit QuitSignals(const QList<int>& signalNumbers = defaultSignals(), QObject* parent = nullptr);
  ~QuitSignals() override;

  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

  // False when the socket pair or a handler could not be set up (nothing is
  // caught then, and the signals keep their default effect).
  bool isActive() const { return notifier_ != nullptr; }

 Q_SIGNALS:
  // Just before the application is asked to quit.
  void received(int signalNumber);

 private:
  void drain();

  struct Handlers;  // the handlers replaced, restored at destruction
  std::unique_ptr<Handlers> replaced_;
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

// Ctrl+Q (Command+Q on a Mac) in any window of the application quits it.
void addQuitShortcut(QWidget& window);

}  // namespace murmela
