#pragma once

#include "app/AppScreen.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QVBoxLayout;

namespace murmela {

class AppCoordinator;

// A plain, labelled stand-in for a screen that is not drawn yet: the screen's
// name, a line of the coordinator state it would show, and one button for
// each coordinator operation the screen offers, so that the application can
// be walked from first launch to the deck and back.
class ScreenStandIn : public QWidget {
  Q_OBJECT

 public:
  struct Action {
    QString label;
    std::function<void(AppCoordinator&)> run;
  };
  // What a stand-in shows for one screen.
  struct Plan {
    QString title;
    std::function<QString(const AppCoordinator&)> status;
    QList<Action> actions;
    // Buttons for the coordinator's current lists (contacts, saved reports, shares).
    std::function<QList<Action>(const AppCoordinator&)> listed;
    // Run once, when the stand-in is first shown.
    std::function<void(AppCoordinator&)> onShow;
  };
  static Plan plan(AppScreen::Kind kind);

  ScreenStandIn(AppScreen::Kind kind, AppCoordinator& coordinator, QWidget* parent = nullptr);

  AppScreen::Kind kind() const { return kind_; }
  // The buttons' labels, in order (the fixed ones, then the listed ones).
  QStringList actionLabels() const;
  // Runs the action with this label, as its button would.
  bool trigger(const QString& label);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void refresh();

  AppScreen::Kind kind_;
  AppCoordinator& coordinator_;
  Plan plan_;
  bool shownOnce_ = false;
  QLabel* status_ = nullptr;
  QVBoxLayout* listed_ = nullptr;
};

}  // namespace murmela
