#include "privacy/anonymization/LockedOutputBuffer.h"

#include <QMutexLocker>

namespace murmela {

void LockedOutputBuffer::append(QStringView text) {
  if (text.isEmpty()) return;
  const QMutexLocker locker(&lock_);
  text_.append(text);
}

QString LockedOutputBuffer::text() const {
  const QMutexLocker locker(&lock_);
  return text_;
}

}  // namespace murmela
