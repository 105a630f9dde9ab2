#include "screens/picker/ContactSearch.h"

#include "screens/picker/ContactNaming.h"

#include <QHash>

#include <unicode/unorm2.h>

#include <vector>

namespace murmela {

ContactSearch::ContactSearch(const QString& query) : query_(query), key_(searchKey(query)) {}

QString ContactSearch::searchKey(const QString& text) {
  if (text.isEmpty()) return text;
  UErrorCode status = U_ZERO_ERROR;
  const UNormalizer2* folding = unorm2_getNFKCCasefoldInstance(&status);
  if (U_FAILURE(status)) return text.toCaseFolded();
  const auto* source = reinterpret_cast<const UChar*>(text.utf16());
  const auto length = static_cast<int32_t>(text.size());
  std::vector<UChar> out(static_cast<size_t>(length) * 3 + 8);
  int32_t written = unorm2_normalize(folding, source, length, out.data(), static_cast<int32_t>(out.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;
    out.resize(static_cast<size_t>(written));
    written = unorm2_normalize(folding, source, length, out.data(), static_cast<int32_t>(out.size()), &status);
  }
  if (U_FAILURE(status)) return text.toCaseFolded();
  return QString(reinterpret_cast<const QChar*>(out.data()), written);
}

namespace {

// The contacts' side is the same from one query to the next: its keys are
// kept (within a bound) rather than folded again for every letter typed.
const QString& keptSearchKey(const QString& text) {
  constexpr qsizetype kMostKept = 200'000;
  thread_local QHash<QString, QString> kept;
  if (const auto found = kept.constFind(text); found != kept.cend()) return *found;
  if (kept.size() >= kMostKept) kept.clear();
  return *kept.insert(text, ContactSearch::searchKey(text));
}

}  // namespace

bool ContactSearch::matches(const ContactSummary& contact) const {
  if (query_.isEmpty()) return true;
  return keptSearchKey(contactRowName(contact)).contains(key_) || keptSearchKey(contact.handle).contains(key_);
}

QList<ContactSummary> ContactSearch::filter(const QList<ContactSummary>& contacts) const {
  if (query_.isEmpty()) return contacts;
  QList<ContactSummary> kept;
  for (const ContactSummary& contact : contacts)
    if (matches(contact)) kept.append(contact);
  return kept;
}

}  // namespace murmela
