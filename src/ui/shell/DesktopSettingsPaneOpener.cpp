#include "shell/DesktopSettingsPaneOpener.h"

#include "data/VCardContactStore.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace murmela {

DesktopSettingsPaneOpener::DesktopSettingsPaneOpener(std::shared_ptr<VCardContactStore> contacts, QString databasePath,
                                                     ShowNote showNote, OpenFolder openFolder)
    : contacts_(std::move(contacts)),
      databasePath_(std::move(databasePath)),
      showNote_(std::move(showNote)),
      openFolder_(std::move(openFolder)) {}

void DesktopSettingsPaneOpener::openPane(const QUrl& pane) {
  if (pane == contactsPrivacyPane()) {
    if (!contacts_) return;
    contacts_->chooseAddressBookAgain();
    if (afterAddressBookChange_) afterAddressBookChange_();
    return;
  }
  if (pane == fullDiskAccessPane()) {
    const DatabaseNote note = databaseNote(databasePath_);
    if (showNote_ && showNote_(note) && openFolder_) openFolder_(note.folder);
  }
}

DesktopSettingsPaneOpener::DatabaseNote DesktopSettingsPaneOpener::databaseNote(const QString& databasePath) {
  const QFileInfo file(databasePath);
  DatabaseNote note;
  note.title = QStringLiteral("Messages database");
  note.folder = file.absolutePath();
  note.text = QStringLiteral(
                  "Murmela reads your messages from this file:\n"
                  "%1\n\n"
                  "This computer has no Full Disk Access setting to change. To use your messages here, copy the "
                  "whole Messages folder of a Mac to %2: chat.db together with its chat.db-wal file (recent "
                  "messages may live only there; chat.db-shm is not needed). The folder need not be writable: "
                  "where it is not, Murmela reads a private copy that it removes again.\n\n"
                  "To read a database somewhere else, start Murmela with -messagesDB <path>.")
                  .arg(QDir::toNativeSeparators(file.absoluteFilePath()), QDir::toNativeSeparators(note.folder));
  return note;
}

DesktopSettingsPaneOpener::ShowNote DesktopSettingsPaneOpener::messageBox(QWidget* parent) {
  return [guard = QPointer<QWidget>(parent)](const DatabaseNote& note) {
    QMessageBox box(guard.data());
    box.setIcon(QMessageBox::Information);
    box.setWindowTitle(note.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(note.text);
    QPushButton* open = box.addButton(QStringLiteral("Open Folder"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Close"), QMessageBox::RejectRole);
    box.setDefaultButton(open);
    box.exec();
    return box.clickedButton() == open;
  };
}

void DesktopSettingsPaneOpener::openInFileManager(const QString& folder) {
  QDir().mkpath(folder);
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace murmela
