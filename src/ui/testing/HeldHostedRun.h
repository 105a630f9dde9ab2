#pragma once

#include "analysis/ProcessingProgress.h"
#include "app/CoordinatorServices.h"
#include "common/MurmelaError.h"

#include <QString>

#include <mutex>
#include <optional>

namespace murmela {

// The error a held run fails with: a type name and a description of the
// caller's choosing.
class HeldRunError : public MurmelaError {
 public:
  HeldRunError(QString typeName, QString description)
      : typeName_(std::move(typeName)), description_(std::move(description)) {}
  QString typeName() const override { return typeName_; }
  QString description() const override { return description_; }
  int code() const override { return 1; }

 private:
  QString typeName_;
  QString description_;
};

// A stand-in for the hosted step of a run, for tests and pictures of the
// processing screens: a run publishes the progress chosen beforehand and is
// then held until it is stopped, or fails at once with the chosen
// description. The chosen state may change from any thread.
class HeldHostedRun {
 public:
  explicit HeldHostedRun(QString errorTypeName) : errorTypeName_(std::move(errorTypeName)) {}

  void holdAt(std::optional<ProcessingProgress> progress);
  void failWith(QString description);
  // The hosted step for a coordinator's services; this object outlives it.
  CoordinatorServices::HostedAnalysis analysis();

 private:
  const QString errorTypeName_;
  std::mutex lock_;
  std::optional<ProcessingProgress> progress_;
  std::optional<QString> failure_;
};

}  // namespace murmela
