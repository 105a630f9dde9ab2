#include "privacy/anonymization/HybridAnonymization.h"

#include "common/AnalysisLogger.h"
#include "common/FileDescriptor.h"
#include "common/FixedDecimal.h"
#include "json/JsonCodec.h"
#include "common/UnicodeText.h"
#include "data/MurmelaResources.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedChatMessage.h"
#include "privacy/PrivacyFileSystemError.h"
#include "privacy/PrivacyRuntimeManager.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "privacy/anonymization/PrivacyScriptRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace murmela {
namespace {

const QString kDash = QStringLiteral(" \u2014 ");
const QString kScriptName = QStringLiteral("privacy_anonymize");
const QString kScriptExtension = QStringLiteral("py");
const QString kMissingScript = QStringLiteral("Missing bundled privacy_anonymize.py");

std::error_code lastError() { return {errno, std::generic_category()}; }

// The description a user reads: ours, or the standard library's text.
QString localizedDescription(const std::exception& error) {
  if (const auto* known = dynamic_cast<const MurmelaError*>(&error)) return known->description();
  return QString::fromLocal8Bit(error.what());
}

// A double in its shortest round-trip form, always with a fractional part or
// an exponent: 12.0, 3.25, 1e-05, 1e+16.
QString plainDouble(double value) {
  if (!std::isfinite(value))
    return std::isnan(value) ? QStringLiteral("nan") : value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
  const double magnitude = std::fabs(value);
  const bool scientific = magnitude != 0 && (magnitude < 1e-4 || magnitude >= 1e16);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    scientific ? std::chars_format::scientific : std::chars_format::fixed);
  QString text = QString::fromLatin1(buffer, result.ptr - buffer);
  if (!scientific && !text.contains(QLatin1Char('.'))) text += QStringLiteral(".0");
  return text;
}

