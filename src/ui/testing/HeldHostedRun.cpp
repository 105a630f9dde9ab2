#include "testing/HeldHostedRun.h"

#include <chrono>
#include <thread>

namespace murmela {

void HeldHostedRun::holdAt(std::optional<ProcessingProgress> progress) {
  std::lock_guard guard(lock_);
  progress_ = std::move(progress);
  failure_.reset();
}

void HeldHostedRun::failWith(QString description) {
  std::lock_guard guard(lock_);
  progress_.reset();
  failure_ = std::move(description);
}

CoordinatorServices::HostedAnalysis HeldHostedRun::analysis() {
  return [this](const ImportedChat&, const WrappedReport&, HostedAnalysisWorkflow,
                const std::function<void(const ProcessingProgress&)>& publish,
                std::stop_token stop) -> HostedAnalysisResult {
    std::optional<ProcessingProgress> progress;
    std::optional<QString> failure;
    {
      std::lock_guard guard(lock_);
      progress = progress_;
      failure = failure_;
    }
    if (failure) throw HeldRunError(errorTypeName_, *failure);
    if (progress) publish(*progress);
    while (!stop.stop_requested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    throw CancellationError();
  };
}

}  // namespace murmela
