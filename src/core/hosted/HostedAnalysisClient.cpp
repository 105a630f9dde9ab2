#include "hosted/HostedAnalysisClient.h"

#include "backend/BackendWireRecords.h"
#include "common/AnalysisLogger.h"
#include "common/FixedDecimal.h"
#include "common/UnicodeText.h"
#include "hosted/HostedAnalysisError.h"
#include "net/HttpTransport.h"
#include "net/TransportError.h"

#include <QElapsedTimer>
#include <QStringDecoder>

#include <cmath>
#include <memory>

namespace murmela {
namespace {

const QString kDash = QStringLiteral(" \u2014 ");
constexpr qsizetype kLoggedBodyCharacters = 2000;
constexpr qsizetype kPreviewBytes = 1000;

// Strict UTF-8: invalid bytes anywhere give nothing.
std::optional<QString> utf8Text(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

QString seconds(const QElapsedTimer& clock) {
  return fixedDecimal(static_cast<double>(clock.nsecsElapsed()) / 1e9, 2) + QLatin1Char('s');
}

QString wholeSeconds(double value) {
  if (!std::isfinite(value)) return QStringLiteral("0");
  return QString::number(static_cast<qint64>(std::trunc(value)));
}

// A decoding error written out in full, as the log's "decodeError=" shows it.
QString fullForm(const Json::DecodingError& error) {
  return QStringLiteral("DecodingError(path: %1, problem: %2)").arg(error.path(), error.problem());
}

}  // namespace

HostedAnalysisClient::HostedAnalysisClient(std::shared_ptr<HybridAnonymizer> anonymizer, QString baseUrl,
                                           QString appVersion)
    : baseUrl_(std::move(baseUrl)), appVersion_(std::move(appVersion)), anonymizer_(std::move(anonymizer)) {}

QString HostedAnalysisClient::describe(const std::exception& error) {
  QStringList parts{errorLogFields(error)};
  if (const auto* transport = dynamic_cast<const TransportError*>(&error)) {
    if (!transport->failingUrl().isEmpty()) parts << QStringLiteral("url=") + transport->failingUrl();
    if (transport->networkError() != 0)
      parts << QStringLiteral("underlying=libcurl/%1 %2")
                   .arg(transport->networkError())
                   .arg(transport->networkErrorText());
  }
  return parts.join(QLatin1Char(' '));
}

void HostedAnalysisClient::exchange(const QString& path, QByteArray body, const std::optional<QString>& token,
                                    double timeoutSeconds, std::stop_token stop, qint64 maxAnswerBytes,
                                    const std::function<void(const QByteArray&)>& decode) const {
  const qsizetype bodyBytes = body.size();
  std::optional<HttpRequest> request = jsonPost(baseUrl_, path, std::move(body), token, timeoutSeconds);
  request->maxAnswerBytes = maxAnswerBytes;

  const QString prefix = QStringLiteral("HTTP POST ") + path;
  QElapsedTimer clock;
  clock.start();
  AnalysisLogger::log(prefix + QStringLiteral(" bodyBytes=%1 timeout=").arg(bodyBytes) +
                      wholeSeconds(timeoutSeconds) + QStringLiteral("s authed=") +
                      (token ? QStringLiteral("true") : QStringLiteral("false")));

  HttpResponse response;
  try {
    response = HttpTransport::perform(*request, std::move(stop));
  } catch (const std::exception& error) {
    AnalysisLogger::log(prefix + QStringLiteral(" TRANSPORT FAILURE after ") + seconds(clock) + kDash +
                        describe(error));
    // An answer past the bound is unreadable: the client's own bad answer.
    if (const auto* transport = dynamic_cast<const TransportError*>(&error); transport && transport->isUnreadableAnswer())
      throw HostedAnalysisError::invalidResponse(transport->networkErrorText());
    throw;
  }

  request.reset();  // the body is not needed while the answer is read

  if (!response.status) {
    AnalysisLogger::log(prefix + QStringLiteral(" returned non-HTTP response after ") + seconds(clock));
    throw HostedAnalysisError::invalidResponse(QStringLiteral("Missing HTTP response"));
  }
  const int status = *response.status;
  const QString counts =
      QStringLiteral(" status=%1 bytes=%2 elapsed=").arg(status).arg(response.body.size()) + seconds(clock);

  if (!response.isSuccess()) {
    const QString bodyText = utf8Text(response.body).value_or(QString());
    std::optional<QString> diagnostic;
    try {
      diagnostic =
          BackendErrorEnvelope::fromJson(Json::parseObject(response.body, QStringLiteral("error"))).detail.summary();
    } catch (const Json::DecodingError&) {
      // Not the backend's error form: there is no diagnostic.
    }
    AnalysisLogger::log(prefix + counts + QStringLiteral(" backendDiagnostic=") +
                        diagnostic.value_or(QStringLiteral("none")) + QStringLiteral(" body=") +
                        UnicodeText::graphemePrefix(bodyText, kLoggedBodyCharacters));
    throw HostedAnalysisError::httpFailed(status, diagnostic ? *diagnostic + QLatin1Char(' ') + bodyText : bodyText);
  }

  try {
    // Parsing costs memory per value: an answer of the longest length made of
    // the shortest values would take dozens of times its length.
    if (const qint64 limit = maxAnswerBytes / kMinAnswerBytesPerValue; Json::countValues(response.body) > limit)
      throw Json::DecodingError(QStringLiteral("response"),
                                QStringLiteral("more than %1 values in an answer of this call").arg(limit));
    decode(response.body);
  } catch (const Json::DecodingError& error) {
    // A multi-byte character cut at the last byte makes the whole preview empty.
    const QString preview = utf8Text(response.body.left(kPreviewBytes)).value_or(QString());
    AnalysisLogger::log(prefix + QStringLiteral(" DECODE FAILURE") + counts + QStringLiteral(" decodeError=") +
                        fullForm(error) + QStringLiteral(" bodyPreview=") + preview);
    throw HostedAnalysisError::invalidResponse(error.description() + QLatin1Char(' ') + preview);
  }
  AnalysisLogger::log(prefix + counts);
}

}  // namespace murmela
