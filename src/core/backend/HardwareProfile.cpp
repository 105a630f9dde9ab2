#include "backend/HardwareProfile.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include <sys/utsname.h>

namespace murmela::HardwareProfile {
namespace {

std::optional<QString> nonBlank(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  return trimmed;
}

bool isX86(const QString& machine) {
  static const QStringList names = {QStringLiteral("x86_64"), QStringLiteral("amd64"), QStringLiteral("i386"),
                                    QStringLiteral("i486"),   QStringLiteral("i586"),  QStringLiteral("i686"),
                                    QStringLiteral("x86")};
  return names.contains(machine);
}

}  // namespace

std::optional<QString> cpuModelName(const QString& cpuInfo) {
  for (const QString& line : cpuInfo.split(QLatin1Char('\n'))) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0 || line.left(colon).trimmed() != QLatin1String("model name")) continue;
    return nonBlank(line.mid(colon + 1));
  }
  return std::nullopt;
}

Facts systemFacts() {
  Facts facts;
  QFile cpuInfo(QStringLiteral("/proc/cpuinfo"));
  // /proc files report no size: read until the end.
  if (cpuInfo.open(QIODevice::ReadOnly | QIODevice::Text))
    facts.cpuModelName = cpuModelName(QString::fromUtf8(cpuInfo.readAll()));
  struct utsname names {};
  if (::uname(&names) == 0) facts.machine = nonBlank(QString::fromLocal8Bit(names.machine));
  return facts;
}

QString chipFamily(const Facts& facts) {
  if (facts.cpuModelName) {
    if (const std::optional<QString> name = nonBlank(*facts.cpuModelName)) return *name;
  }
  if (!facts.machine) return QStringLiteral("unknown");
  if (*facts.machine == QLatin1String("arm64")) return QStringLiteral("Apple Silicon");
  if (isX86(*facts.machine)) return QStringLiteral("Intel");
  return *facts.machine;
}

QString chipFamily() { return chipFamily(systemFacts()); }

QString operatingSystemVersion() { return QSysInfo::prettyProductName(); }

}  // namespace murmela::HardwareProfile
