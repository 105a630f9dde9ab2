#include "support/FakePrivacyRuntime.h"

#include "privacy/PrivacyRuntimeManifest.h"
#include "privacy/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <stdexcept>

namespace murmela::test {
namespace {

void writeFile(const QString& path, const QByteArray& contents) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size()) {
    throw std::runtime_error(("cannot write " + path).toStdString());
  }
}

QByteArray shellQuoted(const QString& text) {
  QByteArray quoted = text.toUtf8();
  quoted.replace('\'', "'\\''");
  return '\'' + quoted + '\'';
}

void tar(const QString& archivePath, const QString& sourceFolder, const QStringList& entries) {
  QDir().mkpath(QFileInfo(archivePath).path());
  const ProcessOutput result = ProcessRunner::runCapturing(
      QStringLiteral("/usr/bin/tar"),
      QStringList{QStringLiteral("-czf"), archivePath, QStringLiteral("-C"), sourceFolder} + entries, std::nullopt,
      QString(), 30000);
  if (result.exitCode != 0) throw std::runtime_error(("tar failed: " + result.output).toStdString());
}

}  // namespace

QByteArray defaultPythonScript() { return FakePrivacyRuntime::okPythonScript(); }

QByteArray FakePrivacyRuntime::shellScript(const QByteArray& body) { return "#!/bin/sh\n" + body + "\n"; }

QByteArray FakePrivacyRuntime::okPythonScript() {
  return shellScript(
      "if [ \"$1\" != \"-c\" ]; then echo \"expected -c, got $1\" >&2; exit 64; fi\n"
      "if [ ! -d \"$MURMELA_PRIVACY_MODEL_PATH\" ]; then\n"
      "  echo \"no model folder at $MURMELA_PRIVACY_MODEL_PATH\" >&2; exit 65\n"
      "fi\n"
      "echo \"loading privacy model from $MURMELA_PRIVACY_MODEL_PATH\"\n"
      "echo ok");
}

QByteArray FakePrivacyRuntime::failingPythonScript(const QByteArray& standardError, int exitCode) {
  QByteArray escaped = standardError;
  escaped.replace('\'', "'\\''");
  return shellScript("printf '%s' '" + escaped + "' >&2\nexit " + QByteArray::number(exitCode));
}

QByteArray FakePrivacyRuntime::systemPythonScript(const QStringList& leadingArguments) {
  QByteArray line = "exec /usr/bin/python3";
  for (const QString& argument : leadingArguments) line += ' ' + shellQuoted(argument);
  return shellScript(line + " \"$@\"");
}

void FakePrivacyRuntime::writeExecutable(const QString& path, const QByteArray& contents) {
  writeFile(path, contents);
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther);
}

QString FakePrivacyRuntime::writeTree(const QString& root, const Options& options) {
  QDir().mkpath(root);
  if (options.withManifest) {
    QByteArray manifest;
    if (options.manifestBytes) {
      manifest = *options.manifestBytes;
    } else {
      PrivacyRuntimeManifest record;
      record.runtimeVersion = options.runtimeVersion;
      record.createdAt = QStringLiteral("2025-01-15T10:00:00Z");
      record.pythonVersion = options.pythonVersion;
      record.modelID = options.modelID;
      record.modelPath = options.modelPath;
      record.mlxEmbeddingsVersion = QStringLiteral("0.0.3");
      manifest = record.encode();
    }
    writeFile(root + QStringLiteral("/manifest.json"), manifest);
  }
  const QString python = root + QStringLiteral("/python/bin/python3");
  writeExecutable(python, options.pythonScript);
  if (!options.executable) QFile::setPermissions(python, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (options.withModel) {
    const QString model = root + QLatin1Char('/') + options.modelPath;
    writeFile(model + QStringLiteral("/config.json"), R"({"model_type": "fake"})");
  }
  return root;
}

void FakePrivacyRuntime::writeFlatArchive(const QString& archivePath, const Options& options) {
  QTemporaryDir source;
  writeTree(source.path(), options);
  tar(archivePath, source.path(), QDir(source.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void FakePrivacyRuntime::writeArchive(const QString& archivePath, const QList<QPair<QString, Options>>& folders) {
  QTemporaryDir source;
  QStringList entries;
  for (const auto& [name, options] : folders) {
    writeTree(source.filePath(name), options);
    entries.append(name);
  }
  tar(archivePath, source.path(), entries);
}

void FakePrivacyRuntime::writeArchive(const QString& archivePath, const Options& options) {
  writeArchive(archivePath, {{QStringLiteral("MurmelaPrivacyRuntime-0.1.1"), options}});
}

}  // namespace murmela::test
