// The CSV importer on any text. What it returns keeps the importer's promises
// (one other sender, messages sorted by date then row, texts trimmed, dates a
// saved report can hold); a line parsed into fields and written back with
// every field quoted parses into the same fields; and a timestamp it accepts,
// written as ISO-8601, reads back as the same millisecond.
#include "FuzzCheck.h"
#include "common/Iso8601.h"
#include "data/CSVChatImporter.h"
#include "data/WrappedDataError.h"

#include <unicode/uchar.h>

using namespace murmela;

namespace {

// Characters that join the quote or comma before them into one user-perceived
// character, or a prepended mark that joins the one after it: around these a
// written quote is no quote, so the written line would read differently.
bool joinsNeighbours(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    if (c < 0x80) continue;
    const auto kind = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_GRAPHEME_CLUSTER_BREAK);
    if (kind == U_GCB_EXTEND || kind == U_GCB_ZWJ || kind == U_GCB_SPACING_MARK || kind == U_GCB_PREPEND) return true;
  }
  return false;
}

void checkLineRoundTrip(const QString& line) {
  if (line.contains(QLatin1Char('\r')) || joinsNeighbours(line)) return;
  const QStringList fields = CSVChatImporter::parseCSVLine(line);
  QStringList quoted;
  for (QString field : fields)
    quoted.append(QLatin1Char('"') + field.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'));
  FUZZ_CHECK(CSVChatImporter::parseCSVLine(quoted.join(QLatin1Char(','))) == fields);
}

void checkDateRoundTrip(const QString& text) {
  const std::optional<Date> date = CSVChatImporter::parseDate(text.trimmed());
  if (!date) return;
  FUZZ_CHECK(date->hasFourDigitYear());
  const std::optional<Date> again = CSVChatImporter::parseDate(Iso8601::formatWithMilliseconds(*date));
  FUZZ_CHECK(again && again->toUnixMilliseconds() == date->toUnixMilliseconds());
}

}  // namespace

// A rule string: the importer's patterns must read in Qt's zone, rebuilt in ICU.
MURMELA_FUZZ_ENVIRONMENT("CET-1CEST,M3.5.0,M10.5.0/3")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString text = QString::fromUtf8(fuzz::bytesOf(data, size));
  try {
    const ImportedChat chat = CSVChatImporter().importChatFromText(text, QStringLiteral("You"));
    FUZZ_CHECK(!chat.messages.isEmpty());
    FUZZ_CHECK(chat.meName == QStringLiteral("You"));
    FUZZ_CHECK(chat.contact.handle == QStringLiteral("csv:") + chat.otherName);
    FUZZ_CHECK(chat.contact.messageCount == chat.messages.size());
    FUZZ_CHECK(chat.contact.firstMessage == chat.messages.first().date);
    FUZZ_CHECK(chat.contact.lastMessage == chat.messages.last().date);
    for (qsizetype i = 0; i < chat.messages.size(); ++i) {
      const Message& message = chat.messages[i];
      FUZZ_CHECK(!message.text.isEmpty() && message.text == message.text.trimmed());
      FUZZ_CHECK(message.handle == chat.otherName);
      FUZZ_CHECK(message.date.hasFourDigitYear());
      FUZZ_CHECK(Iso8601::parse(Iso8601::format(message.date)).has_value());
      if (i > 0) {
        const Message& before = chat.messages[i - 1];
        FUZZ_CHECK(before.date < message.date || (before.date == message.date && before.id < message.id));
      }
    }
    FUZZ_CHECK(CSVChatImporter::foldedName(chat.otherName) != CSVChatImporter::foldedName(chat.meName));
  } catch (const WrappedDataError& error) {
    FUZZ_CHECK(error.description().startsWith(QStringLiteral("Could not import CSV chat: ")));
  }

  const QList<QStringList> rows = CSVChatImporter::parseCSV(text);
  for (qsizetype i = 0; i < std::min<qsizetype>(rows.size(), 8); ++i)
    for (const QString& field : rows[i]) checkDateRoundTrip(field);
  qsizetype start = 0;
  for (qsizetype i = 0; i <= text.size() && start < text.size(); ++i) {
    if (i < text.size() && text[i] != QLatin1Char('\n')) continue;
    checkLineRoundTrip(text.mid(start, i - start));
    start = i + 1;
  }
  return 0;
}
