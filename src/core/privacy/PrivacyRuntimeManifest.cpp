#include "privacy/PrivacyRuntimeManifest.h"

#include "json/JsonCodec.h"

namespace murmela {

PrivacyRuntimeManifest PrivacyRuntimeManifest::decode(const QByteArray& bytes) {
  const QString root = QStringLiteral("manifest");
  const Json::ObjectReader reader(Json::parseObject(bytes, root), root);
  PrivacyRuntimeManifest manifest;
  manifest.runtimeVersion = reader.string(QStringLiteral("runtimeVersion"));
  manifest.createdAt = reader.optionalString(QStringLiteral("createdAt"));
  manifest.pythonVersion = reader.optionalString(QStringLiteral("pythonVersion"));
  manifest.modelID = reader.string(QStringLiteral("modelID"));
  manifest.modelPath = reader.string(QStringLiteral("modelPath"));
  manifest.mlxEmbeddingsVersion = reader.optionalString(QStringLiteral("mlxEmbeddingsVersion"));
  return manifest;
}

QJsonObject PrivacyRuntimeManifest::toJson() const {
  QJsonObject object;
  object.insert(QStringLiteral("runtimeVersion"), runtimeVersion);
  if (createdAt) object.insert(QStringLiteral("createdAt"), *createdAt);
  if (pythonVersion) object.insert(QStringLiteral("pythonVersion"), *pythonVersion);
  object.insert(QStringLiteral("modelID"), modelID);
  object.insert(QStringLiteral("modelPath"), modelPath);
  if (mlxEmbeddingsVersion) object.insert(QStringLiteral("mlxEmbeddingsVersion"), *mlxEmbeddingsVersion);
  return object;
}

QByteArray PrivacyRuntimeManifest::encode() const { return Json::write(toJson(), Json::Layout::Pretty, false); }

QString PrivacyRuntimeManifest::runtimeText() const {
  if (!pythonVersion) return runtimeVersion;
  return runtimeVersion + QStringLiteral(" \u00B7 Python ") + *pythonVersion;
}

}  // namespace murmela
