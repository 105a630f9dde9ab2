#pragma once

#include <QUrl>

namespace murmela {

// Where the coordinator sends the user to change one of the two permissions.
// A Mac opens the privacy pane of its system settings by its address; a
// desktop without such panes answers each address in its own way (the user
// interface supplies it):
//  - Contacts: ask for the address book again, whatever the earlier answer;
//  - Full Disk Access: explain which Messages database Murmela reads and how
//    to put one there, and offer to open its folder.
class SettingsPaneOpener {
 public:
  virtual ~SettingsPaneOpener() = default;

  static QUrl contactsPrivacyPane();
  static QUrl fullDiskAccessPane();

  // Called on the GUI thread with one of the two addresses above.
  virtual void openPane(const QUrl& pane) = 0;
};

}  // namespace murmela
