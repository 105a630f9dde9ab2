#include "support/SampleChat.h"

#include "common/Iso8601.h"
#include "support/FixtureDatabaseBuilder.h"
#include "support/SyntheticConversation.h"
#include "support/TestRandom.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace murmela::test {
namespace {

// The overlay's own small, fixed random sequence, apart from the everyday chat's.
SplitMix64 overlayRandom(std::uint64_t seed) { return SplitMix64(seed ^ 0x5DEECE66DULL); }

struct Line {
  bool fromMe;
  const char* text;
};

// One evening of conflict and repair; at least four conflict messages each.
const QList<QList<Line>>& argumentScripts() {
  static const QList<QList<Line>> scripts = {
      {{false, "can we talk? i'm upset about last night"},
       {true, "what did i do wrong"},
       {false, "you said you'd call and you didn't"},
       {true, "i know. i'm sorry"},
       {false, "it hurt, honestly"},
       {true, "that's fair. my bad"},
       {false, "i just felt ignored"},
       {true, "you're right. it won't happen again"},
       {false, "ok"},
       {true, "can i call you now?"},
       {false, "yeah. call me"},
       {true, "love you"}},
      {{true, "why are you angry with me"},
       {false, "i'm not angry, i'm hurt"},
       {true, "because of the dinner thing?"},
       {false, "you made plans without asking. that's unfair"},
       {true, "ugh. you're right, that was my fault"},
       {false, "i don't want to fight about it"},
       {true, "me neither. i'm sorry 😔"},
       {false, "thank you for saying that"},
       {true, "come over later?"},
       {false, "ok ❤️"}},
      {{false, "we need to talk"},
       {true, "uh oh"},
       {false, "i'm upset that you forgot my mom's birthday"},
       {true, "oh no. i'm so sorry, that's on me"},
       {false, "it's not the first time"},
       {true, "i know it's my fault. i was wrong"},
       {false, "i just want you to care"},
       {true, "i do care. let me call her tomorrow?"},
       {false, "she'd like that"},
       {true, "sorry again"},
       {false, "ok. goodnight"},
       {true, "goodnight, love you"}},
  };
  return scripts;
}

const QStringList kInsideJoke = {"same time same place?", "same time same place 😂", "ok same time same place",
                                 "Same time same place!", "same time same place, bring snacks"};

// Firsts, at fractions of the timeline.
const QList<std::pair<double, Line>> kMilestones = {
    {0.010, {false, "i miss you already lol"}},
    {0.012, {true, "miss you too"}},
    {0.020, {true, "come over tonight?"}},
    {0.050, {true, "i love you"}},
    {0.0502, {false, "I love you too, babe"}},
    {0.150, {false, "so proud of you for the new job!!"}},
    {0.300, {true, "you're the best, you know that"}},
    {0.600, {false, "thinking of you today 🥰"}},
};

qsizetype argumentDayCount(qsizetype messageCount) {
  if (messageCount < 300) return 0;
  if (messageCount < 3000) return 2;
  if (messageCount < 100000) return 4;
  return 6;
}

QString quoted(const QString& text) {
  QString escaped = text;
  escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + escaped + QLatin1Char('"');
}

}  // namespace

ImportedChat SampleChat::importedChat() const { return makeCsvImportedChat(myName, otherName, messages); }

SampleChat makeSampleChat(const SampleChatOptions& options) {
  SampleChat chat;
  chat.myName = options.myName;
  chat.otherName = options.otherName;
  chat.handle = options.handle;
  if (options.messageCount <= 0) return chat;

  // The evenings of conflict take their messages out of the everyday chat.
  qsizetype arguments = argumentDayCount(options.messageCount);
  qsizetype inserted = 0;
  for (qsizetype i = 0; i < arguments; ++i) inserted += argumentScripts()[i % argumentScripts().size()].size();
  if (inserted >= options.messageCount) arguments = inserted = 0;
  chat.argumentDays = arguments;

  SyntheticConversationOptions everyday;
  everyday.messageCount = options.messageCount - inserted;
  everyday.seed = options.seed;
  everyday.start = options.start;
  everyday.spanDays = options.spanDays;
  everyday.handle = options.handle;
  MessageList messages = makeSyntheticConversation(everyday);
  for (Message& message : messages) message.date = Date(std::floor(message.date.secondsSinceReference()));

  SplitMix64 random = overlayRandom(options.seed);
  const qsizetype everydayCount = messages.size();
  for (Message& message : messages)
    if (random.unit() < 0.015) message.text = kInsideJoke[random.below(kInsideJoke.size())];
  for (const auto& [fraction, line] : kMilestones) {
    Message& message =
        messages[std::min<qsizetype>(static_cast<qsizetype>(fraction * everydayCount), everydayCount - 1)];
    message.text = QString::fromUtf8(line.text);
    message.isFromMe = line.fromMe;
  }

  // Each evening starts at 23:00 UTC (an evening in the Americas, late at night in Europe).
  for (qsizetype i = 0; i < arguments; ++i) {
    const double day = std::floor(options.spanDays * (double(i) + 0.5) / double(arguments));
    double at = options.start.secondsSinceReference() + day * 86400.0 + 23 * 3600.0;
    for (const Line& line : argumentScripts()[i % argumentScripts().size()]) {
      at += 60.0 + double(random.below(120));
      messages.append(Message{0, QString::fromUtf8(line.text), Date(at), line.fromMe, options.handle, false});
    }
  }
  std::stable_sort(messages.begin(), messages.end(),
                   [](const Message& a, const Message& b) { return a.date < b.date; });

  chat.bodyOnly.reserve(messages.size());
  for (qsizetype i = 0; i < messages.size(); ++i) {
    // Every message its own second: both export forms then keep one order.
    if (i > 0 && messages[i].date <= messages[i - 1].date) messages[i].date = messages[i - 1].date.addingSeconds(1.0);
    messages[i].id = i + 1;
    chat.bodyOnly.append(random.unit() < 0.04);
  }
  chat.messages = std::move(messages);
  return chat;
}

