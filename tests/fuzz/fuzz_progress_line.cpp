// The anonymization script's progress lines: the input fed to the line
// parser whole and in two pieces gives the same updates and the same pending
// text; every update read from a line is the one its own line form gives; and
// the updates are exactly those of the complete lines, read one by one.
#include "FuzzCheck.h"
#include "privacy/anonymization/PrivacyProgressLineParser.h"

using namespace murmela;

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const QString text = QString::fromUtf8(fuzz::bytesOf(data + 1, size - 1));
  const qsizetype cut = text.isEmpty() ? 0 : data[0] % (text.size() + 1);

  PrivacyProgressLineParser whole;
  const QList<PrivacyProgressUpdate> once = whole.append(text);
  PrivacyProgressLineParser pieces;
  QList<PrivacyProgressUpdate> twice = pieces.append(QStringView(text).first(cut));
  twice += pieces.append(QStringView(text).sliced(cut));
  FUZZ_CHECK(once == twice);
  FUZZ_CHECK(whole.pending() == pieces.pending());

  // The reference: split at line feeds, the last piece is pending.
  QStringList lines = text.split(QLatin1Char('\n'));
  FUZZ_CHECK(whole.pending() == lines.takeLast());
  QList<PrivacyProgressUpdate> expected;
  for (const QString& line : lines)
    if (const std::optional<PrivacyProgressUpdate> update = PrivacyProgressUpdate::fromLine(line.trimmed()))
      expected.append(*update);
  FUZZ_CHECK(once == expected);

  for (const PrivacyProgressUpdate& update : once) {
    const QString line = QStringLiteral(R"({"type": "murmela_privacy_progress", "completed": %1, "total": %2})")
                             .arg(update.completed)
                             .arg(update.total);
    FUZZ_CHECK(PrivacyProgressUpdate::fromLine(line) == std::optional<PrivacyProgressUpdate>(update));
  }
  return 0;
}
