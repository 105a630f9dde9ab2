#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

class QThreadPool;

namespace murmela {

// The coordinator's blocking work (database reads, the analysis, backend
// calls) runs on threads of its own, never the global pool, so that quitting
// never waits on a job that hangs. Results come back to the receiver's thread
// as queued calls, in the order they were posted, and only while the receiver
// is attached.
class WorkerPool {
 public:
  // Queues a call on the receiver's thread; callable from any thread, also
  // after the pool and the receiver are gone (the call is then dropped).
  using Post = std::function<void(std::function<void()>)>;

  explicit WorkerPool(QObject* receiver, int maxThreads = 4);
  // shutdown() with a generous bound, unless it already ran.
  ~WorkerPool();

  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Runs `job` on a pool thread. After shutdown() nothing runs.
  void run(std::function<void()> job);
  const Post& post() const { return post_; }

  // Blocks until no job runs or waits to run, up to `timeout`; results they
  // posted are still to be delivered. True when the pool is idle.
  bool waitForIdle(std::chrono::milliseconds timeout);

  // Detaches the receiver (later posts are dropped), drops the jobs that have
  // not started, and waits up to `timeout` for the running ones. Jobs still running then are left to the process's
  // exit: the threads are not waited for again. True when every job ended.
  bool shutdown(std::chrono::milliseconds timeout);

 private:
  struct Mailbox {
    std::mutex lock;
    QObject* receiver = nullptr;
  };

  std::shared_ptr<Mailbox> mailbox_;
  Post post_;
  QThreadPool* pool_ = nullptr;  // owned; left behind when a job outlives shutdown()
};

}  // namespace murmela
