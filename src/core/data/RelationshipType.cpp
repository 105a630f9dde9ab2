#include "data/RelationshipType.h"

namespace murmela {

QString rawValue(RelationshipType type) {
  switch (type) {
    case RelationshipType::romantic: return QStringLiteral("romantic");
    case RelationshipType::closeFriend: return QStringLiteral("closeFriend");
    case RelationshipType::family: return QStringLiteral("family");
    case RelationshipType::casual: return QStringLiteral("casual");
  }
  return QStringLiteral("casual");
}

std::optional<RelationshipType> relationshipTypeFromRawValue(const QString& raw) {
  for (RelationshipType type : allRelationshipTypes())
    if (rawValue(type) == raw) return type;
  return std::nullopt;
}

const QList<RelationshipType>& allRelationshipTypes() {
  static const QList<RelationshipType> all{RelationshipType::romantic, RelationshipType::closeFriend,
                                           RelationshipType::family, RelationshipType::casual};
  return all;
}

}  // namespace murmela
