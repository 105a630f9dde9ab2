// The Messages database reader on mutated databases: the input is written
// as a database file and every partner it lists is read. A broken file may
// be refused (with the reader's own error), never crash the reader; what it
// returns keeps the reader's promises: partners most messages first, without
// names, and every message text trimmed and not empty. (The order of the
// dates is SQLite's, over whatever types a broken file stores.)
#include "FuzzCheck.h"
#include "data/MessagesDatabaseReader.h"
#include "data/WrappedDataError.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace murmela;

namespace {

std::string databasePath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("murmela-fuzz-" + std::to_string(getpid()) + ".db")).string();
  return path;
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = databasePath();
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const MessagesDatabaseReader reader(QString::fromStdString(path));
  try {
    const QList<ContactSummary> partners = reader.fetchContactSummaries();
    for (qsizetype i = 0; i < partners.size() && i < 8; ++i) {
      const ContactSummary& partner = partners[i];
      FUZZ_CHECK(!partner.displayName.has_value());
      if (i > 0) FUZZ_CHECK(partners[i - 1].messageCount >= partner.messageCount);
      const MessageList messages = reader.fetchMessages(partner.handle);
      for (qsizetype k = 0; k < messages.size(); ++k) {
        FUZZ_CHECK(!messages[k].text.isEmpty() && messages[k].text == messages[k].text.trimmed());
        FUZZ_CHECK(!messages[k].hasPhoto);
      }
      FUZZ_CHECK(reader.countAttachments(partner.handle) >= 0);
    }
  } catch (const WrappedDataError& error) {
    FUZZ_CHECK(error.kind() == WrappedDataError::Kind::databaseOpenFailed ||
               error.kind() == WrappedDataError::Kind::databaseQueryFailed);
  }
  std::filesystem::remove(path);
  return 0;
}
