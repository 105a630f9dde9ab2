#include "privacy/PrivacyFilterSetup.h"

#include "common/AnalysisLogger.h"
#include "common/AppPaths.h"
#include "common/FileSystem.h"
#include "common/FixedDecimal.h"
#include "common/UnicodeText.h"
#include "privacy/PrivacyFilterError.h"
#include "privacy/PrivacyRuntimeError.h"
#include "privacy/RuntimePythonStream.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <cmath>
#include <filesystem>

namespace murmela {
namespace {

using Kind = PrivacyFilterPhase::Kind;
using State = PrivacyFilterSubStep::State;

constexpr double kUnknownTotalBytes = 1.4e9;
constexpr qsizetype kSmokeTestErrorLength = 800;

void removeQuietly(const QString& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(path).toStdString()), ignored);
}

}  // namespace

PrivacyFilterSetup::PrivacyFilterSetup(QObject* parent) : PrivacyFilterSetup(Options{}, parent) {}

PrivacyFilterSetup::PrivacyFilterSetup(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)), subSteps_(PrivacyFilterSubStep::initialList()) {
  if (!options_.hostProbe) options_.hostProbe = LocalHostCheck::systemMachineName;
}

PrivacyFilterSetup& PrivacyFilterSetup::shared() {
  // Lives as long as the process; never destroyed after the application object.
  static PrivacyFilterSetup* const instance = new PrivacyFilterSetup();
  return *instance;
}

QString PrivacyFilterSetup::smokeTestScript() {
  return QStringLiteral(
      "import os\n"
      "from mlx_embeddings import load\n"
      "model_path = os.environ[\"MURMELA_PRIVACY_MODEL_PATH\"]\n"
      "print(f\"loading privacy model from {model_path}\")\n"
      "model, tokenizer = load(model_path)\n"
      "print(\"ok\")");
}

void PrivacyFilterSetup::start(Completion completion) {
  if (completion) waiters_.append(std::move(completion));
  if (running_) return;  // one setup at a time: this call waits for the running one
  running_ = true;
  const quint64 run = ++runId_;

  resetSubSteps();

  markSubStep(QStringLiteral("host"), State::active);
  setState(Kind::verifying, 0.04, std::nullopt, std::nullopt);
  if (!LocalHostCheck::isAppleSilicon(options_.hostProbe)) {
    return fail(run, std::make_exception_ptr(PrivacyFilterError::notAppleSilicon()));
  }
  AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: host OK arm64"));
  markSubStep(QStringLiteral("host"), State::done);

  markSubStep(QStringLiteral("runtime"), State::active);
  ensureRuntime(run, [this, run] {
    markSubStep(QStringLiteral("runtime"), State::done);
    markSubStep(QStringLiteral("test"), State::active);
    smokeTest(run, [this] {
      markSubStep(QStringLiteral("test"), State::done);
      setState(Kind::ready, 1.0, std::nullopt, std::nullopt);
      AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: ready"));
      finish(nullptr);
    });
  });
}

void PrivacyFilterSetup::ensureRuntime(quint64 run, Step next) {
  setState(Kind::installingRuntime, 0.18, QStringLiteral("Locating Murmela privacy runtime"), std::nullopt);
  try {
    const PrivacyRuntimeInstall install = options_.manager.installedRuntime();
    setState(Kind::installingRuntime, 0.72, QStringLiteral("Already installed: ") + install.manifest.runtimeText(), 30);
    AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: runtime already installed at ") + install.rootDirectory);
    return next();
  } catch (...) {
    // Not installed (or not valid): install it.
  }

  if (const std::optional<QString> archive = options_.manager.localRuntimeArchiveCandidate()) {
    setState(Kind::installingRuntime, 0.32, QStringLiteral("Installing ") + FileSystem::lastPathComponent(*archive),
             30);
    AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: installing runtime from local archive=") + *archive);
  } else {
    setState(Kind::installingRuntime, 0.32, QStringLiteral("Starting download"), std::nullopt);
    AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: downloading runtime from ") +
                        options_.manager.remoteArchiveURL().toString());
  }

  options_.manager.installOrResolveRuntime(
      this, downloadProgressReceiver(),
      [this, run, next = std::move(next)](std::optional<PrivacyRuntimeInstall> install, std::exception_ptr error) {
        if (!isApplicable(run)) return;
        if (error) {
          return fail(run, std::make_exception_ptr(
                               PrivacyFilterError::runtimeUnavailable(PrivacyRuntimeError::describe(error))));
        }
        setState(Kind::installingRuntime, 0.72, QStringLiteral("Installed ") + install->manifest.runtimeText(), 30);
        AnalysisLogger::log(QStringLiteral("PrivacyFilterSetup: installed runtime root=") + install->rootDirectory);
        next();
      });
}

