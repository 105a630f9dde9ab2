#pragma once

#include "privacy/anonymization/PrivacyProgressUpdate.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringView>

namespace murmela {

// Finds the progress lines in the anonymization script's output as it
// arrives. Text is kept until a line feed ends it, so a line split across two
// reads is parsed once its end arrives; a last line without a line feed is
// never parsed. Each line is trimmed (a carriage return before the line feed
// goes with it) before it is tried as a progress line; any other line is
// ignored. Thread-safe.
class PrivacyProgressLineParser {
 public:
  // The updates of the lines that `text` completes, in line order.
  QList<PrivacyProgressUpdate> append(QStringView text);

  // Text received but not yet ended by a line feed.
  QString pending() const;

 private:
  mutable QMutex lock_;
  QString pending_;
};

}  // namespace murmela
