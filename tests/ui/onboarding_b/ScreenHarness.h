#pragma once

#include "analysis/ProcessingProgress.h"
#include "app/AppCoordinator.h"
#include "common/MurmelaError.h"
#include "data/ContactSummary.h"
#include "support/FakeNeighbours.h"
#include "testing/HeldHostedRun.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace murmela::test {

// A contact of the fake Messages database, named through the fake contacts store.
struct TestContact {
  QString handle;
  QString name;  // empty: no contact card
  qint64 messages = 100;
};

// A real coordinator over fakes whose hosted step publishes a progress the
// test chooses and then holds the run until it is stopped, or fails it.
class ScreenHarness {
 public:
  ScreenHarness();
  ~ScreenHarness();

  FakeNeighbours& fakes() { return harness_.fakes; }
  AppCoordinator& coordinator() { return *harness_.coordinator; }

  void setContacts(const QList<TestContact>& contacts);
  // Loads through the coordinator and waits until the load has ended.
  void loadContacts();
  void failContactLoads(bool fail);

  // Starts a run for the contact and waits until `progress` is published.
  void holdRunAt(const ContactSummary& contact, const ProcessingProgress& progress);
  // Starts a run that fails with `description` and waits until it is back.
  void failRun(const ContactSummary& contact, const QString& description);

  static ContactSummary summary(const QString& handle, std::optional<QString> name = {}, qint64 messages = 100);

 private:
  CoordinatorHarness harness_;
  HeldHostedRun hosted_{QStringLiteral("ScriptedRunError")};
};

// The error a scripted run fails with.
class ScriptedRunError : public MurmelaError {
 public:
  explicit ScriptedRunError(QString description) : description_(std::move(description)) {}
  QString typeName() const override { return QStringLiteral("ScriptedRunError"); }
  QString description() const override { return description_; }
  int code() const override { return 1; }

 private:
  QString description_;
};

}  // namespace murmela::test
