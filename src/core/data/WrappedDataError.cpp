#include "data/WrappedDataError.h"

namespace murmela {

QString WrappedDataError::description() const {
  switch (kind_) {
    case Kind::databaseOpenFailed: return QStringLiteral("Could not open Messages database: ") + text_;
    case Kind::databaseQueryFailed: return QStringLiteral("Messages database query failed: ") + text_;
    case Kind::fixtureNotFound: return QStringLiteral("Bundled fixture ") + text_ + QStringLiteral(".json was not found.");
    case Kind::fixtureDecodeFailed: return QStringLiteral("Could not decode bundled fixture: ") + text_;
    case Kind::csvImportFailed: return QStringLiteral("Could not import CSV chat: ") + text_;
  }
  return text_;
}

}  // namespace murmela