void writeSampleChatCsv(const SampleChat& chat, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error(file.errorString().toStdString());
  QByteArray out = "name,timestamp,message,photo\n";
  for (const Message& message : chat.messages) {
    out += quoted(message.isFromMe ? chat.myName : chat.otherName).toUtf8() + ',' +
           Iso8601::format(message.date).toUtf8() + ',' + quoted(message.text).toUtf8() + ',' +
           (message.hasPhoto ? "1" : "0") + '\n';
    if (out.size() > (1 << 20)) {
      file.write(out);
      out.clear();
    }
  }
  file.write(out);
  if (!file.commit()) throw std::runtime_error(file.errorString().toStdString());
}

void writeSampleChatDatabase(const SampleChat& chat, const QString& path, qsizetype moreContacts) {
  FixtureDatabaseBuilder database(path);
  database.beginTransaction();
  const qint64 handle = database.addHandle(chat.handle);
  const qint64 conversation = database.addOneToOneChat(handle);
  // Rows the reader must pass over: reactions in the conversation, a group
  // chat with the same person, and another contact.
  const qint64 friendHandle = database.addHandle(QStringLiteral("jamie@example.com"));
  const qint64 friendChat = database.addOneToOneChat(friendHandle);
  const qint64 groupChat = database.addGroupChat({handle, friendHandle});
  SplitMix64 random = overlayRandom(chat.messages.size());
  for (qsizetype i = 0; i < chat.messages.size(); ++i) {
    const Message& message = chat.messages[i];
    const qint64 date = std::llround(message.date.secondsSinceReference() * 1e9);
    const qint64 from = message.isFromMe ? 0 : handle;
    const qint64 row =
        chat.bodyOnly.value(i)
            ? database.addAttributedBodyMessage(conversation, message.text, date, message.isFromMe, from)
            : database.addMessage(
                  conversation,
                  {.text = message.text, .date = date, .isFromMe = message.isFromMe ? 1 : 0, .handleId = from});
    if (message.hasPhoto)
      database.addAttachment(row, QStringLiteral("IMG_%1.HEIC").arg(message.id, 4, 10, QLatin1Char('0')));
    if (random.unit() < 0.01)
      database.addReaction(conversation, FixtureDatabaseBuilder::Reaction::loved, message.text, date + 30'000'000'000,
                           !message.isFromMe, message.isFromMe ? handle : 0);
    if (random.unit() < 0.002) {
      database.addMessage(groupChat, {.text = QStringLiteral("group plans?"),
                                      .date = date + 1'000'000'000,
                                      .isFromMe = 0,
                                      .handleId = friendHandle});
      database.addMessage(friendChat, {.text = QStringLiteral("are you coming saturday?"),
                                       .date = date + 2'000'000'000,
                                       .isFromMe = 0,
                                       .handleId = friendHandle});
    }
  }
  const qint64 lastDate = chat.messages.isEmpty()
                              ? 0
                              : std::llround(chat.messages.constLast().date.secondsSinceReference() * 1e9);
  for (qsizetype contact = 1; contact <= moreContacts; ++contact) {
    const qint64 other = database.addHandle(QStringLiteral("+1555%1").arg(contact, 7, 10, QLatin1Char('0')));
    const qint64 otherChat = database.addOneToOneChat(other);
    const qint64 date = lastDate - contact * 3'600'000'000'000;
    database.addMessage(otherChat, {.text = QStringLiteral("see you then"), .date = date, .handleId = other});
    database.addMessage(otherChat, {.text = QStringLiteral("ok!"), .date = date + 60'000'000'000, .isFromMe = 1});
  }
  database.commit();
  database.close();
}

}  // namespace murmela::test
