#include "data/MessagesQueries.h"

#include "common/UnicodeText.h"
#include "data/AttributedBodyDecoder.h"
#include "data/MessagesDatabaseReader.h"
#include "data/SQLiteStatement.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace murmela {
namespace {

// The texts joined into one, at compile time.
template <std::size_t... N>
constexpr auto joined(const char (&... parts)[N]) {
  std::array<char, (N + ...) - sizeof...(N) + 1> text{};
  std::size_t at = 0;
  ((std::copy_n(parts, N - 1, text.begin() + at), at += N - 1), ...);
  return text;  // the last zero stays
}

// Which messages count, said once so that the picker's counts and the
// conversation the run reads always agree: plain text that is not blank and
// not a reaction, or an attributed body instead.
constexpr char kCountedMessage[] = R"sql(  AND (
    (
      m.text IS NOT NULL
      AND TRIM(m.text) != ''
      AND m.text NOT LIKE 'Loved "%'
      AND m.text NOT LIKE 'Liked "%'
      AND m.text NOT LIKE 'Disliked "%'
      AND m.text NOT LIKE 'Laughed at "%'
      AND m.text NOT LIKE 'Emphasized "%'
      AND m.text NOT LIKE 'Questioned "%'
    )
    OR (
      (m.text IS NULL OR TRIM(m.text) = '')
      AND m.attributedBody IS NOT NULL
    )
  )
)sql";

// Every statement reads the messages of one-to-one chats through these joins.
constexpr char kChatMessages[] = R"sql(FROM chat c
JOIN chat_handle_join chj ON chj.chat_id = c.ROWID
JOIN handle h ON h.ROWID = chj.handle_id
JOIN chat_message_join cmj ON cmj.chat_id = c.ROWID
JOIN message m ON m.ROWID = cmj.message_id
)sql";

// The three statements go to SQLite exactly as they stand here, joined.
constexpr auto kMessagesText =
    joined(R"sql(SELECT DISTINCT m.ROWID, m.text, m.date, m.is_from_me, h.id, m.attributedBody
)sql",
           kChatMessages, R"sql(WHERE c.style = 45
  AND h.id = ?
)sql",
           kCountedMessage, R"sql(ORDER BY m.date ASC)sql");

}  // namespace

const char* const MessagesDatabaseReader::kMessagesSQL = kMessagesText.data();

namespace {

constexpr auto kAttachmentCountText = joined(R"sql(SELECT COUNT(DISTINCT a.ROWID)
)sql",
                                            kChatMessages, R"sql(JOIN message_attachment_join maj ON maj.message_id = m.ROWID
JOIN attachment a ON a.ROWID = maj.attachment_id
WHERE c.style = 45
  AND h.id = ?)sql");
const char* const kAttachmentCountSQL = kAttachmentCountText.data();

constexpr auto kContactSummariesText = joined(R"sql(SELECT h.id, COUNT(m.ROWID), MIN(m.date), MAX(m.date)
)sql",
                                              kChatMessages, R"sql(WHERE c.style = 45
  AND h.id IS NOT NULL
)sql",
                                              kCountedMessage, R"sql(GROUP BY h.id
ORDER BY COUNT(m.ROWID) DESC)sql");
const char* const kContactSummariesSQL = kContactSummariesText.data();

// A handle is the same on every row of a conversation: keep one shared copy
// instead of decoding a new string per row.
class HandleCache {
 public:
  const QString& get(const char* utf8) {
    const size_t length = std::strlen(utf8);
    if (!valid_ || bytes_.size() != static_cast<qsizetype>(length) ||
        std::memcmp(bytes_.constData(), utf8, length) != 0) {
      bytes_ = QByteArray(utf8, static_cast<qsizetype>(length));
      text_ = UnicodeText::utf8KeepingLeadingFeff(bytes_);
      valid_ = true;
    }
    return text_;
  }

 private:
  bool valid_ = false;
  QByteArray bytes_;
  QString text_;
};

}  // namespace

namespace MessagesQueries {

MessageList messages(sqlite3* database, const QString& handle) {
  MessageList conversation;
  SQLiteStatement statement(database, MessagesDatabaseReader::kMessagesSQL);
  statement.bind(handle, 1);
  HandleCache handles;
  while (statement.step()) {
    const char* handleText = statement.cStringAt(4);
    if (handleText == nullptr) continue;

    const char* plain = statement.cStringAt(1);
    // A text that starts with U+FEFF keeps it, as the attributed-body road does.
    QString text = plain ? UnicodeText::utf8KeepingLeadingFeff(plain).trimmed() : QString();
    if (text.isEmpty()) {
      const QByteArrayView body = statement.blobAt(5);
      if (body.isEmpty()) continue;
      std::optional<QString> recovered = AttributedBodyDecoder::plainString(body);
      if (!recovered) continue;
      text = std::move(*recovered).trimmed();
      if (text.isEmpty()) continue;
    }

    conversation.append(Message{statement.int64At(0), std::move(text),
                                Date::fromMessagesNanoseconds(statement.int64At(2)), statement.intAt(3) == 1,
                                handles.get(handleText), false});
  }
  return conversation;
}

qint64 attachmentCount(sqlite3* database, const QString& handle) {
  SQLiteStatement statement(database, kAttachmentCountSQL);
  statement.bind(handle, 1);
  return statement.step() ? statement.int64At(0) : 0;
}

QList<ContactSummary> contactSummaries(sqlite3* database) {
  QList<ContactSummary> summaries;
  SQLiteStatement statement(database, kContactSummariesSQL);
  while (statement.step()) {
    // A handle is asked for again by its text: one stored as something no
    // text binds to (bytes that are not UTF-8, a NUL inside, not text at all)
    // would be listed with messages that reading then never finds, so such a
    // partner is left out.
    if (!statement.isTextAt(0)) continue;
    const QByteArrayView stored = statement.blobAt(0);
    if (stored.contains('\0')) continue;
    std::optional<QString> handle = UnicodeText::strictUtf8(stored, true);
    if (!handle) continue;
    summaries.append(ContactSummary{*std::move(handle), std::nullopt, statement.int64At(1),
                                    Date::fromMessagesNanoseconds(statement.int64At(2)),
                                    Date::fromMessagesNanoseconds(statement.int64At(3))});
  }
  return summaries;
}

}  // namespace MessagesQueries

}  // namespace murmela
