// The runtime manifest reader on any bytes: a manifest it accepts is written
// and read back equal, and its text is read the same from the written form;
// anything else is refused with the reader's own error.
#include "FuzzCheck.h"
#include "json/JsonCodec.h"
#include "privacy/PrivacyRuntimeManifest.h"

using namespace murmela;

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PrivacyRuntimeManifest manifest;
  try {
    manifest = PrivacyRuntimeManifest::decode(fuzz::bytesOf(data, size));
  } catch (const Json::DecodingError&) {
    return 0;
  }
  const QByteArray written = manifest.encode();
  const PrivacyRuntimeManifest again = PrivacyRuntimeManifest::decode(written);
  FUZZ_CHECK(again == manifest);
  FUZZ_CHECK(again.encode() == written);
  FUZZ_CHECK(again.runtimeText().startsWith(manifest.runtimeVersion));
  return 0;
}
