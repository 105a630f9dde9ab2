#pragma once

#include "privacy/LocalHostCheck.h"
#include "privacy/PrivacyFilterSetupState.h"
#include "privacy/PrivacyRuntimeManager.h"

#include <QList>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <optional>

namespace murmela {

// Gets the privacy filter onto this machine and shows how far it is: the
// phase, the overall progress (0 to 1), a three-row checklist, one detail
// line and the estimated remaining time, each a property with a change signal
// that is emitted on every assignment (also of an unchanged value).
//
// start() runs three steps: the host check (Apple Silicon only), the runtime
// (already installed, installed from a local archive, or downloaded and
// installed) and a smoke test that loads the model in the runtime's Python.
// It lives on the GUI thread; the install work runs on the privacy worker
// pool and comes back as queued calls. A start() while a setup runs joins
// it; a resetState() while a setup runs is carried out when it has ended.
class PrivacyFilterSetup : public QObject {
  Q_OBJECT
  Q_PROPERTY(murmela::PrivacyFilterPhase phase READ phase NOTIFY phaseChanged)
  Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
  Q_PROPERTY(QList<murmela::PrivacyFilterSubStep> subSteps READ subSteps NOTIFY subStepsChanged)
  Q_PROPERTY(std::optional<QString> detail READ detail NOTIFY detailChanged)
  Q_PROPERTY(std::optional<double> estimatedRemainingSeconds READ estimatedRemainingSeconds NOTIFY
                 estimatedRemainingSecondsChanged)

 public:
  static constexpr const char* kModelIdentifier = "mlx-community/openai-privacy-filter-6bit";
  // Loading the model takes a while on a slow disk, but a Python that never
  // ends must not leave the setup waiting for ever.
  static constexpr int kSmokeTestTimeoutMs = 10 * 60 * 1000;

  struct Options {
    PrivacyRuntimeManager manager;
    HostProbe hostProbe;  // empty: the system's machine name
    int smokeTestTimeoutMs = kSmokeTestTimeoutMs;
  };

  // Null when the setup succeeded; otherwise the error that stopped it (a
  // PrivacyFilterError).
  using Completion = std::function<void(std::exception_ptr error)>;
  using ProgressHandler = PrivacyRuntimeManager::ProgressHandler;

  explicit PrivacyFilterSetup(QObject* parent = nullptr);
  explicit PrivacyFilterSetup(Options options, QObject* parent = nullptr);

  // The one instance of the application, made on first use (on the GUI thread).
  static PrivacyFilterSetup& shared();

  const PrivacyFilterPhase& phase() const { return phase_; }
  double progress() const { return progress_; }
  const QList<PrivacyFilterSubStep>& subSteps() const { return subSteps_; }
  const std::optional<QString>& detail() const { return detail_; }
  const std::optional<double>& estimatedRemainingSeconds() const { return estimatedRemainingSeconds_; }
  bool isRunning() const { return running_; }

  // Runs the setup, or joins the one running. Ends in `ready`, or in
  // `failed` with the error's description. `completion` is called once,
  // after start() has returned, unless the setup object is gone.
  void start(Completion completion = {});

  // Removes the runtime, the folders "venv", "hf-cache" and "logs" of the
  // application folder and the model's cache under ~/.cache/huggingface/hub,
  // and returns every property to its first value. Never fails. During a
  // setup it is deferred until that setup has ended.
  void resetState();
  bool isResetPending() const { return resetPending_; }

  // What one download report makes of the progress, detail and remaining time.
  struct DownloadReading {
    double progress = 0;
    QString detail;
    double remainingSeconds = 0;
  };
  static DownloadReading downloadReading(const PrivacyRuntimeDownloadProgress& report);
  // "999 B", "1.5 MB", "12 MB", "5000 GB" (1000-based, GB at most).
  static QString formatBytes(qint64 bytes);
  // The script the smoke test runs with "-c".
  static QString smokeTestScript();

  // A receiver of download reports for the setup now running. It may be
  // called from any thread while this object exists; each report is applied
  // on the GUI thread, and only while that same setup is still running and
  // installing the runtime.
  ProgressHandler downloadProgressReceiver();

 Q_SIGNALS:
  void phaseChanged();
  void progressChanged();
  void subStepsChanged();
  void detailChanged();
  void estimatedRemainingSecondsChanged();

 private:
  using Step = std::function<void()>;

  void ensureRuntime(quint64 run, Step next);
  void smokeTest(quint64 run, Step next);
  void applyDownloadProgress(quint64 run, const PrivacyRuntimeDownloadProgress& report);
  void fail(quint64 run, std::exception_ptr error);
  void finish(std::exception_ptr error);
  void performReset();

  void resetSubSteps();
  void markSubStep(const QString& id, PrivacyFilterSubStep::State state);
  void setState(PrivacyFilterPhase::Kind kind, double progress, std::optional<QString> detail,
                std::optional<double> remainingSeconds);
  void setPhase(PrivacyFilterPhase phase);
  void setProgress(double progress);
  void setDetail(std::optional<QString> detail);
  void setRemaining(std::optional<double> seconds);
  void setSubSteps(QList<PrivacyFilterSubStep> steps);
  bool isApplicable(quint64 run) const { return running_ && run == runId_; }

  Options options_;
  PrivacyFilterPhase phase_;
  double progress_ = 0;
  QList<PrivacyFilterSubStep> subSteps_;
  std::optional<QString> detail_;
  std::optional<double> estimatedRemainingSeconds_;

  bool running_ = false;
  bool resetPending_ = false;
  quint64 runId_ = 0;
  QList<Completion> waiters_;
};

}  // namespace murmela
