#pragma once

#include "common/Date.h"
#include "data/Message.h"
#include "data/WrappedReport.h"

#include <QDateTime>
#include <QMetaType>
#include <QTimeZone>

#include <initializer_list>

namespace murmela::test {

// A wall-clock time in the process's zone (the tests run in America/New_York).
inline Date localDate(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
  return Date::fromQDateTime(
      QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::systemTimeZone()));
}

inline Message message(const QString& text, Date date = Date(0), bool fromMe = true) {
  static qint64 nextId = 1;
  return Message{nextId++, text, date, fromMe, QStringLiteral("+15550100"), false};
}

// Messages with the given texts, one minute apart, all from the same sender.
inline MessageList textMessages(std::initializer_list<QString> texts, bool fromMe = true) {
  MessageList messages;
  double at = 0.0;
  for (const QString& text : texts) messages.append(message(text, Date(at += 60.0), fromMe));
  return messages;
}

// `count` copies of one text, one minute apart.
inline MessageList repeated(const QString& text, qsizetype count, bool fromMe = true) {
  MessageList messages;
  for (qsizetype i = 0; i < count; ++i) messages.append(message(text, Date(60.0 * double(i + 1)), fromMe));
  return messages;
}

}  // namespace murmela::test

Q_DECLARE_METATYPE(murmela::Date)
Q_DECLARE_METATYPE(murmela::RelationshipType)
Q_DECLARE_METATYPE(murmela::Message)
Q_DECLARE_METATYPE(murmela::CountedString)
Q_DECLARE_METATYPE(murmela::PhraseStat)
