#pragma once

#include "data/WrappedReport.h"

#include <QString>

#include <memory>

namespace murmela {

// The screen the application shows. Only the results screen carries a value:
// the report the deck presents, shared between copies of the screen.
class AppScreen {
 public:
  enum class Kind { results, home, welcome, permissions, intelligence, hybridSetup, contactPicker, processing };

  // The welcome screen, where a new coordinator starts.
  AppScreen() = default;

  static AppScreen results(WrappedReport report);
  static AppScreen home() { return AppScreen(Kind::home); }
  static AppScreen welcome() { return AppScreen(Kind::welcome); }
  static AppScreen permissions() { return AppScreen(Kind::permissions); }
  static AppScreen intelligence() { return AppScreen(Kind::intelligence); }
  static AppScreen hybridSetup() { return AppScreen(Kind::hybridSetup); }
  static AppScreen contactPicker() { return AppScreen(Kind::contactPicker); }
  static AppScreen processing() { return AppScreen(Kind::processing); }

  Kind kind() const { return kind_; }
  bool is(Kind kind) const { return kind_ == kind; }
  // The report of the results screen; null on every other screen.
  const WrappedReport* report() const { return report_.get(); }

  // Same kind, and for results the same report object.
  friend bool operator==(const AppScreen& a, const AppScreen& b) {
    return a.kind_ == b.kind_ && a.report_ == b.report_;
  }

 private:
  explicit AppScreen(Kind kind) : kind_(kind) {}

  Kind kind_ = Kind::welcome;
  std::shared_ptr<const WrappedReport> report_;
};

// "results", "home", "welcome", "permissions", "intelligence", "hybridSetup",
// "contactPicker", "processing" (for logs and test output).
QString rawValue(AppScreen::Kind kind);

}  // namespace murmela
