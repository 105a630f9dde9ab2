#pragma once

// What every fuzz target shares: the entry points libFuzzer (or the replay
// main) calls, a check that stops the run on a broken expectation, and the
// pinned environment the checks assume.
#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

// A broken expectation is a finding: report it and abort, which libFuzzer
// records as a crash with the input that caused it.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)

namespace murmela::fuzz {

// A zone and a locale of their own, before any date or number is made: the
// zone given (a POSIX rule string exercises the zone rebuilt from Qt), en_US.
inline void pinEnvironment(const char* zone = "America/New_York") {
  setenv("TZ", zone, 1);
  QLocale::setDefault(QLocale(QStringLiteral("en_US")));
}

// Defines the target's LLVMFuzzerInitialize: the zone given, and en_US.
#define MURMELA_FUZZ_ENVIRONMENT(zone)                 \
  extern "C" int LLVMFuzzerInitialize(int*, char***) { \
    murmela::fuzz::pinEnvironment(zone);               \
    return 0;                                          \
  }

inline QByteArray bytesOf(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace murmela::fuzz
