#pragma once

#include "app/SettingsPaneOpener.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace murmela {

class VCardContactStore;

// The desktop's answer to the two permission panes a Mac would open:
//  - Contacts: the address book is asked for again (a vCard file or folder);
//  - Full Disk Access: one short note on which file Murmela reads and how to
//    put a Mac's Messages folder there, with an offer to open that folder.
// The note is a hook, so tests answer it without a dialog.
class DesktopSettingsPaneOpener : public SettingsPaneOpener {
 public:
  // What the Full Disk Access note says.
  struct DatabaseNote {
    QString title;
    QString text;
    QString folder;  // the database's folder, offered to be opened
  };
  // Shows the note; true when the user asked for the folder to be opened.
  using ShowNote = std::function<bool(const DatabaseNote& note)>;
  // Opens a folder in the file manager.
  using OpenFolder = std::function<void(const QString& folder)>;

  DesktopSettingsPaneOpener(std::shared_ptr<VCardContactStore> contacts, QString databasePath, ShowNote showNote,
                            OpenFolder openFolder);

  // Called after the address book was asked for again (the permission state may have changed).
  void setAfterAddressBookChange(std::function<void()> afterChange) {
    afterAddressBookChange_ = std::move(afterChange);
  }

  void openPane(const QUrl& pane) override;

  static DatabaseNote databaseNote(const QString& databasePath);

  // The note as a message box over `parent`, with "Open Folder" and "Close".
  static ShowNote messageBox(QWidget* parent);
  // Creates the folder when it is missing, then opens it in the file manager.
  static void openInFileManager(const QString& folder);

 private:
  std::shared_ptr<VCardContactStore> contacts_;
  QString databasePath_;
  ShowNote showNote_;
  OpenFolder openFolder_;
  std::function<void()> afterAddressBookChange_;
};

}  // namespace murmela
