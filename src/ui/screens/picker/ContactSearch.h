#pragma once

#include "data/ContactSummary.h"

#include <QList>
#include <QString>

namespace murmela {

// The search of the contact picker: a contact stays when its shown name or
// its handle contains the query, compared without regard to case (full
// case folding, so "STRASSE" finds "Straße") and with canonically equivalent
// spellings equal (a composed "é" finds a decomposed one). Accents count:
// "jose" does not find "José". The query is used as typed, blanks included.
class ContactSearch {
 public:
  explicit ContactSearch(const QString& query);

  bool isEmpty() const { return query_.isEmpty(); }
  bool matches(const ContactSummary& contact) const;
  // The matching contacts in their order; all of them for an empty query.
  QList<ContactSummary> filter(const QList<ContactSummary>& contacts) const;

  // The form both sides are compared in.
  static QString searchKey(const QString& text);

 private:
  QString query_;
  QString key_;
};

}  // namespace murmela
