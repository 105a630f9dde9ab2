#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

enum class RelationshipType { romantic, closeFriend, family, casual };

// "romantic", "closeFriend", "family", "casual".
QString rawValue(RelationshipType type);
// Exact, case-sensitive match of the four raw values.
std::optional<RelationshipType> relationshipTypeFromRawValue(const QString& raw);
// The four cases in declaration order.
const QList<RelationshipType>& allRelationshipTypes();

}  // namespace murmela
