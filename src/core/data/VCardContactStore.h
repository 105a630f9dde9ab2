#pragma once

#include "data/ContactStore.h"

#include <QString>

#include <functional>
#include <mutex>
#include <optional>

namespace murmela {

// The contacts store of a desktop without a system contacts service: an
// address book the user chooses once, either one vCard file or a folder of
// them (".vcf" or ".vcard", read in file-name order). The choice is kept in
// the user defaults:
//   - notDetermined until the user has answered;
//   - authorized while the chosen address book can be read;
//   - denied when the user refused, or the chosen address book has become
//     unreadable.
// Asking the user is a hook that the user interface supplies (a file chooser
// or a question); this class never shows anything itself.
class VCardContactStore : public ContactStore {
 public:
  // Asks the user for an address book, suggesting the desktop's standard
  // vCard folder when it exists. Returns the chosen file or folder, or nothing
  // when the user does not want to share their contacts.
  using Prompt = std::function<std::optional<QString>(const std::optional<QString>& suggestedFolder)>;

  // The user-default keys holding the answer and the chosen address book.
  static const QString kAccessKey;
  static const QString kAddressBookKey;

  explicit VCardContactStore(Prompt prompt = {});

  void setPrompt(Prompt prompt);

  ContactAccessStatus authorizationStatus() const override;
  // Asks through the prompt only when the user has not answered yet; without
  // a prompt nothing is asked and the state stays as it is.
  ContactAccessStatus requestAccess() override;
  void enumerateContacts(const std::function<void(const StoreContact&)>& visit) const override;

  // Asks again whatever the earlier answer was (the place where a desktop
  // with a contacts service would send the user to its privacy settings).
  ContactAccessStatus chooseAddressBookAgain();

  // The chosen address book, if any.
  std::optional<QString> addressBook() const;
  // The desktop's standard vCard folder ($XDG_DATA_HOME/contacts), when it exists.
  static std::optional<QString> standardFolder();

 private:
  ContactAccessStatus ask();

  mutable std::mutex lock_;
  Prompt prompt_;
};

}  // namespace murmela
