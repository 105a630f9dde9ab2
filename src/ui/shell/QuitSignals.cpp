#include "shell/QuitSignals.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QSocketNotifier>
#include <QWidget>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

#include <vector>

namespace murmela {
namespace {

// The socket the handler writes to; -1 while no instance is set up.
volatile std::sig_atomic_t handlerSocket = -1;

void onQuitSignal(int number) {
  // Only async-signal-safe calls here: one write, errno left as it was.
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  [[maybe_unused]] const ssize_t written = ::write(handlerSocket, &byte, 1);
  errno = savedErrno;
}

bool prepare(int fd) {
  const int fdFlags = ::fcntl(fd, F_GETFD);
  const int statusFlags = ::fcntl(fd, F_GETFL);
  return fdFlags >= 0 && statusFlags >= 0 && ::fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) == 0 &&
         ::fcntl(fd, F_SETFL, statusFlags | O_NONBLOCK) == 0;
}

}  // namespace

struct QuitSignals::Handlers {
  std::vector<std::pair<int, struct sigaction>> previous;

  void restore() {
    for (const auto& [number, action] : previous) ::sigaction(number, &action, nullptr);
    previous.clear();
  }
};

QList<int> QuitSignals::defaultSignals() { return {SIGTERM, SIGINT, SIGHUP}; }

QuitSignals::QuitSignals(const QList<int>& signalNumbers, QObject* parent)
    : QObject(parent), replaced_(std::make_unique<Handlers>()) {
  if (handlerSocket != -1) return;  // another instance already catches them
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_) != 0) {
    fds_[0] = fds_[1] = -1;
    return;
  }
  if (!prepare(fds_[0]) || !prepare(fds_[1])) {
    ::close(fds_[0]);
    ::close(fds_[1]);
    fds_[0] = fds_[1] = -1;
    return;
  }
  handlerSocket = fds_[1];

  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int number : signalNumbers) {
    struct sigaction previous {};
    // A signal the process was started ignoring (nohup, a background job)
    // stays ignored: whoever started us asked for that.
    if (::sigaction(number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    if (::sigaction(number, &action, nullptr) == 0) replaced_->previous.emplace_back(number, previous);
  }

  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::drain);
}

QuitSignals::~QuitSignals() {
  // The handlers go before the socket: none may write to a closed (or reused)
  // descriptor.
  replaced_->restore();
  if (fds_[1] != -1) {
    handlerSocket = -1;
    delete notifier_;
    notifier_ = nullptr;
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
}

void QuitSignals::drain() {
  unsigned char bytes[64];
  QList<int> numbers;
  for (;;) {
    const ssize_t count = ::read(fds_[0], bytes, sizeof bytes);
    if (count > 0) {
      for (ssize_t i = 0; i < count; ++i) numbers.append(bytes[i]);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    break;  // nothing more for now (EAGAIN), or the pair is gone
  }
  if (numbers.isEmpty()) return;
  for (const int number : numbers) Q_EMIT received(number);
  QCoreApplication::quit();
}

void addQuitShortcut(QWidget& window) {
  auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &window);
  shortcut->setContext(Qt::ApplicationShortcut);
  // Queued: the key press is handled to its end before the event loop is left.
  QObject::connect(
      shortcut, &QShortcut::activated, QCoreApplication::instance(), [] { QCoreApplication::quit(); },
      Qt::QueuedConnection);
}

}  // namespace murmela
