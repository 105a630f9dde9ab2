#include "data/CSVChatImporter.h"

#include "common/FileError.h"
#include "common/IcuTimeZone.h"
#include "common/Iso8601.h"
#include "common/UnicodeText.h"
#include "data/WrappedDataError.h"

#include <QHash>
#include <QTimeZone>

#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <locale.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace murmela {
namespace {

const QString kYou = QStringLiteral("You");

[[noreturn]] void fail(const QString& text) { throw WrappedDataError::csvImportFailed(text); }

QString rowLabel(qsizetype j) { return QStringLiteral("Row ") + QString::number(j + 2); }

// Header fields: trimmed, then stripped of byte-order marks and quotes at both
// ends, then lower-cased.
QString normalizedHeaderField(const QString& field) {
  const QString trimmed = field.trimmed();
  const auto stripped = [](QChar c) { return c == QChar(0xFEFF) || c == u'"' || c == u'\''; };
  qsizetype begin = 0;
  qsizetype end = trimmed.size();
  while (begin < end && stripped(trimmed.at(begin))) ++begin;
  while (end > begin && stripped(trimmed.at(end - 1))) --end;
  return trimmed.mid(begin, end - begin).toLower();
}

QStringList normalizedHeader(const QStringList& row) {
  QStringList out;
  out.reserve(row.size());
  for (const QString& field : row) out.append(normalizedHeaderField(field));
  return out;
}

bool isBlankRow(const QStringList& row) {
  return std::all_of(row.cbegin(), row.cend(), [](const QString& field) { return field.trimmed().isEmpty(); });
}

// Whether the ASCII character at `i` is a grapheme cluster of its own. By the
// extended grapheme cluster rules it joins its neighbours only when the code
// point before it is a prepended mark, or when the one after it extends it
// (combining marks, ZWJ, spacing marks).
bool standsAlone(QStringView line, qsizetype i) {
  if (i > 0) {
    const char32_t before = UnicodeText::codePointBefore(line, i);
    if (before >= 0x80 &&
        u_getIntPropertyValue(static_cast<UChar32>(before), UCHAR_GRAPHEME_CLUSTER_BREAK) == U_GCB_PREPEND)
      return false;
  }
  if (i + 1 < line.size()) {
    const char32_t after = UnicodeText::codePointAt(line, i + 1);
    if (after >= 0x80) {
      const auto kind = u_getIntPropertyValue(static_cast<UChar32>(after), UCHAR_GRAPHEME_CLUSTER_BREAK);
      if (kind == U_GCB_EXTEND || kind == U_GCB_ZWJ || kind == U_GCB_SPACING_MARK) return false;
    }
  }
  return true;
}

// ---- Dates ----------------------------------------------------------------

// The C library's reading of a double ("1e9", "0x1p4", "nan", "inf" included),
// in the C locale so that a decimal comma never changes the result; the whole
// text must be consumed.
std::optional<double> parseDouble(const QString& text) {
  if (text.isEmpty()) return std::nullopt;
  for (QChar c : text) {
    if (c.unicode() >= 0x80 || c.isSpace()) return std::nullopt;
  }
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const QByteArray bytes = text.toLatin1();
  char* end = nullptr;
  const double value = cLocale ? strtod_l(bytes.constData(), &end, cLocale) : std::strtod(bytes.constData(), &end);
  if (end != bytes.constData() + bytes.size()) return std::nullopt;
  return value;
}

std::optional<Date> parseUnixNumber(const QString& text) {
  const std::optional<double> number = parseDouble(text);
  if (!number || !std::isfinite(*number)) return std::nullopt;
  // Milliseconds are moved to the reference date before dividing, so that
  // whole milliseconds stay whole.
  if (*number > 10'000'000'000.0) return Date((*number - static_cast<double>(Date::kUnixOffsetMilliseconds)) / 1000.0);
  return Date::fromUnix(*number);
}

// The six locale patterns, made once per process in the zone the system has
// then: the zone Qt reads from TZ (a rule string included, which ICU cannot
// name), on the proleptic Gregorian calendar the rest of the app counts in.
// ICU formatters are not thread-safe, so parsing holds the lock.
class PatternFormatters {
 public:
  static PatternFormatters& shared() {
    static PatternFormatters formatters;
    return formatters;
  }

  std::optional<Date> parse(const QString& text) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const icu::UnicodeString icuText(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
    for (const std::unique_ptr<icu::SimpleDateFormat>& format : formats_) {
      if (!format) continue;
      icu::ParsePosition position(0);
      const UDate millis = format->parse(icuText, position);
      if (position.getErrorIndex() < 0 && position.getIndex() == icuText.length())
        return Date::fromUnixMilliseconds(static_cast<qint64>(millis));
    }
    return std::nullopt;
  }

 private:
  PatternFormatters() {
    static constexpr std::array<const char16_t*, 6> kPatterns = {u"yyyy-MM-dd HH:mm:ss", u"yyyy-MM-dd HH:mm",
                                                                 u"MM/dd/yyyy HH:mm:ss", u"MM/dd/yyyy HH:mm",
                                                                 u"M/d/yy, h:mm a",      u"M/d/yyyy, h:mm a"};
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (std::size_t i = 0; i < kPatterns.size(); ++i) {
      UErrorCode status = U_ZERO_ERROR;
      auto format =
          std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(kPatterns[i]), icu::Locale("en_US_POSIX"), status);
      std::unique_ptr<icu::Calendar> calendar = makeGregorianCalendar(zone);
      if (U_FAILURE(status) || !calendar) continue;
      format->adoptCalendar(calendar.release());
      format->setLenient(false);  // after the calendar, which it also sets
      formats_[i] = std::move(format);
    }
  }

  std::mutex mutex_;
  std::array<std::unique_ptr<icu::SimpleDateFormat>, 6> formats_;
};

// ---- One import -------------------------------------------------------------

struct Columns {
  qsizetype name = -1;
  qsizetype timestamp = -1;
  qsizetype message = -1;
  qsizetype photo = -1;
  qsizetype width() const { return std::max({name, timestamp, message}) + 1; }
};

std::optional<Columns> headerColumns(const QStringList& normalized) {
  Columns columns;
  columns.name = normalized.indexOf(QStringLiteral("name"));
  columns.timestamp = normalized.indexOf(QStringLiteral("timestamp"));
  columns.message = normalized.indexOf(QStringLiteral("message"));
  if (columns.name < 0 || columns.timestamp < 0 || columns.message < 0) return std::nullopt;
  static const QStringList photoNames = {QStringLiteral("photo"), QStringLiteral("photos"), QStringLiteral("hasphoto"),
                                         QStringLiteral("has_photo")};
  for (qsizetype i = 0; i < normalized.size(); ++i) {
    if (photoNames.contains(normalized.at(i))) {
      columns.photo = i;
      break;
    }
  }
  return columns;
}

// Runs an ICU string transformation into a buffer that grows when ICU asks for
// more room; empty on failure.
template <typename Transform>
std::u16string icuTransform(qsizetype sourceLength, Transform&& transform) {
  std::u16string out(static_cast<std::size_t>(sourceLength) * 2 + 8, u'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = transform(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      out.assign(static_cast<std::size_t>(written) + 1, u'\0');
      continue;
    }
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(written));
    return out;
  }
  return {};
}

}  // namespace