// The exchange folder: only its owner may enter it, because it holds the whole
// conversation and the temporary folder may be shared with other users.
QString createExchangeFolder(const QString& temporaryFolder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(temporaryFolder).toStdString()), error);
  if (error) throw PrivacyFileSystemError(QStringLiteral("create folder ") + temporaryFolder, error);
  const QString folder =
      QDir(temporaryFolder)
          .filePath(QStringLiteral("murmela-privacy-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
  if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
    throw PrivacyFileSystemError(QStringLiteral("create folder ") + folder, lastError());
  return folder;
}

class FolderRemoval {
 public:
  explicit FolderRemoval(QString folder) : folder_(std::move(folder)) {}
  ~FolderRemoval() { QDir(folder_).removeRecursively(); }  // a failure is of no consequence to the run
  FolderRemoval(const FolderRemoval&) = delete;
  FolderRemoval& operator=(const FolderRemoval&) = delete;

 private:
  QString folder_;
};

// Writes the file whole or not at all: a temporary file beside it, renamed
// over it once everything is written.
void writeAtomically(const QString& path, const QByteArray& bytes) {
  const QByteArray target = QFile::encodeName(path);
  const QByteArray staging = target + ".partial";
  FileDescriptor fd(::open(staging.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (!fd.isOpen()) throw PrivacyFileSystemError(QStringLiteral("write ") + path, lastError());
  int error = writeAll(fd.get(), bytes);
  if (const int closing = fd.close(); error == 0) error = closing;
  if (error == 0 && ::rename(staging.constData(), target.constData()) != 0) error = errno;
  if (error != 0) {
    ::unlink(staging.constData());
    throw PrivacyFileSystemError(QStringLiteral("write ") + path, std::error_code(error, std::generic_category()));
  }
}

QByteArray readWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    const std::error_code error = QFileInfo::exists(path) ? std::make_error_code(std::errc::permission_denied)
                                                          : std::make_error_code(std::errc::no_such_file_or_directory);
    throw PrivacyFileSystemError(QStringLiteral("read ") + path, error);
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw PrivacyFileSystemError(QStringLiteral("read ") + path, std::make_error_code(std::errc::io_error));
  return bytes;
}

PrivacyAnonymizationInput makeInput(const ImportedChat& chat, const QString& modelPath) {
  PrivacyAnonymizationInput input;
  input.participants = {chat.meName, chat.otherName};
  input.model = modelPath;
  input.messages.reserve(chat.messages.size());
  qint64 index = 0;
  for (const Message& message : chat.messages) {
    input.messages.append({++index, message.isFromMe ? chat.meName : chat.otherName,
                           HostedAnalysisTimestamp::format(message.date), message.text, message.hasPhoto});
  }
  return input;
}

PrivacyAnonymizationContext contextFrom(const PrivacyAnonymizationOutput& output) {
  PrivacyAnonymizationContext context;
  context.participants = output.participants;
  context.reverseNameMap = output.reverseNameMap;
  context.messages.reserve(output.messages.size());
  for (const PrivacyAnonymizationMessage& message : output.messages)
    context.messages.append({message.index, message.sender, message.timestamp, message.text, message.hasPhoto});
  return context;
}

QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

HybridAnonymizationProgress HybridAnonymization::progressFor(const PrivacyProgressUpdate& update,
                                                             double estimatedAnonymizationSeconds,
                                                             double estimatedAnalysisSeconds) {
  double ratio = 0.0;
  if (update.total > 0) {
    const double quotient = static_cast<double>(update.completed) / static_cast<double>(update.total);
    if (quotient >= 0) ratio = std::min(quotient, 1.0);
  }
  const double fraction = std::min(kFirstFraction + kFractionSpan * ratio, kFirstFraction + kFractionSpan);
  return {fraction, (1.0 - ratio) * estimatedAnonymizationSeconds + estimatedAnalysisSeconds + kRemainingMargin};
}

QString HybridAnonymization::failureText(const QString& output) {
  // Progress lines say nothing about the failure; the script's own words do.
  QStringList kept;
  const QStringList lines = output.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const bool lastPiece = i + 1 == lines.size();
    if (!lastPiece && PrivacyProgressUpdate::fromLine(lines[i])) continue;
    kept.append(lines[i]);
  }
  return UnicodeText::graphemePrefix(kept.join(QLatin1Char('\n')), kFailureTextCharacters);
}

PrivacyAnonymizationContext HybridAnonymization::anonymizeForHybrid(
    const ImportedChat& chat, double estimatedAnonymizationSeconds, double estimatedAnalysisSeconds,
    const ProgressHandler& progress, std::stop_token stop, const Environment& environment) {
  const std::optional<QString> script =
      environment.scriptPath ? environment.scriptPath() : MurmelaResources::bundle().url(kScriptName, kScriptExtension);
  if (!script) {
    AnalysisLogger::log(QStringLiteral("Privacy: missing bundled privacy_anonymize.py"));
    throw HostedAnalysisError::privacyFilterUnavailable(kMissingScript);
  }

  PrivacyRuntimeInstall runtime;
  try {
    runtime =
        environment.installedRuntime ? environment.installedRuntime() : PrivacyRuntimeManager().installedRuntime();
  } catch (const std::exception& error) {
    AnalysisLogger::log(QStringLiteral("Privacy: managed runtime unavailable") + kDash +
                        HostedAnalysisClient::describe(error));
    throw HostedAnalysisError::privacyFilterUnavailable(QStringLiteral("Run hybrid privacy setup before analysis. ") +
                                                        localizedDescription(error));
  }
  if (stop.stop_requested()) throw CancellationError();

  const QString folder =
      createExchangeFolder(environment.temporaryFolder.isEmpty() ? QDir::tempPath() : environment.temporaryFolder);
  const FolderRemoval removal(folder);
  const QString inputPath = QDir(folder).filePath(QStringLiteral("input.json"));
  const QString outputPath = QDir(folder).filePath(QStringLiteral("output.json"));

  // The input and its text are let go before the script runs.
  qsizetype inputBytes = 0;
  qsizetype inputMessages = 0;
  {
    const PrivacyAnonymizationInput input = makeInput(chat, runtime.modelURL);
    const QByteArray encoded = input.encode();
    writeAtomically(inputPath, encoded);
    inputBytes = encoded.size();
    inputMessages = input.messages.size();
  }

  AnalysisLogger::log(QStringLiteral("Privacy: invoking script python=") + runtime.pythonExecutable +
                      QStringLiteral(" model=") + runtime.modelURL + QStringLiteral(" script=") + *script +
                      QStringLiteral(" input=") + inputPath + QStringLiteral(" output=") + outputPath +
                      QStringLiteral(" inputBytes=") + QString::number(inputBytes) + QStringLiteral(" messages=") +
                      QString::number(inputMessages));

  QElapsedTimer clock;
  clock.start();
  const PrivacyScriptResult result = runPrivacyScript(
      runtime.pythonExecutable, {*script, inputPath, outputPath}, runtime.subprocessEnvironment(),
      [&](const PrivacyProgressUpdate& update) {
        if (progress) progress(progressFor(update, estimatedAnonymizationSeconds, estimatedAnalysisSeconds));
      },
      stop);

  AnalysisLogger::log(QStringLiteral("Privacy: script exited code=") + QString::number(result.exitCode) +
                      QStringLiteral(" elapsed=") + fixedDecimal(static_cast<double>(clock.nsecsElapsed()) / 1e9, 2) +
                      QStringLiteral("s outputBytes=") + QString::number(UnicodeText::graphemeCount(result.output)) +
                      QStringLiteral(" outputFileExists=") + boolText(QFileInfo::exists(outputPath)) +
                      QStringLiteral(" tail=") + UnicodeText::graphemeSuffix(result.output, kLoggedTailCharacters));

  if (result.exitCode != 0) throw HostedAnalysisError::privacyAnonymizationFailed(failureText(result.output));

  PrivacyAnonymizationOutput output;
  try {
    output = PrivacyAnonymizationOutput::decode(readWholeFile(outputPath));
  } catch (const std::exception& error) {
    AnalysisLogger::log(QStringLiteral("Privacy: output decode failed at ") + outputPath + kDash +
                        HostedAnalysisClient::describe(error));
    throw HostedAnalysisError::privacyAnonymizationFailed(localizedDescription(error));
  }

  AnalysisLogger::log(QStringLiteral("Privacy anonymization: messages=") +
                      QString::number(output.metadata.messageCount) + QStringLiteral(" names=") +
                      QString::number(output.metadata.nameCount) + QStringLiteral(" elapsed=") +
                      plainDouble(output.metadata.elapsedSeconds) + QLatin1Char('s'));
  return contextFrom(output);
}

}  // namespace murmela
