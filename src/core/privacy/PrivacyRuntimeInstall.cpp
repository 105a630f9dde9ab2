#include "privacy/PrivacyRuntimeInstall.h"

#include <QFileInfo>

namespace murmela {

QProcessEnvironment PrivacyRuntimeInstall::subprocessEnvironment() const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("PATH"),
                     QFileInfo(pythonExecutable).path() + QStringLiteral(":/usr/bin:/bin:/usr/sbin:/sbin"));
  environment.insert(QStringLiteral("PYTHONNOUSERSITE"), QStringLiteral("1"));
  environment.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
  environment.insert(QStringLiteral("HF_HOME"), cacheDirectory);
  environment.insert(QStringLiteral("HUGGINGFACE_HUB_CACHE"), cacheDirectory);
  environment.remove(QStringLiteral("PYTHONPATH"));
  environment.remove(QStringLiteral("VIRTUAL_ENV"));
  return environment;
}

}  // namespace murmela