ImportedChat CSVChatImporter::importChat(const QString& path, const QString& myName) const {
  return importChatFromText(readUtf8File(path), myName);
}

ImportedChat CSVChatImporter::importChatFromText(const QString& text, const QString& myName) const {
  QString meName = myName.trimmed();
  if (meName.isEmpty()) meName = kYou;
  const QString meFolded = foldedName(meName);

  QList<QStringList> rows = parseCSV(text);
  rows.removeIf(isBlankRow);
  if (rows.isEmpty()) fail(QStringLiteral("The file is empty."));

  qsizetype headerIndex = -1;
  Columns columns;
  const qsizetype searched = std::min<qsizetype>(rows.size(), 10);
  for (qsizetype i = 0; i < searched; ++i) {
    if (const std::optional<Columns> found = headerColumns(normalizedHeader(rows.at(i)))) {
      headerIndex = i;
      columns = *found;
      break;
    }
  }
  if (headerIndex < 0) {
    fail(QStringLiteral("Expected a header row with name,timestamp,message. First parsed row was: ") +
         normalizedHeader(rows.first()).join(QLatin1Char(',')));
  }

  MessageList messages;
  messages.reserve(rows.size() - headerIndex - 1);
  // Senders keyed by canonical form (one name spelled composed or decomposed is
  // one person), in the order first seen, each with its first spelling and
  // whether it is the user (folded once per sender, not once per row).
  struct Sender {
    QString written;
    bool isMe = false;
  };
  QHash<QString, Sender> senders;
  QStringList senderOrder;
  const qsizetype width = columns.width();
  for (qsizetype j = 0; headerIndex + 1 + j < rows.size(); ++j) {
    const QStringList& row = rows.at(headerIndex + 1 + j);
    if (row.size() < width) fail(rowLabel(j) + QStringLiteral(" does not have name, timestamp, and message columns."));

    const QString name = row.at(columns.name).trimmed();
    const QString timestamp = row.at(columns.timestamp).trimmed();
    const QString body = row.at(columns.message).trimmed();
    const bool hasPhoto = columns.photo >= 0 && columns.photo < row.size() && parseBoolean(row.at(columns.photo));
    if (name.isEmpty() || timestamp.isEmpty() || body.isEmpty()) continue;

    const std::optional<Date> date = parseDate(timestamp);
    if (!date) fail(rowLabel(j) + QStringLiteral(" has an unsupported timestamp: ") + timestamp);

    const QString key = UnicodeText::nfc(name);
    auto sender = senders.constFind(key);
    if (sender == senders.cend()) {
      sender = senders.insert(key, Sender{name, foldedName(name) == meFolded});
      senderOrder.append(key);
    }
    Message message;
    message.id = j + 1;
    message.text = body;
    message.date = *date;
    message.isFromMe = sender->isMe;
    message.hasPhoto = hasPhoto;
    messages.append(std::move(message));
  }

  std::sort(messages.begin(), messages.end(), [](const Message& a, const Message& b) {
    if (a.date != b.date) return a.date < b.date;
    return a.id < b.id;
  });

  if (messages.isEmpty()) fail(QStringLiteral("No non-empty messages were found."));

  QStringList others;
  bool meFound = false;
  for (const QString& key : std::as_const(senderOrder)) {
    const Sender& sender = *senders.constFind(key);
    if (sender.isMe) {
      meFound = true;
    } else {
      others.append(sender.written);
    }
  }
  if (!meFound) fail(QStringLiteral("No sender matched your name, \"") + meName + QStringLiteral("\"."));
  if (others.size() != 1) {
    fail(QStringLiteral("Expected one 1:1 chat. Found ") + QString::number(others.size()) + QStringLiteral(" non-") +
         meName + QStringLiteral(" senders."));
  }

  return makeCsvImportedChat(meName, others.first(), std::move(messages));
}