void PrivacyFilterSetup::smokeTest(quint64 run, Step next) {
  setState(Kind::testingRedaction, 0.9, QStringLiteral("Loading filter into memory"), 20);
  PrivacyRuntimeInstall install;
  try {
    install = options_.manager.installedRuntime();
  } catch (...) {
    return fail(run, std::make_exception_ptr(PrivacyFilterError::runtimeUnavailable(
                         PrivacyRuntimeError::describe(std::current_exception()))));
  }

  RuntimePythonStream::Request request;
  request.script = smokeTestScript();
  request.environmentOverrides.insert(QStringLiteral("MURMELA_PRIVACY_MODEL_PATH"), install.modelURL);
  request.runtime = std::move(install);
  request.onLine = [](const QString&) {};
  request.onError = [](const QString& standardError) {
    throw PrivacyFilterError::smokeTestFailed(UnicodeText::graphemePrefix(standardError, kSmokeTestErrorLength));
  };
  request.timeoutMs = options_.smokeTestTimeoutMs;
  streamPython(std::move(request), this, [this, run, next = std::move(next)](std::exception_ptr error) {
    if (!isApplicable(run)) return;
    if (error) return fail(run, error);
    setState(Kind::testingRedaction, 1.0, QStringLiteral("Filter ready"), std::nullopt);
    next();
  });
}

PrivacyFilterSetup::ProgressHandler PrivacyFilterSetup::downloadProgressReceiver() {
  const QPointer<PrivacyFilterSetup> self(this);
  const quint64 run = runId_;
  return [self, run](const PrivacyRuntimeDownloadProgress& report) {
    if (!self) return;
    QMetaObject::invokeMethod(
        self.data(),
        [self, run, report] {
          if (self) self->applyDownloadProgress(run, report);
        },
        Qt::QueuedConnection);
  };
}

void PrivacyFilterSetup::applyDownloadProgress(quint64 run, const PrivacyRuntimeDownloadProgress& report) {
  // A report that arrives after its setup failed, ended or was replaced must
  // not paint an installing state over what came since.
  if (!isApplicable(run) || phase_.kind != Kind::installingRuntime) return;
  const DownloadReading reading = downloadReading(report);
  setState(Kind::installingRuntime, reading.progress, reading.detail, reading.remainingSeconds);
}

PrivacyFilterSetup::DownloadReading PrivacyFilterSetup::downloadReading(const PrivacyRuntimeDownloadProgress& report) {
  const double downloaded = static_cast<double>(report.downloadedBytes);
  const std::optional<qint64>& total = report.totalBytes;
  const double speed = report.bytesPerSecond;

  double fraction = 0;
  if (total && *total >= 1) {
    fraction = std::min(downloaded / static_cast<double>(*total), 1.0);
  } else {
    fraction = std::min(downloaded / kUnknownTotalBytes, 0.95);
  }
  if (!(fraction >= 0)) fraction = 0;  // negative or not a number

  double remaining = 30;
  if (total && report.downloadedBytes < *total && speed > 0) {
    remaining = static_cast<double>(*total - report.downloadedBytes) / speed + 30;
  }

  const qint64 wholeSpeed = speed > 0 ? static_cast<qint64>(std::min(speed, 9.0e18)) : 0;
  const QString detail = formatBytes(report.downloadedBytes) + QStringLiteral(" of ") +
                         (total ? formatBytes(*total) : QStringLiteral("runtime")) + QStringLiteral(" \u00B7 ") +
                         formatBytes(wholeSpeed) + QStringLiteral("/s");
  return {0.32 + 0.34 * fraction, detail, remaining};
}

