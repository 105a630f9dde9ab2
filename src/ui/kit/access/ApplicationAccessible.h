#pragma once

#include <QAccessibleObject>
#include <QList>
#include <QPointer>

class QWidget;

namespace murmela {

// The application as readers see it: its windows, then the announcements
// that show (each painted widget's notification names the application as its
// parent, so the application lists it among its children too).
class ApplicationAccessible : public QAccessibleApplication {
 public:
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;

  // A widget whose reader made an announcement; listed while it shows one.
  static void noteAnnouncer(QWidget* widget);

 private:
  QList<QAccessibleInterface*> announcements() const;
};

}  // namespace murmela