QList<QStringList> CSVChatImporter::parseCSV(const QString& text) {
  QList<QStringList> rows;
  qsizetype start = 0;
  const qsizetype size = text.size();
  for (qsizetype i = 0; i <= size; ++i) {
    if (i < size && !UnicodeText::isLineBreak(text.at(i))) continue;
    if (i > start) rows.append(parseCSVLine(QStringView(text).mid(start, i - start)));
    start = i + 1;
  }
  return rows;
}

QStringList CSVChatImporter::parseCSVLine(QStringView line) {
  QStringList fields;
  QString field;
  bool inQuotes = false;
  const qsizetype size = line.size();
  // Quotes and commas count only as whole user-perceived characters: a comma
  // carrying a combining mark is text (see standsAlone).
  const auto is = [&](qsizetype i, char16_t c) { return i < size && line.at(i) == QChar(c) && standsAlone(line, i); };
  for (qsizetype i = 0; i < size; ++i) {
    if (is(i, u'"')) {
      if (inQuotes && is(i + 1, u'"')) {
        field.append(QLatin1Char('"'));
        ++i;
      } else {
        inQuotes = !inQuotes;
      }
    } else if (!inQuotes && is(i, u',')) {
      fields.append(field);
      field.clear();
    } else {
      field.append(line.at(i));
    }
  }
  qsizetype begin = 0;
  qsizetype end = field.size();
  while (begin < end && field.at(begin) == u'\r') ++begin;
  while (end > begin && field.at(end - 1) == u'\r') --end;
  fields.append(field.mid(begin, end - begin));
  return fields;
}

