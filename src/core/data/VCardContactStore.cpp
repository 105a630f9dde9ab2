#include "data/VCardContactStore.h"

#include "common/AppSettings.h"
#include "common/FileError.h"
#include "data/ContactStoreError.h"
#include "data/VCardParser.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace murmela {

const QString VCardContactStore::kAccessKey = QStringLiteral("contactsAccess");
const QString VCardContactStore::kAddressBookKey = QStringLiteral("contactsAddressBook");

namespace {

const QString kAuthorized = QStringLiteral("authorized");
const QString kDenied = QStringLiteral("denied");

bool isReadableAddressBook(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists() || !info.isReadable()) return false;
  if (info.isDir()) return info.isExecutable();
  return info.isFile();
}

QStringList vCardFiles(const QString& folder) {
  const QDir directory(folder);
  QStringList files;
  const QFileInfoList entries = directory.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QFileInfo& entry : entries) {
    const QString suffix = entry.suffix().toLower();
    if (suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard")) files.append(entry.filePath());
  }
  return files;
}

QByteArray readFile(const QString& path) {
  try {
    return readFileBytes(path);
  } catch (const FileError& error) {
    throw ContactStoreError(ContactStoreError::Kind::unreadable, path, error.reason());
  }
}

}  // namespace

VCardContactStore::VCardContactStore(Prompt prompt) : prompt_(std::move(prompt)) {}

void VCardContactStore::setPrompt(Prompt prompt) {
  std::lock_guard guard(lock_);
  prompt_ = std::move(prompt);
}

std::optional<QString> VCardContactStore::addressBook() const {
  const QString path = AppSettings::shared().value(kAddressBookKey).toString();
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> VCardContactStore::standardFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty()) return std::nullopt;
  const QString folder = data + QStringLiteral("/contacts");
  if (!QFileInfo(folder).isDir()) return std::nullopt;
  return folder;
}

ContactAccessStatus VCardContactStore::authorizationStatus() const {
  const QString answer = AppSettings::shared().value(kAccessKey).toString();
  if (answer == kDenied) return ContactAccessStatus::denied();
  if (answer == kAuthorized) {
    const std::optional<QString> path = addressBook();
    return path && isReadableAddressBook(*path) ? ContactAccessStatus::authorized() : ContactAccessStatus::denied();
  }
  return ContactAccessStatus::notDetermined();
}

ContactAccessStatus VCardContactStore::requestAccess() {
  const ContactAccessStatus current = authorizationStatus();
  if (current.kind() != ContactAccessStatus::Kind::notDetermined) return current;
  return ask();
}

ContactAccessStatus VCardContactStore::chooseAddressBookAgain() { return ask(); }

ContactAccessStatus VCardContactStore::ask() {
  Prompt prompt;
  {
    std::lock_guard guard(lock_);
    prompt = prompt_;
  }
  if (!prompt) return authorizationStatus();

  const std::optional<QString> chosen = prompt(standardFolder());
  AppSettings& settings = AppSettings::shared();
  if (chosen && !chosen->isEmpty() && isReadableAddressBook(*chosen)) {
    settings.setValue(kAddressBookKey, QFileInfo(*chosen).absoluteFilePath());
    settings.setValue(kAccessKey, kAuthorized);
  } else {
    settings.remove(kAddressBookKey);
    settings.setValue(kAccessKey, kDenied);
  }
  return authorizationStatus();
}

void VCardContactStore::enumerateContacts(const std::function<void(const StoreContact&)>& visit) const {
  const std::optional<QString> path = addressBook();
  if (!path) throw ContactStoreError(ContactStoreError::Kind::noAddressBook, QString());
  const QFileInfo info(*path);
  if (!info.exists())
    throw ContactStoreError(ContactStoreError::Kind::unreadable, *path, QStringLiteral("No such file or folder"));

  if (info.isDir() && !isReadableAddressBook(*path))
    throw ContactStoreError(ContactStoreError::Kind::unreadable, *path, QStringLiteral("Permission denied"));
  const QStringList files = info.isDir() ? vCardFiles(*path) : QStringList{*path};
  for (const QString& file : files) {
    for (const StoreContact& contact : VCardParser::parse(readFile(file))) visit(contact);
  }
}

}  // namespace murmela
