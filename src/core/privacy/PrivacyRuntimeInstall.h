#pragma once

#include "privacy/PrivacyRuntimeManifest.h"

#include <QProcessEnvironment>
#include <QString>

namespace murmela {

// One validated privacy runtime. Every location is a file-system path.
struct PrivacyRuntimeInstall {
  QString rootDirectory;     // the runtime root ("current" for the installed runtime)
  PrivacyRuntimeManifest manifest;
  QString pythonExecutable;  // root + "python/bin/python3"
  QString modelURL;          // the model folder: root + the manifest's modelPath
  QString cacheDirectory;    // the shared model cache, outside the root

  // The environment to run the runtime's Python with: this process's own,
  // with PATH led by the runtime's bin folder, user site packages off,
  // unbuffered output, the model cache pointed at cacheDirectory, and never a
  // PYTHONPATH or VIRTUAL_ENV of the caller's.
  QProcessEnvironment subprocessEnvironment() const;
};

}  // namespace murmela