bool CSVChatImporter::parseBoolean(const QString& value) {
  static const QStringList truths = {QStringLiteral("1"), QStringLiteral("true"),  QStringLiteral("yes"),
                                     QStringLiteral("y"), QStringLiteral("photo"), QStringLiteral("image")};
  return truths.contains(value.trimmed().toLower());
}

std::optional<Date> CSVChatImporter::parseDate(const QString& text) {
  std::optional<Date> date = Iso8601::parse(text, /*allowFraction=*/true);
  if (!date) date = parseUnixNumber(text);
  if (!date) date = PatternFormatters::shared().parse(text);
  // Whatever the road, an instant outside the years 1 to 9999 is no date
  // anyone wrote down ("22024-01-05 10:00"), and the app could neither save
  // nor count with it.
  if (date && !date->hasFourDigitYear()) return std::nullopt;
  return date;
}

QString CSVChatImporter::foldedName(const QString& name) {
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return trimmed;
  // Qt's own case folding, for the unlikely failure of ICU below.
  const auto fallback = [&trimmed] { return trimmed.toCaseFolded().toLower(); };

  // Decompose, drop the combining marks (accents, diaeresis, ...), fold case.
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
  if (U_FAILURE(status)) return fallback();
  const std::u16string decomposed = icuTransform(trimmed.size(), [&](UChar* out, int32_t capacity, UErrorCode* error) {
    return unorm2_normalize(nfd, reinterpret_cast<const UChar*>(trimmed.utf16()), static_cast<int32_t>(trimmed.size()),
                            out, capacity, error);
  });
  if (decomposed.empty()) return fallback();

  std::u16string bare;
  bare.reserve(decomposed.size());
  const auto length = static_cast<int32_t>(decomposed.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U16_NEXT(decomposed.data(), i, length, c);
    if (u_charType(c) == U_NON_SPACING_MARK) continue;
    if (U_IS_BMP(c)) {
      bare.push_back(static_cast<char16_t>(c));
    } else {
      bare.push_back(static_cast<char16_t>(U16_LEAD(c)));
      bare.push_back(static_cast<char16_t>(U16_TRAIL(c)));
    }
  }
  if (bare.empty()) return QString();

  const std::u16string folded =
      icuTransform(static_cast<qsizetype>(bare.size()), [&](UChar* out, int32_t capacity, UErrorCode* error) {
        return u_strFoldCase(out, capacity, reinterpret_cast<const UChar*>(bare.data()),
                             static_cast<int32_t>(bare.size()), U_FOLD_CASE_DEFAULT, error);
      });
  if (folded.empty()) return QString::fromStdU16String(bare).toCaseFolded().toLower();
  return UnicodeText::nfc(QString::fromStdU16String(folded).toLower());
}

}  // namespace murmela
