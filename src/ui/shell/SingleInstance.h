#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace murmela {

// One running application per application folder, that is per user. The
// first launch holds "murmela.lock" in the application folder and listens on
// a local socket in the user's runtime folder; a later launch finds the lock
// taken, asks the running one over the socket to bring its window to the
// front, and ends. A lock whose process has ended (a crash, a kill) is taken
// over.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    first,       // this process is the one instance: it runs
    unguarded,   // no application folder or no lock there: it runs unguarded
    handedOver,  // the running instance brought its window forward: end
    unanswered,  // another instance holds the lock but did not answer: end
  };

  SingleInstance();
  ~SingleInstance() override;

  Claim claim();

  // What a launch that handed over tells the user on stderr: its launch
  // arguments (`arguments` without the program) only take effect when the
  // application starts, so they were not applied. Empty without arguments.
  static QString handOverNote(const QStringList& arguments);

 Q_SIGNALS:
  // A later launch asked for the window.
  void activationRequested();

 private:
  void listen(const QString& socketPath);
  bool askToActivate(const QString& socketPath) const;

  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace murmela
