#pragma once

#include <QMutex>
#include <QString>
#include <QStringView>

namespace murmela {

// Everything the anonymization script wrote to standard output and standard
// error, in arrival order. Thread-safe.
class LockedOutputBuffer {
 public:
  void append(QStringView text);
  QString text() const;

 private:
  mutable QMutex lock_;
  QString text_;
};

}  // namespace murmela
