#pragma once

#include "hosted/HostedWireRecords.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>

namespace murmela {

// The files exchanged with the anonymization script: the application writes
// "input.json" and reads back "output.json". Message records use snake-case
// keys ("has_photo"); the output's own keys are camel case ("reverseNameMap",
// "messageCount"). Reading is strict, as for the backend records.

struct PrivacyAnonymizationParticipants {
  QString me;
  QString them;

  QJsonObject toJson() const;
  static PrivacyAnonymizationParticipants fromJson(const QJsonObject& object,
                                                   const QString& path = QStringLiteral("participants"));
};

// One message, in both directions; all five members required when read.
struct PrivacyAnonymizationMessage {
  qint64 index = 0;  // 1-based position in the conversation
  QString sender;
  QString timestamp;  // internet date-time, whole seconds
  QString text;
  bool hasPhoto = false;

  QJsonObject toJson() const;
  static PrivacyAnonymizationMessage fromJson(const QJsonObject& object, const QString& path = QStringLiteral("message"));
  friend bool operator==(const PrivacyAnonymizationMessage&, const PrivacyAnonymizationMessage&) = default;
};

struct PrivacyAnonymizationInput {
  PrivacyAnonymizationParticipants participants;
  QList<PrivacyAnonymizationMessage> messages;
  QString model;  // path of the runtime's model folder

  QJsonObject toJson() const;
  static PrivacyAnonymizationInput fromJson(const QJsonObject& object, const QString& path = QStringLiteral("input"));
};

struct PrivacyAnonymizationOutput {
  struct Metadata {
    qint64 messageCount = 0;
    qint64 nameCount = 0;
    double elapsedSeconds = 0.0;
  };

  HostedParticipants participants;           // the placeholders standing for the two people
  QList<PrivacyAnonymizationMessage> messages;
  QMap<QString, QString> reverseNameMap;     // placeholder -> name it replaced
  Metadata metadata;

  QJsonObject toJson() const;
  static PrivacyAnonymizationOutput fromJson(const QJsonObject& object, const QString& path = QStringLiteral("output"));
};

}  // namespace murmela
