#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace murmela::test {

// Builds a Messages database (chat.db) for tests, tools and benchmarks, with
// the real table and column names: message, handle, chat, chat_handle_join,
// chat_message_join, message_attachment_join and attachment, plus indexes
// like the real ones. Every add returns the new row's ROWID. Failures throw
// std::runtime_error with SQLite's message.
//
//   FixtureDatabaseBuilder db(path);
//   const qint64 sam = db.addHandle("+15551234567");
//   const qint64 chat = db.addOneToOneChat(sam);
//   db.addMessage(chat, {.text = "hi", .date = 1'000'000'000, .isFromMe = true, .handleId = sam});
//   db.close();  // before a reader opens the file
class FixtureDatabaseBuilder {
 public:
  static constexpr int kOneToOneStyle = 45;
  static constexpr int kGroupStyle = 43;

  struct Options {
    bool withAttachmentTables = true;  // false: no attachment and message_attachment_join
  };

  struct MessageRow {
    std::optional<QString> text = std::nullopt;               // NULL when absent
    std::optional<QByteArray> attributedBody = std::nullopt;  // NULL when absent
    qint64 date = 0;                                          // nanoseconds since 2001-01-01 UTC
    int isFromMe = 0;                                         // stored as given (real data: 0 or 1)
    qint64 handleId = 0;                                      // 0 for the user's own messages in real data
    bool hasAttachments = false;                              // cache_has_attachments
    std::optional<QString> guid = std::nullopt;               // a fresh one when absent
    int associatedMessageType = 0;                            // 2000-2005 for reactions
    std::optional<QString> associatedMessageGuid = std::nullopt;
  };

  // The kinds of reaction whose text the Messages app writes as
  // '<Verb> "<quoted text>"'.
  enum class Reaction { loved, liked, disliked, laughedAt, emphasized, questioned };

  // Creates a new database at `path` (an existing file is replaced).
  explicit FixtureDatabaseBuilder(const QString& path, Options options);
  explicit FixtureDatabaseBuilder(const QString& path) : FixtureDatabaseBuilder(path, Options{}) {}
  ~FixtureDatabaseBuilder();

  FixtureDatabaseBuilder(const FixtureDatabaseBuilder&) = delete;
  FixtureDatabaseBuilder& operator=(const FixtureDatabaseBuilder&) = delete;

  qint64 addHandle(const QString& id, const QString& service = QStringLiteral("iMessage"));
  // A chat of the given style with the handles as its participants.
  qint64 addChat(int style, const QList<qint64>& handleIds, const QString& chatIdentifier);
  qint64 addOneToOneChat(qint64 handleId);
  qint64 addGroupChat(const QList<qint64>& handleIds);
  // A message in `chatId` (joined with its date, as the Messages app does).
  qint64 addMessage(qint64 chatId, const MessageRow& row);
  // A message whose text is empty and whose body holds `text`.
  qint64 addAttributedBodyMessage(qint64 chatId, const QString& text, qint64 date, bool isFromMe, qint64 handleId);
  // A reaction to `quotedText`, written the way the Messages app writes it.
  qint64 addReaction(qint64 chatId, Reaction reaction, const QString& quotedText, qint64 date, bool isFromMe,
                     qint64 handleId);
  // An attachment row joined to `messageId`; also marks the message.
  qint64 addAttachment(qint64 messageId, const QString& fileName = QStringLiteral("IMG_0001.HEIC"),
                       const QString& mimeType = QStringLiteral("image/heic"));
  // Joins an existing attachment to another message as well.
  void joinAttachment(qint64 messageId, qint64 attachmentId);

  // Groups many adds in one transaction (much faster for large databases).
  void beginTransaction();
  void commit();
  // Runs any statement (for damaging a schema in a test).
  void execute(const QString& sql);

  // Finishes the file; further adds are an error.
  void close();

  // The text as a serialized attributed body whose decoding gives the text
  // back: the "NSString" marker, "+", a length prefix (one byte up to 128,
  // 0x81 and 16 bits up to 0xFFFF, else 0x82 and 32 bits, little-endian) and
  // the UTF-8 bytes, between a header and a trailer like the real ones. An
  // empty text gives a body with a zero length, which decodes to nothing.
  static QByteArray encodeAttributedBody(const QString& text);
  // The reaction text, e.g. 'Loved "see you"'.
  static QString reactionText(Reaction reaction, const QString& quotedText);

 private:
  sqlite3_stmt* prepare(const char* sql);
  qint64 insertAndGetRowId(sqlite3_stmt* statement);

  sqlite3* database_ = nullptr;
  sqlite3_stmt* insertMessage_ = nullptr;
  sqlite3_stmt* insertChatMessage_ = nullptr;
  qint64 guidCounter_ = 0;
};

}  // namespace murmela::test
