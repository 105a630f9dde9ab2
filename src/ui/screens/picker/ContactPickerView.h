#pragma once

#include "data/ContactSummary.h"
#include "kit/text/TextLayout.h"
#include "screens/common/OnboardingScreen.h"
#include "screens/picker/PickerHost.h"
#include "sheets/ConfirmContactNameSheet.h"

#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <optional>

namespace murmela {

class ContactListView;
class FailedRunPanel;
class PlainTextField;

// Step 4 of onboarding: the list of conversation partners the host
// loaded, a search over it, and "Wrap it up →", which asks for the name to
// use and then starts the run. A failed load shows its error with "Retry";
// a failed run comes back here with its error, the log's path, "Copy log"
// and "Dismiss". The query, the selection and the name being confirmed are
// the screen's own and go with it; build a new screen for every visit.
class ContactPickerView : public OnboardingScreen {
  Q_OBJECT

 public:
  enum Button { backButton = 1, wrapButton, retryButton };

  static constexpr qreal kListTop = 268.0;
  static constexpr qreal kListTopWithError = 326.0;
  static constexpr qreal kListBottomInset = 110.0;

  explicit ContactPickerView(PickerHost host, QWidget* parent = nullptr);

  // Where the log file is said to be; the analysis log's own by default.
  void setLogFilePath(const std::optional<QString>& path);

  QString query() const { return query_; }
  void setQuery(const QString& query);
  std::optional<QString> selectedHandle() const { return selectedHandle_; }
  void selectHandle(const QString& handle);
  // The contacts the list shows, in the host's order.
  QList<ContactSummary> filtered() const;
  // How many times the contacts were searched (a letter, a new list): a
  // selection alone searches nothing.
  qsizetype searchRuns() const { return searchRuns_; }
  // The contact "Wrap it up →" analyses: the selected one, or the first of
  // all contacts while nothing is selected. The list highlights it.
  std::optional<ContactSummary> selectedContact() const;
  bool pickerErrorVisible() const;
  // The contact whose name is being confirmed, and the name as typed.
  std::optional<ContactSummary> contactPendingNameConfirmation() const { return pending_; }
  QString confirmedName() const { return confirmedName_; }

  // "Wrap it up →": asks for the name of the selected contact.
  void wrapItUp();

  struct Layout {
    QRectF eyebrow;
    QRectF title;
    TextLayout titleText;
    QRectF searchBar;
    QRectF searchSymbol;
    QRectF searchField;
    QRectF list;
    std::optional<QRectF> errorBox;  // the compact box of a failed run
    TextLayout errorBoxText;
    std::optional<QRectF> loadingError;
    TextLayout loadingErrorText;
    std::optional<QRectF> retry;
    std::optional<QRectF> panel;
    QRectF back;
    QRectF wrap;
    bool wrapEnabled = false;
  };
  Layout layout() const;

  PlainTextField* searchField() const { return search_; }
  ContactListView* listView() const { return list_; }
  FailedRunPanel* failedRunPanel() const { return panel_; }
  ConfirmContactNameSheet* nameSheet() const { return sheet_; }

 protected:
  void paintContent(QPainter& painter) const override;
  QList<ButtonTarget> buttonTargets() const override;
  QList<ShownText> shownTexts() const override;
  void showEvent(QShowEvent* event) override;
  // Arriving, the keys go to the search field: letters typed at once search.
  QWidget* keysOnArrival() override;

 private:
  std::optional<QString> shownError() const;
  void appear();
  void selectFirstIfNone();
  void refresh();
  // The contact "Wrap it up →" analyses, found again after the selection or
  // the contacts changed, and shown selected in the list.
  void updateChosen();
  void presentNameSheet(const ContactSummary& contact);
  void closeNameSheet();
  void confirmName();
  void goBack();

  PickerHost host_;
  QString query_;
  std::optional<QString> selectedHandle_;
  std::optional<ContactSummary> chosen_;
  mutable qsizetype searchRuns_ = 0;
  std::optional<ContactSummary> pending_;
  QString confirmedName_;
  std::optional<QString> logFilePath_;
  bool appeared_ = false;
  bool awaitingContacts_ = false;  // the first showing's load is not over yet

  PlainTextField* search_ = nullptr;
  ContactListView* list_ = nullptr;
  FailedRunPanel* panel_ = nullptr;
  QPointer<ConfirmContactNameSheet> sheet_;
};

}  // namespace murmela
