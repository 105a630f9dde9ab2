#pragma once

#include "data/ContactSummary.h"

#include <QString>

namespace murmela {

// The names the contact picker and its name sheet give a conversation
// partner.

// The name shown for a contact: its display name when present and not
// empty, else its handle. A name of blanks counts as a name.
QString contactRowName(const ContactSummary& contact);

// The name the name sheet opens with: the first word of the shown name
// trimmed, words being split at whitespace (line breaks included), "-",
// U+2013 and U+2014; the trimmed name itself when it has no word.
QString defaultDisplayName(const ContactSummary& contact);

// The name a confirmation passes on: the field's text trimmed, or the
// default name when nothing is left of it. Several words stay whole.
QString finalizedContactName(const QString& confirmedName, const ContactSummary& contact);

// The badge of a row: the first character (grapheme) of each of the first
// two pieces of the name split at U+0020, case kept; empty for a name
// without a non-space character.
QString contactInitials(const QString& name);

}  // namespace murmela
