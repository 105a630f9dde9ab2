#include "common/PathExpansion.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <optional>
#include <vector>

namespace murmela {

namespace {

std::optional<QString> homeOfUser(const QString& name) {
  long bufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
  if (bufferSize <= 0) bufferSize = 16384;
  std::vector<char> buffer(static_cast<size_t>(bufferSize));
  passwd entry{};
  passwd* result = nullptr;
  const QByteArray encoded = QFile::encodeName(name);
  if (getpwnam_r(encoded.constData(), &entry, buffer.data(), buffer.size(), &result) != 0 || result == nullptr ||
      result->pw_dir == nullptr)
    return std::nullopt;
  return QFile::decodeName(result->pw_dir);
}

}  // namespace

QString expandingTildeInPath(const QString& path) {
  if (!path.startsWith(QLatin1Char('~'))) return path;
  const qsizetype slash = path.indexOf(QLatin1Char('/'));
  const QString user = path.mid(1, slash < 0 ? -1 : slash - 1);
  const QString rest = slash < 0 ? QString() : path.mid(slash);
  std::optional<QString> home;
  if (user.isEmpty()) {
    home = QDir::homePath();
  } else {
    home = homeOfUser(user);
  }
  if (!home) return path;
  // "~/" on a home of "/" must not give "//".
  if (home->endsWith(QLatin1Char('/')) && rest.startsWith(QLatin1Char('/'))) home->chop(1);
  return *home + rest;
}

}  // namespace murmela
