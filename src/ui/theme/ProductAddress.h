#pragma once

#include <QString>

namespace murmela {

// The product's web address: its domain name as the footer prints it, and
// the origin that links and share texts are built on.
inline QString productDomain() { return QStringLiteral("murmela.app"); }
inline QString productWebOrigin() { return QStringLiteral("https://murmela.app"); }

}  // namespace murmela
