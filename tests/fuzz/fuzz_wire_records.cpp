// The hosted exchange's records on any JSON object: every record the object
// decodes as is written and decoded again to the same JSON, and the error
// summary of an error body is built from exactly the fields it holds.
#include "FuzzCheck.h"
#include "backend/BackendWireRecords.h"
#include "json/JsonCodec.h"
#include "hosted/HostedWireRecords.h"

using namespace murmela;

namespace {

template <typename Record>
void checkRoundTrip(const QJsonObject& object) {
  Record record;
  try {
    record = Record::fromJson(object);
  } catch (const Json::DecodingError&) {
    return;
  }
  const QJsonObject written = record.toJson();
  // What is written is what the app sends: it must survive its own writer.
  const QByteArray text = Json::write(written, Json::Layout::Compact);
  const Record again = Record::fromJson(Json::parseObject(text, QStringLiteral("again")));
  FUZZ_CHECK(again.toJson() == written);
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QJsonObject object;
  try {
    object = Json::parseObject(fuzz::bytesOf(data, size), QStringLiteral("input"));
  } catch (const Json::DecodingError&) {
    return 0;
  }
  checkRoundTrip<RegisterRequest>(object);
  checkRoundTrip<RegisterResponse>(object);
  checkRoundTrip<HostedParticipants>(object);
  checkRoundTrip<AnalysisStepRequest>(object);
  checkRoundTrip<AnalysisStepResponse>(object);
  checkRoundTrip<BackendErrorDetail>(object);
  checkRoundTrip<BackendErrorEnvelope>(object);

  try {
    const BackendErrorDetail detail = BackendErrorEnvelope::fromJson(object).detail;
    const QString summary = detail.summary();
    FUZZ_CHECK(summary.isEmpty() == (!detail.message && !detail.statusCode && !detail.diagnosticID && !detail.runID));
    if (detail.statusCode)
      FUZZ_CHECK(summary.contains(QStringLiteral("status=") + QString::number(*detail.statusCode)));
  } catch (const Json::DecodingError&) {
  }
  return 0;
}
