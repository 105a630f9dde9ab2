#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace murmela {

// "manifest.json" at the root of a privacy runtime. Every value is a JSON
// string; runtimeVersion, modelID and modelPath are required, the others
// optional (a null counts as absent). Unknown keys are ignored.
struct PrivacyRuntimeManifest {
  QString runtimeVersion;
  std::optional<QString> createdAt;
  std::optional<QString> pythonVersion;
  QString modelID;
  QString modelPath;  // the model folder, relative to the runtime root, "/"-separated
  std::optional<QString> mlxEmbeddingsVersion;

  // Throws Json::DecodingError for text that is not a JSON object, a missing
  // required key or a value of another type.
  static PrivacyRuntimeManifest decode(const QByteArray& bytes);
  // The same keys; absent optional values are left out.
  QJsonObject toJson() const;
  QByteArray encode() const;

  // The runtime version, followed by " · Python " and the Python version when
  // the manifest names one ("0.1.1 · Python 3.12.4").
  QString runtimeText() const;

  bool operator==(const PrivacyRuntimeManifest&) const = default;
};

}  // namespace murmela
