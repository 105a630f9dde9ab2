#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

namespace murmela::test {

// The working smoke-test script (FakePrivacyRuntime::okPythonScript()).
QByteArray defaultPythonScript();

// What a fake runtime holds; every default makes a valid runtime.
struct FakePrivacyRuntimeOptions {
  QString runtimeVersion = QStringLiteral("0.1.1");
  std::optional<QString> pythonVersion = QStringLiteral("3.12.4");
  QString modelID = QStringLiteral("mlx-community/openai-privacy-filter-6bit");
  QString modelPath = QStringLiteral("models/openai-privacy-filter-6bit");
  std::optional<QByteArray> manifestBytes;  // used as "manifest.json" verbatim when set
  bool withManifest = true;
  QByteArray pythonScript = defaultPythonScript();
  bool executable = true;
  bool withModel = true;
};

// A stand-in for the privacy runtime: the layout of the real one ("manifest.json",
// an executable "python/bin/python3" and a model folder) with a python3 that
// is a small shell script. Archives are made with /usr/bin/tar -czf and stay
// a few hundred bytes.
struct FakePrivacyRuntime {
  using Options = FakePrivacyRuntimeOptions;

  // Behaves like a working smoke test: fails unless called with "-c" and
  // MURMELA_PRIVACY_MODEL_PATH names a folder; otherwise prints
  // "loading privacy model from <folder>" and "ok" and exits 0.
  static QByteArray okPythonScript();
  // Writes `standardError` (verbatim) to standard error and exits with `exitCode`.
  static QByteArray failingPythonScript(const QByteArray& standardError, int exitCode);
  // Replaces itself with /usr/bin/python3, given `leadingArguments` before its own.
  static QByteArray systemPythonScript(const QStringList& leadingArguments = {});
  // A script that runs `body` under /bin/sh.
  static QByteArray shellScript(const QByteArray& body);

  // Writes a runtime into `root` (created as needed); returns `root`.
  static QString writeTree(const QString& root, const Options& options = {});
  // An archive whose runtime files lie at its top level.
  static void writeFlatArchive(const QString& archivePath, const Options& options = {});
  // An archive with one top-level folder per entry (name, runtime).
  static void writeArchive(const QString& archivePath, const QList<QPair<QString, Options>>& folders);
  // The usual archive: one top-level folder holding the runtime.
  static void writeArchive(const QString& archivePath, const Options& options = {});

  // Writes an executable (0755) file.
  static void writeExecutable(const QString& path, const QByteArray& contents);
};

}  // namespace murmela::test
