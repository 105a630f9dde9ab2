#pragma once

#include "analysis/ProcessingProgress.h"
#include "backend/BackendDefaults.h"
#include "json/JsonCodec.h"
#include "data/ImportedChat.h"
#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisResult.h"
#include "hosted/HostedAnalysisWorkflow.h"
#include "hosted/HybridAnonymizer.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace murmela {

// The client of the hosted analysis backend. Every exchange is one JSON POST
// made on the calling thread (the processing task's worker), blocking it until
// the answer; one request at a time, nothing kept between calls.
class HostedAnalysisClient {
 public:
  static inline const QString kRegisterPath = QStringLiteral("/v1/register");
  static inline const QString kAnalysisStepPath = QStringLiteral("/v1/analysis-step");
  static constexpr double kRegistrationTimeoutSeconds = 30.0;
  static constexpr double kAnalysisStepTimeoutSeconds = 900.0;
  // Chunk limits of a run.
  static constexpr qsizetype kMaxChunkCharacters = 120000;
  static constexpr qsizetype kMaxChunkMessages = 3000;
  static constexpr qsizetype kChunkOverlapMessages = 50;
  // The most answer bytes each call takes, beside the largest real answer:
  // the development backend's answers in a cloud run of 1,000,000 messages
  // (hosted_payload_bench --phase backend prints them) are 141 bytes for the
  // registration, 8,502 for a chunk, 1,225,249 for the synthesis (it grows
  // with the conversation) and 1,295 for the insights. The chunks and the
  // insights are generated prose on the real backend, so they get room for
  // far longer text.
  static constexpr qint64 kRegisterAnswerBytes = 64LL * 1024;
  static constexpr qint64 kChunkAnswerBytes = 128LL * 1024;
  static constexpr qint64 kSynthesisAnswerBytes = 4LL << 20;
  static constexpr qint64 kInsightsAnswerBytes = 64LL * 1024;
  // An answer holds at most one JSON value per this many bytes of its bound
  // (Json::countValues, a member's name counted as a value), so parsing one at
  // the bound stays within a few times the bound (json_answer_memory_bench:
  // 7 times for the synthesis made of members alone, 4.5 of numbers alone).
  // The synthesis above holds 96,124 values, 12.7 bytes a value: one of that
  // shape is refused past some 3.3 MB, 2.7 times its size in that run.
  static constexpr qint64 kMinAnswerBytesPerValue = 16;

  using ProgressCallback = std::function<void(const ProcessingProgress&)>;

  // A client whose hybrid runs anonymize with `anonymizer` (in the app, the
  // bundled anonymization script on the installed privacy runtime:
  // PrivacyScriptAnonymizer).
  explicit HostedAnalysisClient(std::shared_ptr<HybridAnonymizer> anonymizer, QString baseUrl = defaultBackendBaseUrl(),
                                QString appVersion = applicationVersion());

  const QString& baseUrl() const { return baseUrl_; }
  const QString& appVersion() const { return appVersion_; }

  // One hosted run: registers, anonymizes the conversation on the device in
  // hybrid mode, sends it in chunks for analysis one request at a time, asks
  // for the synthesis and then the insights, and in hybrid mode puts the
  // names back into both. `baseReport` is read only for the client metrics.
  //
  // Runs synchronously on the calling (worker) thread and blocks it for the
  // whole run; `progress` is called on that thread, in order, and the run goes
  // on when it returns. Writes "HostedAnalysis: " lines to the analysis log.
  // A stop is checked before each chunk and also aborts the request in
  // flight; either way the run throws CancellationError. Otherwise the first
  // failing step ends the run with its error (HostedAnalysisError,
  // TransportError, Json::EncodingError, or the anonymizer's); nothing
  // partial is returned and nothing is retried.
  HostedAnalysisResult analyze(const ImportedChat& chat, const WrappedReport& baseReport,
                               HostedAnalysisWorkflow workflow, const ProgressCallback& progress,
                               std::stop_token stop = {}) const;

  // Posts `body` (a record with toJson()) to the base URL + `path`, with
  // "Authorization: Bearer <token>" when a token is given, and decodes a 2xx
  // answer as `Response` (a record with fromJson()). Writes the "HTTP POST"
  // lines of the analysis log. Throws:
  //  - Json::EncodingError when the body cannot be written (nothing is sent);
  //  - TransportError or CancellationError, unchanged, when no answer came;
  //  - HostedAnalysisError::httpFailed for a status outside 200 to 299;
  //  - HostedAnalysisError::invalidResponse when the answer is not HTTP or a
  //    2xx body does not decode.
  // Each call names its own bound, one of the k...AnswerBytes above: at most
  // `maxAnswerBytes` of a 2xx answer are taken, and at most one JSON value
  // per kMinAnswerBytesPerValue of them; a longer or denser answer is invalid.
  template <typename Response, typename Request>
  Response post(const QString& path, const Request& body, const std::optional<QString>& token, double timeoutSeconds,
                qint64 maxAnswerBytes, std::stop_token stop = {}) const {
    return postEncoded<Response>(path, Json::write(QJsonValue(body.toJson()), Json::Layout::Compact), token,
                                 timeoutSeconds, maxAnswerBytes, std::move(stop));
  }

  // The same with a body already written (the analysis steps stream theirs);
  // hand it over with std::move: it is passed on to the network layer as it is.
  template <typename Response>
  Response postEncoded(const QString& path, QByteArray body, const std::optional<QString>& token,
                       double timeoutSeconds, qint64 maxAnswerBytes, std::stop_token stop = {}) const {
    std::optional<Response> decoded;
    exchange(path, std::move(body), token, timeoutSeconds, std::move(stop), maxAnswerBytes,
             [&decoded](const QByteArray& data) {
      decoded = Response::fromJson(Json::parseObject(data, QStringLiteral("response")));
    });
    return std::move(*decoded);
  }

  // One line for the log: "type=… domain=… code=… msg=…", then "url=…" for a
  // transport error that names its address and "underlying=…" for the network
  // layer's own error. Never fails.
  static QString describe(const std::exception& error);

 private:
  void exchange(const QString& path, QByteArray body, const std::optional<QString>& token, double timeoutSeconds,
                std::stop_token stop, qint64 maxAnswerBytes,
                const std::function<void(const QByteArray&)>& decode) const;

  QString baseUrl_;
  QString appVersion_;
  std::shared_ptr<HybridAnonymizer> anonymizer_;
};

}  // namespace murmela