QString PrivacyFilterSetup::formatBytes(qint64 bytes) {
  const qint64 count = std::max<qint64>(bytes, 0);
  if (count < 1000) return QString::number(count) + QStringLiteral(" B");
  double value = static_cast<double>(count) / 1000;
  QString unit = QStringLiteral("KB");
  if (value >= 1000) {
    value /= 1000;
    unit = QStringLiteral("MB");
  }
  if (value >= 1000) {
    value /= 1000;
    unit = QStringLiteral("GB");
  }
  if (value < 10) return fixedDecimal(value, 1) + QLatin1Char(' ') + unit;
  return QString::number(std::llround(value)) + QLatin1Char(' ') + unit;
}

void PrivacyFilterSetup::fail(quint64 run, std::exception_ptr error) {
  if (!isApplicable(run)) return;
  const QString message = PrivacyRuntimeError::describe(error);
  setPhase(PrivacyFilterPhase::failed(message));
  setProgress(progress_);
  setDetail(message);
  setRemaining(std::nullopt);
  finish(error);
}

void PrivacyFilterSetup::finish(std::exception_ptr error) {
  running_ = false;
  const QList<Completion> waiters = std::exchange(waiters_, {});
  if (resetPending_) {
    resetPending_ = false;
    performReset();
  }
  if (waiters.isEmpty()) return;
  QTimer::singleShot(0, this, [waiters, error] {
    for (const Completion& waiter : waiters) waiter(error);
  });
}

void PrivacyFilterSetup::resetState() {
  if (running_) {
    // Removing the runtime under a running install would race it.
    resetPending_ = true;
    return;
  }
  performReset();
}

void PrivacyFilterSetup::performReset() {
  options_.manager.resetInstalledRuntime();
  if (const std::optional<QString> appFolder = AppPaths::appFolder()) {
    for (const char* name : {"venv", "hf-cache", "logs"}) removeQuietly(QDir(*appFolder).filePath(QLatin1String(name)));
  }
  const QString modelFolder =
      QStringLiteral("models--") +
      QLatin1String(kModelIdentifier).toString().replace(QLatin1Char('/'), QStringLiteral("--"));
  removeQuietly(QDir::homePath() + QStringLiteral("/.cache/huggingface/hub/") + modelFolder);

  setPhase({});
  setProgress(0);
  setDetail(std::nullopt);
  setRemaining(std::nullopt);
  setSubSteps(PrivacyFilterSubStep::initialList());
}

void PrivacyFilterSetup::resetSubSteps() {
  setSubSteps(PrivacyFilterSubStep::initialList());
  setProgress(0);
  setDetail(std::nullopt);
  setRemaining(std::nullopt);
}

void PrivacyFilterSetup::markSubStep(const QString& id, State state) {
  for (PrivacyFilterSubStep& step : subSteps_) {
    if (step.id != id) continue;
    step.state = state;
    Q_EMIT subStepsChanged();
    return;
  }
}

void PrivacyFilterSetup::setState(Kind kind, double progress, std::optional<QString> detail,
                                  std::optional<double> remainingSeconds) {
  setPhase({kind, {}});
  setProgress(progress);
  setDetail(std::move(detail));
  setRemaining(remainingSeconds);
}

void PrivacyFilterSetup::setPhase(PrivacyFilterPhase phase) {
  phase_ = std::move(phase);
  Q_EMIT phaseChanged();
}

void PrivacyFilterSetup::setProgress(double progress) {
  progress_ = progress;
  Q_EMIT progressChanged();
}

void PrivacyFilterSetup::setDetail(std::optional<QString> detail) {
  detail_ = std::move(detail);
  Q_EMIT detailChanged();
}

void PrivacyFilterSetup::setRemaining(std::optional<double> seconds) {
  estimatedRemainingSeconds_ = seconds;
  Q_EMIT estimatedRemainingSecondsChanged();
}

void PrivacyFilterSetup::setSubSteps(QList<PrivacyFilterSubStep> steps) {
  subSteps_ = std::move(steps);
  Q_EMIT subStepsChanged();
}

}  // namespace murmela
