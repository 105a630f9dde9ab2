// The report reader on any bytes: a document it accepts is written, read
// again and written again to the same text (the form is a fixed point after
// one pass), in both layouts; its dates keep the written form, each of its
// year members counts, and what it refuses is refused with the form's own
// error.
#include "FuzzCheck.h"
#include "common/Iso8601.h"
#include "data/ReportJson.h"

using namespace murmela;

namespace {

void checkDate(Date date) {
  FUZZ_CHECK(date.hasFourDigitYear());
  FUZZ_CHECK(Iso8601::parse(Iso8601::format(date)) == std::optional<Date>(date));
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  WrappedReport report;
  try {
    report = ReportJson::decode(bytes);
  } catch (const Json::DecodingError&) {
    return 0;
  }
  // Every year member is one year: none is silently dropped.
  const QJsonObject document = Json::parseObject(bytes, QStringLiteral("document"));
  FUZZ_CHECK(document.value(QStringLiteral("messagesByYear")).toObject().size() == report.messagesByYear.size());
  checkDate(report.firstMessageDate);
  checkDate(report.lastMessageDate);
  checkDate(report.longestStreak.endDate);
  checkDate(report.longestSilence.startDate);
  for (const MeaningfulFirst& first : report.otherFirsts) checkDate(first.date);
  for (const ArgumentEvent& event : report.argumentEvents) checkDate(event.date);

  for (const Json::Layout layout : {Json::Layout::Pretty, Json::Layout::Compact}) {
    QByteArray written;
    try {
      written = ReportJson::encode(report, layout);
    } catch (const Json::EncodingError&) {
      // A number the reader took cannot be written: a saved report that could
      // never be read back. Nothing the reader accepts may do that.
      FUZZ_CHECK(false);
    }
    const WrappedReport again = ReportJson::decode(written);
    FUZZ_CHECK(ReportJson::encode(again, layout) == written);
    FUZZ_CHECK(again.messagesByYear == report.messagesByYear);
    FUZZ_CHECK(again.participantNames.them == report.participantNames.them);
    FUZZ_CHECK(again.closerParagraph == report.closerParagraph);
  }
  return 0;
}
