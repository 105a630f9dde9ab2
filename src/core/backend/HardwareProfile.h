#pragma once

#include <QString>

#include <optional>

namespace murmela {

// The processor and operating-system facts sent with every usage event.
namespace HardwareProfile {

// The facts the processor family is decided from; read from the system by
// systemFacts(), made by hand in tests.
struct Facts {
  std::optional<QString> cpuModelName;  // the processor's own name ("model name" of /proc/cpuinfo)
  std::optional<QString> machine;       // uname's machine field ("x86_64", "aarch64", "arm64")
};

Facts systemFacts();

// The "model name" value of a /proc/cpuinfo text (the first one), trimmed;
// nothing when there is none or it is blank.
std::optional<QString> cpuModelName(const QString& cpuInfo);

// The processor's own name when known and not blank. Otherwise from the
// machine: "Apple Silicon" for "arm64", "Intel" for an x86 machine, the
// machine name itself for any other, and "unknown" when even that is missing.
QString chipFamily(const Facts& facts);
QString chipFamily();  // of this machine

// The operating system's descriptive name and version, e.g.
// "Debian GNU/Linux 12 (bookworm)".
QString operatingSystemVersion();

}  // namespace HardwareProfile

}  // namespace murmela
