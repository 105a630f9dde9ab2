#include "privacy/RuntimePythonStream.h"

#include "privacy/ChildProcessGuard.h"
#include "privacy/PrivacyFilterError.h"

#include "common/UnicodeText.h"

namespace murmela {
namespace {

bool isSpaceOrTab(QChar c) { return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space; }

}  // namespace

QStringList RuntimePythonStream::splitLines(QStringView text) {
  QStringList lines;
  qsizetype start = 0;
  const auto take = [&](qsizetype end) {
    if (end > start) {
      QStringView piece = text.mid(start, end - start);
      qsizetype first = 0;
      qsizetype last = piece.size();
      while (first < last && isSpaceOrTab(piece[first])) ++first;
      while (last > first && isSpaceOrTab(piece[last - 1])) --last;
      lines.append(piece.mid(first, last - first).toString());
    }
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!UnicodeText::isLineBreak(text[i])) continue;
    take(i);
    start = i + 1;  // a CR LF pair leaves an empty piece between, which is dropped
  }
  take(text.size());
  return lines;
}

RuntimePythonStream* RuntimePythonStream::start(Request request, Completion completion, QObject* parent) {
  auto* stream = new RuntimePythonStream(std::move(request), std::move(completion), parent);
  // Launching (and a launch failure) happens once the caller has returned.
  QMetaObject::invokeMethod(stream, &RuntimePythonStream::launch, Qt::QueuedConnection);
  return stream;
}

RuntimePythonStream::RuntimePythonStream(Request request, Completion completion, QObject* parent)
    : QObject(parent),
      request_(std::move(request)),
      completion_(std::move(completion)),
      outputDecoder_(QStringDecoder::Utf8),
      errorDecoder_(QStringDecoder::Utf8) {
  timeout_.setSingleShot(true);
  connect(&timeout_, &QTimer::timeout, this, [this] {
    timedOut_ = true;
    process_.kill();
  });
  connect(&process_, &QProcess::readyReadStandardOutput, this, &RuntimePythonStream::readOutput);
  connect(&process_, &QProcess::readyReadStandardError, this, &RuntimePythonStream::readError);
  connect(&process_, &QProcess::finished, this, &RuntimePythonStream::processFinished);
  connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) {
      complete(std::make_exception_ptr(PrivacyFilterError::smokeTestFailed(process_.errorString())));
    }
  });
}

RuntimePythonStream::~RuntimePythonStream() {
  completed_ = true;
  process_.disconnect(this);
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

void RuntimePythonStream::launch() {
  if (completed_) return;
  QProcessEnvironment environment = request_.runtime.subprocessEnvironment();
  for (auto it = request_.environmentOverrides.cbegin(); it != request_.environmentOverrides.cend(); ++it)
    environment.insert(it.key(), it.value());
  process_.setProgram(request_.runtime.pythonExecutable);
  process_.setArguments({QStringLiteral("-c"), request_.script});
  process_.setProcessEnvironment(environment);
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  process_.setStandardInputFile(QProcess::nullDevice());
  ChildProcessGuard::killWithParent(process_);
  process_.start();
  if (request_.timeoutMs > 0 && !completed_) timeout_.start(request_.timeoutMs);
}

void RuntimePythonStream::readOutput() { deliver(process_.readAllStandardOutput(), outputDecoder_); }

void RuntimePythonStream::readError() {
  const QByteArray bytes = process_.readAllStandardError();
  standardError_.append(bytes);
  deliver(bytes, errorDecoder_);
}

void RuntimePythonStream::deliver(const QByteArray& bytes, QStringDecoder& decoder) {
  if (bytes.isEmpty()) return;
  // The decoder keeps a character cut in two by the pipe for the next read;
  // a read that is not UTF-8 at all is dropped.
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) {
    decoder = QStringDecoder(QStringDecoder::Utf8);
    return;
  }
  if (text.isEmpty() || !request_.onLine) return;
  for (const QString& line : splitLines(text)) {
    request_.onLine(line);
    if (completed_) return;
  }
}

void RuntimePythonStream::processFinished(int exitCode, QProcess::ExitStatus status) {
  if (completed_) return;
  timeout_.stop();
  readOutput();
  readError();
  if (completed_) return;

  if (timedOut_) {
    return complete(std::make_exception_ptr(PrivacyFilterError::smokeTestFailed(
        QStringLiteral("Python did not finish within %1 seconds and was stopped.").arg(request_.timeoutMs / 1000.0))));
  }
  if (status == QProcess::NormalExit && exitCode == 0) return complete(nullptr);

  const QString standardError = QString::fromUtf8(standardError_);
  std::exception_ptr error;
  try {
    if (request_.onError) request_.onError(standardError);
    error = std::make_exception_ptr(PrivacyFilterError::smokeTestFailed(standardError));
  } catch (...) {
    error = std::current_exception();
  }
  complete(error);
}

void RuntimePythonStream::complete(std::exception_ptr error) {
  if (completed_) return;
  completed_ = true;
  timeout_.stop();
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  deleteLater();
  if (completion) completion(error);
}

void streamPython(RuntimePythonStream::Request request, QObject* context, RuntimePythonStream::Completion completion) {
  RuntimePythonStream::start(std::move(request), std::move(completion), context);
}

}  // namespace murmela
