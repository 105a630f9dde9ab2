#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace murmela {

// One progress line of the anonymization script:
//   {"type": "murmela_privacy_progress", "completed": 120, "total": 800}
// Other keys are ignored.
struct PrivacyProgressUpdate {
  static inline const QString kType = QStringLiteral("murmela_privacy_progress");

  qint64 completed = 0;
  qint64 total = 0;

  // The update a line holds, or nothing for any other line: the line must be
  // a JSON object whose "type" is the string above and whose "completed" and
  // "total" are integers (whole numbers within 64 bits; 2.5 is refused).
  // White space around the object is allowed.
  static std::optional<PrivacyProgressUpdate> fromLine(QStringView line);

  friend bool operator==(const PrivacyProgressUpdate&, const PrivacyProgressUpdate&) = default;
};

}  // namespace murmela
