#pragma once

#include "common/Date.h"
#include "json/JsonCodec.h"
#include "hosted/HostedWireRecords.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela::devbackend {

// One message of a request, with its words ready for term lookups.
struct StepMessage {
  qint64 index = 0;
  QString sender;
  QString timestamp;
  Date date;
  QString text;
  bool hasPhoto = false;
  QString padded;  // DevText::paddedText of its text

  QStringList words() const { return padded.split(QLatin1Char(' '), Qt::SkipEmptyParts); }
};

// An analysis step as the backend reads it. A well-formed body is read
// straight from its bytes, its "messages" into `messages` (and out of the
// payload); any other body is read through a JSON document, its payload
// whole, so that its errors are worded and ordered as the handlers check.
struct DevStep {
  AnalysisStepRequest request;
  std::optional<QList<StepMessage>> messages;

  // Throws Json::DecodingError for a body that is no analysis step.
  static DevStep read(const QByteArray& body);

  // The payload's "messages": those read with the body, or else read from
  // `payload` (throwing Json::DecodingError, naming the member).
  const QList<StepMessage>& messagesOf(const Json::ObjectReader& payload, QList<StepMessage>& storage) const;
};

// The message with its words.
StepMessage makeStepMessage(qint64 index, QString sender, QString timestamp, Date date, QString text, bool hasPhoto);

}  // namespace murmela::devbackend
