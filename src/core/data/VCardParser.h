#pragma once

#include "data/ContactStore.h"

#include <QByteArray>
#include <QList>

namespace murmela::VCardParser {

// The contacts of a vCard 3.0 or 4.0 text (UTF-8), in the order of their
// cards. Folded lines are joined; of each card it reads N (family and given
// name; when it names neither, or is missing, the first FN as the given
// name), NICKNAME (its first value), every TEL (a "tel:" URI is reduced to its
// number) and every EMAIL, with the escaped characters \\ \, \; and \n
// restored. Properties outside BEGIN:VCARD ... END:VCARD and lines it cannot
// read are passed over; a card cut off by the end of the text still counts.
QList<StoreContact> parse(const QByteArray& data);

}  // namespace murmela::VCardParser
