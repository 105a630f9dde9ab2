#include "sharelinks/ShareContentHash.h"

#include "data/ReportJson.h"

#include <QCryptographicHash>

namespace murmela {

QString shareContentHash(const WrappedReport& report) {
  const QByteArray canonical = ReportJson::encode(report, Json::Layout::Compact);
  return QString::fromLatin1(QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
}

}  // namespace murmela
