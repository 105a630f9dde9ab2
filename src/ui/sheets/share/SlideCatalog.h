#pragma once

#include <QString>
#include <QStringList>

namespace murmela::SlideCatalog {

// The fourteen slide titles in deck order, as the share sheet names the slide it shares.
inline QStringList titles() {
  return {QStringLiteral("Cold open"),          QStringLiteral("The receipts"),     QStringLiteral("The vocabulary"),
          QStringLiteral("The 9pm spike"),      QStringLiteral("The shape of us"),  QStringLiteral("Word debut"),
          QStringLiteral("The apology ledger"), QStringLiteral("You started it"),   QStringLiteral("Your dialect"),
          QStringLiteral("Response time"),      QStringLiteral("The argument map"), QStringLiteral("The vibe shift"),
          QStringLiteral("Dry spell & streak"), QStringLiteral("The closer")};
}

}  // namespace murmela::SlideCatalog
